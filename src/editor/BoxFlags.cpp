#include "BoxFlags.h"

namespace korv::editor {

BoxFlagBytes FlagBytes(const BoxFlagStates& s) {
    const bool link = s.mergerMode == 2 || s.mergerMode == 3;
    BoxFlagBytes bytes;
    // Bit 0 set means the merger is off: the even modes.
    bytes.merger = s.mergerMode % 2 == 0 ? 1 : 0;
    bytes.ledFlags = s.midiLeds ? 2 : 0;
    bytes.bankFlags = static_cast<std::uint8_t>((s.sendPCOnBankChange ? 1 : 0) |
                                                (s.receivePCForBankChange ? 2 : 0) |
                                                (link ? 4 : 0) | (s.disableMenuNavigation ? 8 : 0));
    bytes.snapshot =
        static_cast<std::uint8_t>((s.snapShotAtPowerOn ? 1 : 0) | (s.autoSnapshot ? 4 : 0));
    return bytes;
}

} // namespace korv::editor
