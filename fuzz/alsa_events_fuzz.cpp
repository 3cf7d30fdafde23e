// Received ALSA sequencer events of any type and content, decoded into the stream parser in
// front of TMidiIn. Input: a sequence of events, each a type byte and a flags byte, then for the
// variable-length types a 16-bit little-endian length and that many bytes, for the others up to
// 12 bytes of the event's data.
#include "AlsaEvents.h"
#include "MidiInputCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using korv::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korv::fuzz::InputPath path;
    korv::midi::MidiStreamParser parser;
    std::vector<std::uint8_t> bytes; // of the variable-length event being decoded

    std::size_t at = 0;
    while (at < size) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        ev.type = data[at++];
        if (at < size)
            ev.flags = data[at++] & ~SND_SEQ_EVENT_LENGTH_MASK;
        if (snd_seq_ev_is_variable_type(&ev)) {
            // The sequencer gives these types only with variable length, and the others only with
            // fixed length.
            std::size_t n = 0;
            if (at + 2 <= size) {
                n = std::min<std::size_t>(data[at] | data[at + 1] << 8, size - at - 2);
                at += 2;
            } else {
                at = size;
            }
            bytes.assign(data + at, data + at + n);
            at += n;
            snd_seq_ev_set_variable(&ev, static_cast<unsigned>(n), n ? bytes.data() : nullptr);
        } else {
            const std::size_t n = std::min(sizeof ev.data, size - at);
            std::memcpy(&ev.data, data + at, n);
            at += n;
        }
        const std::size_t before = path.delivered.size();
        const bool decoded = korv::midi::alsa::decodeEvent(ev, parser, path);
        if (!decoded)
            check(path.delivered.size() == before);
    }
    check(path.messages == korv::fuzz::completeSysEx(path.delivered));
    return 0;
}
