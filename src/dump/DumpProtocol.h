// The messages of the dump protocol: every one starts F0 00 00 7E 45 and carries a command byte
// at offset 5, the device ID in its high nibble and the command code in its low nibble.
#pragma once

#include <array>
#include <cstdint>

namespace korv::dump {

enum class Command : std::uint8_t {
    DumpRequest = 0x1,
    Dump = 0x2,
    BankDumpRequest = 0x8,
    Notice = 0xF, // presence or bank change confirmation from the box
};

inline constexpr int CommandOffset = 5;
inline constexpr int RequestSize = 7;
inline constexpr std::uint8_t SysExStart = 0xF0;
inline constexpr std::uint8_t SysExEnd = 0xF7;

// Device IDs are 0..7, so command bytes stay SysEx data bytes.
std::uint8_t CommandByte(int deviceId, Command command);

// F0 00 00 7E 45, the dump request command byte, F7.
std::array<std::uint8_t, RequestSize> DumpRequest(int deviceId);

} // namespace korv::dump
