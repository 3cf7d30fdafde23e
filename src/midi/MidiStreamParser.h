// Splits a MIDI byte stream (any cut into pieces) into short messages and SysEx runs for a
// MidiInputSink. Keeps running status and the SysEx state across feeds; allocates nothing.
#pragma once

#include "MidiService.h"

#include <cstddef>
#include <cstdint>

namespace korv::midi {

class MidiStreamParser {
public:
    // SysEx bytes are passed on as runs pointing into `data` (valid during the sink call).
    // A run is cut where a real-time byte interrupts it; a status byte other than F7 inside a
    // SysEx ends it without F7 (the receiver sees the message as broken).
    void feed(const std::uint8_t* data, std::size_t length, MidiInputSink& sink);
    void reset();
    bool inSysEx() const { return inSysEx_; }

private:
    std::uint8_t runningStatus_ = 0;
    std::uint8_t msg_[3] = {0, 0, 0};
    std::size_t have_ = 0; // data bytes collected for msg_
    std::size_t need_ = 0; // data bytes msg_[0] needs
    bool inSysEx_ = false;
};

} // namespace korv::midi
