#include "EventEntries.h"

namespace korv::model {
namespace {

constexpr std::array<EventKindTexts, EventKindCount> kindTexts{{
    {"9 : Note On ", "Note Nr :", "Midi Channel:", "Midi Channel :", "Note Nr :", "Velocity :"},
    {"A : Poly Aftertouch ",
     "Note Nr :", "Midi Channel:", "Midi Channel :", "Note Nr :", "Value :"},
    {"B : Controller ",
     "Control Nr :", "Midi Channel:", "Midi Channel :", "Control Nr :", "Value :"},
    {"C : Program Change ",
     "Program Nr :", "Midi Channel:", "Midi Channel :", "Program Nr :", "Not Used :"},
    {"D : Channel Aftertouch ",
     "Pressure Value :", "Midi Channel:", "Midi Channel :", "Pressure Value :", "Not Used :"},
    {"E : Pitch Bender ",
     "Pitch MSB :", "Midi Channel:", "Midi Channel :", "Pitch MSB :", "Pitch LSB :"},
    {"F : Meta Event ", "Meta Event Nr :", "Meta ID :", "Meta ID :", "Meta Event Nr :", "Value :"},
}};

constexpr std::array<std::string_view, EventKindCount> eventTypeItems = [] {
    std::array<std::string_view, EventKindCount> items{};
    for (int i = 0; i < EventKindCount; ++i)
        items[i] = kindTexts[i].selectorItem;
    return items;
}();

constexpr std::array<std::string_view, 8> encModeItems{
    "send absolute value", "send 40 +/- <speed>", "send 00 +/- <speed>", "send 40 +/- 1",
    "send 00 +/- 1",       "send CC Inc/Dec",     "send LC type event",  "send Houston type event",
};
constexpr std::array<std::string_view, 3> encSpeedItems{"Normal", "Fast", "Slow"};
constexpr std::array<std::string_view, 4> ledPatternItems{"Pattern #1", "Pattern #2", "Pattern #3",
                                                          "Pattern #4"};
constexpr std::array<std::string_view, 3> buttModeItems{"ON/OFF", "ON ONLY", "TOGGLE"};
constexpr std::array<std::string_view, 8> labelModeItems{"HEX",  "+-HEX",  "DEC",  "+-DEC",
                                                         "HEX|", "+-HEX|", "DEC|", "+-DEC|"};
constexpr std::array<std::string_view, 4> mergerModeItems{"MIDI Merger off", "MIDI Merger on",
                                                          "Korvane Link EP", "Korvane Link FP"};
constexpr std::array<std::string_view, 24> srOutMapItems{
    "Default Setting",
    "DIN SR #1 (Button ID #0-7)",
    "DIN SR #2 (Button ID #8-15)",
    "DIN SR #3 (Button ID #16-23)",
    "DIN SR #4 (Button ID #24-31)",
    "DIN SR #5 (Button ID #32-39)",
    "DIN SR #6 (Button ID #40-47)",
    "DIN SR #7 (Button ID #48-55)",
    "DIN SR #8 (Button ID #56-63)",
    "Internal Bank (1 of 8)",
    "External Bank (1 of 8)",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "MIDI Status rec. for Entry #0-7",
    "MIDI Status rec. for Entry #8-15",
    "MIDI Status rec. for Entry #16-23",
    "MIDI Status rec. for Entry #24-31",
    "MIDI Status rec. for Entry #32-39",
    "MIDI Status rec. for Entry #40-47",
    "MIDI Status rec. for Entry #48-55",
    "MIDI Status rec. for Entry #56-63",
};

} // namespace

const EventKindTexts& KindTexts(int kind) {
    const int index = kind < 0x9 ? 0 : (kind > 0xF ? 6 : kind - 0x9);
    return kindTexts[index];
}

const std::array<std::string_view, EventKindCount>& EventTypeItems() {
    return eventTypeItems;
}
const std::array<std::string_view, 8>& EncModeItems() {
    return encModeItems;
}
const std::array<std::string_view, 3>& EncSpeedItems() {
    return encSpeedItems;
}
const std::array<std::string_view, 4>& LedPatternItems() {
    return ledPatternItems;
}
const std::array<std::string_view, 3>& ButtModeItems() {
    return buttModeItems;
}
const std::array<std::string_view, 8>& LabelModeItems() {
    return labelModeItems;
}
const std::array<std::string_view, 4>& MergerModeItems() {
    return mergerModeItems;
}
const std::array<std::string_view, 24>& SrOutMapItems() {
    return srOutMapItems;
}

} // namespace korv::model
