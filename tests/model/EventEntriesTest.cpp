#include "EventEntries.h"

#include <gtest/gtest.h>

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
