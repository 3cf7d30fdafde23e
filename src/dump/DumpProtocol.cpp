#include "DumpProtocol.h"

namespace korv::dump {

std::uint8_t CommandByte(int deviceId, Command command) {
    return static_cast<std::uint8_t>(((deviceId & 0x07) << 4) | static_cast<int>(command));
}

std::array<std::uint8_t, RequestSize> DumpRequest(int deviceId) {
    return {SysExStart, 0x00, 0x00, 0x7E, 0x45, CommandByte(deviceId, Command::DumpRequest),
            SysExEnd};
}

} // namespace korv::dump
