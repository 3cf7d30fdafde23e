// Small facts about MIDI bytes shared by the services and the port components.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace korv::midi {

constexpr std::uint8_t SysExStart = 0xF0;
constexpr std::uint8_t SysExEnd = 0xF7;

// Real-time bytes may appear anywhere, even inside a SysEx message.
constexpr bool isRealTime(std::uint8_t b) {
    return b >= 0xF8;
}
constexpr bool isStatus(std::uint8_t b) {
    return b >= 0x80;
}

// Bytes of the short message that `status` starts (status included); 0 when `status` starts
// no short message (data byte, F0, F7, undefined F4/F5).
constexpr std::size_t shortMessageLength(std::uint8_t status) {
    if (status < 0x80)
        return 0;
    if (status < 0xF0)
        return (status & 0xE0) == 0xC0 ? 2 : 3;
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    case 0xF6:
        return 1;
    case 0xF0:
    case 0xF4:
    case 0xF5:
    case 0xF7:
        return 0;
    default:
        return 1; // F8-FF
    }
}

// Bytes that TMidiOut::Put sends for `status`. Channel messages are as long as their status
// implies. Every F0-FF status the program puts comes from an encoder or button entry of the box,
// whose meta events are three bytes (status, event number, value) and go out whole.
constexpr std::size_t putMessageLength(std::uint8_t status) {
    return status >= 0xF0 ? 3 : shortMessageLength(status);
}

// Bytes per second of a MIDI cable (31,250 baud, 10 bits a byte).
constexpr int WireBytesPerSecond = 3125;

// How long sending `length` SysEx bytes may take before a service gives up: twice the time
// on the wire plus a second, so a stuck service never hangs the sender.
constexpr std::chrono::milliseconds sysExTimeout(std::size_t length) {
    return std::chrono::milliseconds(1000 + 2 * 1000 * static_cast<long long>(length) /
                                                WireBytesPerSecond);
}

} // namespace korv::midi
