#include "EventEntries.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

using namespace korv::model;

TEST(EventEntries, StatusSplitsIntoKindAndOneBasedChannel) {
    EXPECT_EQ(KindOf(0xB4), 0xB);
    EXPECT_EQ(ChannelOf(0xB4), 5);
    EXPECT_EQ(ChannelOf(0xFF), 16);
    EXPECT_EQ(MakeStatus(0x9, 1), 0x90);
    EXPECT_EQ(KindItem(0x7F | 0x80), 6);
    EXPECT_EQ(KindItem(0x8F), -1);
}

TEST(EventEntries, ChoosingKindKeepsChannelAndChoosingChannelKeepsKind) {
    EXPECT_EQ(StatusWithKindItem(0x94, 2), 0xB4);
    EXPECT_EQ(StatusWithChannel(0xB0, 16), 0xBF);
    EXPECT_EQ(StatusWithChannel(0xFF, 1), 0xF0);
}

TEST(EventEntries, SelectorItemsEndWithOneSpace) {
    const auto& items = EventTypeItems();
    EXPECT_EQ(items[0], "9 : Note On ");
    EXPECT_EQ(items[2], "B : Controller ");
    EXPECT_EQ(items[6], "F : Meta Event ");
    for (auto item : items)
        EXPECT_EQ(item.back(), ' ');
}

TEST(EventEntries, LabelsDifferBetweenThePagesWhereTheyShould) {
    EXPECT_EQ(KindTexts(0x9).potChannelLabel, "Midi Channel:");
    EXPECT_EQ(KindTexts(0x9).buttChannelLabel, "Midi Channel :");
    EXPECT_EQ(KindTexts(0xF).potChannelLabel, "Meta ID :");
    EXPECT_EQ(KindTexts(0xF).buttChannelLabel, "Meta ID :");
    EXPECT_EQ(KindTexts(0xE).buttByte1Label, "Pitch MSB :");
    EXPECT_EQ(KindTexts(0xE).buttByte2Label, "Pitch LSB :");
    EXPECT_EQ(KindTexts(0xC).buttByte2Label, "Not Used :");
    EXPECT_EQ(KindTexts(0xD).potByte1Label, "Pressure Value :");
}

TEST(EventEntries, OtherSelectorsHaveTheirItemsInStoredOrder) {
    EXPECT_EQ(EncModeItems()[7], "send Houston type event");
    EXPECT_EQ(SrOutMapItems()[9], "Internal Bank (1 of 8)");
    EXPECT_EQ(SrOutMapItems()[15], "reserved");
    EXPECT_EQ(SrOutMapItems()[16], "MIDI Status rec. for Entry #0-7");
    EXPECT_EQ(MergerModeItems()[3], "Korvane Link FP");
    EXPECT_EQ(LabelModeItems()[6], "DEC|");
}

// Every text of the settings model, copied from the editor's tables.
TEST(EventEntries, EveryKindTextAndSelectorItem) {
    const struct {
        int kind;
        EventKindTexts texts;
    } kinds[] = {
        {0x9,
         {"9 : Note On ",
          "Note Nr :", "Midi Channel:", "Midi Channel :", "Note Nr :", "Velocity :"}},
        {0xA,
         {"A : Poly Aftertouch ",
          "Note Nr :", "Midi Channel:", "Midi Channel :", "Note Nr :", "Value :"}},
        {0xB,
         {"B : Controller ",
          "Control Nr :", "Midi Channel:", "Midi Channel :", "Control Nr :", "Value :"}},
        {0xC,
         {"C : Program Change ",
          "Program Nr :", "Midi Channel:", "Midi Channel :", "Program Nr :", "Not Used :"}},
        {0xD,
         {"D : Channel Aftertouch ",
          "Pressure Value :", "Midi Channel:", "Midi Channel :", "Pressure Value :", "Not Used :"}},
        {0xE,
         {"E : Pitch Bender ",
          "Pitch MSB :", "Midi Channel:", "Midi Channel :", "Pitch MSB :", "Pitch LSB :"}},
        {0xF,
         {"F : Meta Event ",
          "Meta Event Nr :", "Meta ID :", "Meta ID :", "Meta Event Nr :", "Value :"}},
    };
    for (const auto& [kind, texts] : kinds) {
        const EventKindTexts& got = KindTexts(kind);
        EXPECT_EQ(got.selectorItem, texts.selectorItem) << kind;
        EXPECT_EQ(got.potByte1Label, texts.potByte1Label) << kind;
        EXPECT_EQ(got.potChannelLabel, texts.potChannelLabel) << kind;
        EXPECT_EQ(got.buttChannelLabel, texts.buttChannelLabel) << kind;
        EXPECT_EQ(got.buttByte1Label, texts.buttByte1Label) << kind;
        EXPECT_EQ(got.buttByte2Label, texts.buttByte2Label) << kind;
        EXPECT_EQ(EventTypeItems()[kind - 9], texts.selectorItem) << kind;
    }
    // Statuses below 0x90 and above 0xFF never reach the table; they get its ends.
    EXPECT_EQ(KindTexts(0x8).selectorItem, "9 : Note On ");
    EXPECT_EQ(KindTexts(0x10).selectorItem, "F : Meta Event ");
    EXPECT_EQ(PotMinLabel, "Min :");
    EXPECT_EQ(PotMaxLabel, "Max :");

    using Items = std::vector<std::string_view>;
    const auto items = [](const auto& array) { return Items(array.begin(), array.end()); };
    EXPECT_EQ(items(EncModeItems()),
              (Items{"send absolute value", "send 40 +/- <speed>", "send 00 +/- <speed>",
                     "send 40 +/- 1", "send 00 +/- 1", "send CC Inc/Dec", "send LC type event",
                     "send Houston type event"}));
    EXPECT_EQ(items(EncSpeedItems()), (Items{"Normal", "Fast", "Slow"}));
    EXPECT_EQ(items(LedPatternItems()),
              (Items{"Pattern #1", "Pattern #2", "Pattern #3", "Pattern #4"}));
    EXPECT_EQ(items(ButtModeItems()), (Items{"ON/OFF", "ON ONLY", "TOGGLE"}));
    EXPECT_EQ(items(LabelModeItems()),
              (Items{"HEX", "+-HEX", "DEC", "+-DEC", "HEX|", "+-HEX|", "DEC|", "+-DEC|"}));
    EXPECT_EQ(items(MergerModeItems()),
              (Items{"MIDI Merger off", "MIDI Merger on", "Korvane Link EP", "Korvane Link FP"}));
    EXPECT_EQ(items(SrOutMapItems()), (Items{"Default Setting",
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
                                             "MIDI Status rec. for Entry #56-63"}));
}

TEST(EventEntries, StatusArithmeticOverEveryKindAndChannel) {
    for (int kind = 0x9; kind <= 0xF; ++kind)
        for (int channel = 1; channel <= 16; ++channel) {
            const std::uint8_t status = MakeStatus(kind, channel);
            EXPECT_EQ(status, 16 * kind + channel - 1);
            EXPECT_EQ(KindOf(status), kind);
            EXPECT_EQ(ChannelOf(status), channel);
            EXPECT_EQ(KindItem(status), kind - 9);
            EXPECT_EQ(StatusWithKindItem(status, 0xC - 9), 0xC0 + channel - 1);
            EXPECT_EQ(StatusWithChannel(status, 3), 16 * kind + 2);
        }
}
