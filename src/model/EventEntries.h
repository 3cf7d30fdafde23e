// How the bytes of an encoder or button entry form a MIDI event, and the texts the editor shows
// for them: event kinds, channel labels, data-byte labels, and the item texts of every selector.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korv::model {

// Status byte S (0x90..0xFF) <-> kind K (0x9..0xF) and channel 1..16 (the meta ID for kind 0xF).
constexpr int KindOf(std::uint8_t status) {
    return status >> 4;
}
constexpr int ChannelOf(std::uint8_t status) {
    return (status & 0x0F) + 1;
}
constexpr std::uint8_t MakeStatus(int kind, int channel) {
    return static_cast<std::uint8_t>((kind << 4) | ((channel - 1) & 0x0F));
}
// The event-type selector lists kinds 0x9..0xF as items 0..6; -1 for a status below 0x90.
constexpr int KindItem(std::uint8_t status) {
    return status >= 0x90 ? KindOf(status) - 9 : -1;
}
// The status after choosing selector item `item`: the channel stays, the kind becomes 9 + item.
constexpr std::uint8_t StatusWithKindItem(std::uint8_t status, int item) {
    return static_cast<std::uint8_t>((status & 0x0F) + 0x90 + 16 * item);
}
// The status after choosing channel `channel`: the kind stays.
constexpr std::uint8_t StatusWithChannel(std::uint8_t status, int channel) {
    return static_cast<std::uint8_t>(status - (status & 0x0F) + (channel - 1));
}

inline constexpr int EventKindCount = 7;

// The texts that depend on the event kind; each selector item ends with one space.
struct EventKindTexts {
    std::string_view selectorItem;
    std::string_view potByte1Label;
    std::string_view potChannelLabel;
    std::string_view buttChannelLabel;
    std::string_view buttByte1Label;
    std::string_view buttByte2Label;
};

// Texts of kind 0x9..0xF.
const EventKindTexts& KindTexts(int kind);
// The selector items in order (kind 0x9 first).
const std::array<std::string_view, EventKindCount>& EventTypeItems();

inline constexpr std::string_view PotMinLabel = "Min :";
inline constexpr std::string_view PotMaxLabel = "Max :";

// Selector item texts of the other settings.
const std::array<std::string_view, 8>& EncModeItems();
const std::array<std::string_view, 3>& EncSpeedItems();
const std::array<std::string_view, 4>& LedPatternItems();
const std::array<std::string_view, 3>& ButtModeItems();
const std::array<std::string_view, 8>& LabelModeItems();
const std::array<std::string_view, 4>& MergerModeItems();
const std::array<std::string_view, 24>& SrOutMapItems();

} // namespace korv::model
