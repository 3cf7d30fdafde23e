// Incoming MIDI as JACK delivers it: events of any bytes, each handed to the stream parser in
// front of TMidiIn. Input: a sequence of events, each a length byte and that many bytes.
// The same bytes fed as one event must give the same messages, and every complete SysEx of the
// stream must come out of TMidiIn whole.
#include "MidiInputCheck.h"
#include "MidiStreamParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using korv::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korv::fuzz::InputPath split, whole;
    korv::midi::MidiStreamParser splitParser, wholeParser;
    std::vector<std::uint8_t> stream;

    std::size_t at = 0;
    while (at < size) {
        const std::size_t wanted = data[at++];
        const std::size_t n = std::min(wanted, size - at);
        // Each event from its own copy, so that a read beyond it is caught.
        const std::vector<std::uint8_t> event(data + at, data + at + n);
        at += n;
        splitParser.feed(event.data(), event.size(), split);
        stream.insert(stream.end(), event.begin(), event.end());
    }
    wholeParser.feed(stream.data(), stream.size(), whole);

    check(split.delivered == whole.delivered);
    check(split.raised == whole.raised);
    check(split.messages == korv::fuzz::completeSysEx(stream));
    check(splitParser.inSysEx() == wholeParser.inSysEx());
    return 0;
}
