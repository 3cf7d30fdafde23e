// The four box-wide flag bytes as the save step writes them: whole bytes from the states of
// the merger selector and the six flag check boxes, every bit without a meaning cleared.
#pragma once

#include <cstdint>

namespace korv::editor {

struct BoxFlagStates {
    int mergerMode = 0; // 0 merger off, 1 merger on, 2 link EP, 3 link FP
    bool midiLeds = false;
    bool sendPCOnBankChange = false;
    bool receivePCForBankChange = false;
    bool disableMenuNavigation = false;
    bool snapShotAtPowerOn = false;
    bool autoSnapshot = false;
};

struct BoxFlagBytes {
    std::uint8_t merger = 0;
    std::uint8_t ledFlags = 0;
    std::uint8_t bankFlags = 0;
    std::uint8_t snapshot = 0;
};

BoxFlagBytes FlagBytes(const BoxFlagStates& states);

} // namespace korv::editor
