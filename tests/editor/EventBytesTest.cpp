// The status byte shown three ways (raw byte, event type, channel) and the data bytes, on the
// encoder and the button page alike: what the user sees and what lands in the image.
#include "EditorFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

namespace korv::test {
namespace {

using EventBytesTest = EditorTest;

TEST_F(EventBytesTest, ChoosingAnEventTypeKeepsTheChannelAndStoresTheNewStatus) {
    image.SetDataByte(0x00C, 0x14); // encoder 3: note on, channel 5
    load();
    type("PotNumber", "3");
    EXPECT_EQ(value("PotByte0"), 0x94);
    EXPECT_EQ(shown("PotByte0A"), "9 : Note On ");
    EXPECT_EQ(value("PotByte0B"), 5);

    const Bytes before = image.Bytes();
    pick("PotByte0A", 2);
    EXPECT_EQ(value("PotByte0"), 0xB4);
    EXPECT_EQ(text("PotByte0HEX"), "B4");
    EXPECT_EQ(value("PotByte0B"), 5);
    EXPECT_EQ(text("PotByte0BLabel"), "Midi Channel:");
    EXPECT_EQ(text("PotByte1Label"), "Control Nr :");
    EXPECT_EQ(data(0x00C), 0x34);
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()), std::vector<int>{0x00C});

    // Button 4 of the default image is a note on, channel 5.
    type("ButtNumber", "4");
    EXPECT_EQ(value("ButtByte0"), 0x94);
    pick("ButtByte0A", 2);
    EXPECT_EQ(value("ButtByte0"), 0xB4);
    EXPECT_EQ(text("ButtByte0HEX"), "B4");
    EXPECT_EQ(value("ButtByte0B"), 5);
    EXPECT_EQ(text("ButtByte0BLabel"), "Midi Channel :");
    EXPECT_EQ(text("ButtByte1Label"), "Control Nr :");
    EXPECT_EQ(text("ButtByte2Label"), "Value :");
    EXPECT_EQ(data(0x210), 0x34);

    pick("ButtByte0A", 5);
    EXPECT_EQ(value("ButtByte0"), 0xE4);
    EXPECT_EQ(text("ButtByte1Label"), "Pitch MSB :");
    EXPECT_EQ(text("ButtByte2Label"), "Pitch LSB :");
    EXPECT_EQ(data(0x210), 0x64);
}

TEST_F(EventBytesTest, ChangingTheChannelKeepsTheKind) {
    load();
    const Bytes before = image.Bytes();
    type("PotByte0B", "16");
    EXPECT_EQ(value("PotByte0"), 0xBF);
    EXPECT_EQ(text("PotByte0HEX"), "BF");
    EXPECT_EQ(shown("PotByte0A"), "B : Controller ");
    EXPECT_EQ(data(0x000), 0x3F);
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()), std::vector<int>{0x000});

    type("ButtNumber", "20");
    type("ButtByte0B", "16");
    EXPECT_EQ(value("ButtByte0"), 0x9F);
    EXPECT_EQ(shown("ButtByte0A"), "9 : Note On ");
    EXPECT_EQ(data(0x250), 0x1F);
}

TEST_F(EventBytesTest, TypingTheRawByteMovesSelectorChannelAndLabels) {
    load();
    type("PotByte0", "178");
    EXPECT_EQ(text("PotByte0HEX"), "B2");
    EXPECT_EQ(shown("PotByte0A"), "B : Controller ");
    EXPECT_EQ(value("PotByte0B"), 3);
    EXPECT_EQ(data(0x000), 0x32);

    type("PotByte0", "205");
    EXPECT_EQ(text("PotByte0HEX"), "CD");
    EXPECT_EQ(shown("PotByte0A"), "C : Program Change ");
    EXPECT_EQ(text("PotByte1Label"), "Program Nr :");
    EXPECT_EQ(value("PotByte0B"), 14);
    EXPECT_EQ(data(0x000), 0x4D);
    pick("PotByte0A", 0);
    EXPECT_EQ(text("PotByte0HEX"), "9D");
    EXPECT_EQ(text("PotByte1Label"), "Note Nr :");
    EXPECT_EQ(data(0x000), 0x1D);

    type("ButtByte0", "217");
    EXPECT_EQ(shown("ButtByte0A"), "D : Channel Aftertouch ");
    EXPECT_EQ(text("ButtByte1Label"), "Pressure Value :");
    EXPECT_EQ(text("ButtByte2Label"), "Not Used :");
    EXPECT_EQ(value("ButtByte0B"), 10);
    EXPECT_EQ(data(0x200), 0x59);

    type("ButtByte0", "165");
    EXPECT_EQ(shown("ButtByte0A"), "A : Poly Aftertouch ");
    EXPECT_EQ(text("ButtByte1Label"), "Note Nr :");
    EXPECT_EQ(text("ButtByte2Label"), "Value :");
    EXPECT_EQ(data(0x200), 0x25);
}

TEST_F(EventBytesTest, AMetaEntryShowsAllSixteenMetaIds) {
    image.SetDataByte(0x014, 0x7F); // encoder 5
    load();
    type("PotNumber", "5");
    EXPECT_EQ(value("PotByte0"), 255);
    EXPECT_EQ(text("PotByte0HEX"), "FF");
    EXPECT_EQ(shown("PotByte0A"), "F : Meta Event ");
    EXPECT_EQ(text("PotByte1Label"), "Meta Event Nr :");
    EXPECT_EQ(text("PotByte0BLabel"), "Meta ID :");
    EXPECT_EQ(value("PotByte0B"), 16);
    // The field is announced by what its label now says.
    EXPECT_EQ(control("PotByte0B")->accessibleName(), "Meta ID :");
    EXPECT_EQ(control("PotByte1")->accessibleName(), "Meta Event Nr :");

    // Button 16 of the default image is meta event 3 with meta ID 16 and value 19.
    type("ButtNumber", "16");
    EXPECT_EQ(value("ButtByte0"), 255);
    EXPECT_EQ(shown("ButtByte0A"), "F : Meta Event ");
    EXPECT_EQ(value("ButtByte0B"), 16);
    EXPECT_EQ(text("ButtByte0BLabel"), "Meta ID :");
    EXPECT_EQ(text("ButtByte1Label"), "Meta Event Nr :");
    EXPECT_EQ(value("ButtByte1"), 3);
    EXPECT_EQ(text("ButtByte1HEX"), "03");
    EXPECT_EQ(text("ButtByte2Label"), "Value :");
    EXPECT_EQ(value("ButtByte2"), 19);
    EXPECT_EQ(text("ButtByte2HEX"), "13");
}

TEST_F(EventBytesTest, AFillBringsEveryDisplayUpToDateEvenWhenTheValueStaysTheSame) {
    // Before the first fill: the design values.
    EXPECT_EQ(value("PotByte0"), 144);
    EXPECT_EQ(control<QComboBox>("PotByte0A")->currentIndex(), -1);
    EXPECT_EQ(text("PotByte0BLabel"), "Midi Channel :");
    EXPECT_EQ(text("PotByte1Label"), "Byte 1 :");
    EXPECT_EQ(text("ButtByte2Label"), "Byte 2 :");

    // Encoder 0 becomes a note on, channel 1: the raw byte already holds 144.
    image.SetDataByte(0x000, 0x10);
    load();
    EXPECT_EQ(text("PotByte0HEX"), "90");
    EXPECT_EQ(shown("PotByte0A"), "9 : Note On ");
    EXPECT_EQ(text("PotByte0BLabel"), "Midi Channel:");
    EXPECT_EQ(text("PotByte1Label"), "Note Nr :");
    EXPECT_EQ(text("PotByte1HEX"), "00");
    EXPECT_EQ(text("PotMinHEX"), "00");
    EXPECT_EQ(text("PotMaxHEX"), "7F");

    EXPECT_EQ(value("ButtByte0"), 144);
    EXPECT_EQ(text("ButtByte0HEX"), "90");
    EXPECT_EQ(shown("ButtByte0A"), "9 : Note On ");
    EXPECT_EQ(value("ButtByte0B"), 1);
    EXPECT_EQ(text("ButtByte0BLabel"), "Midi Channel :");
    EXPECT_EQ(text("ButtByte1Label"), "Note Nr :");
    EXPECT_EQ(text("ButtByte2Label"), "Velocity :");
    EXPECT_EQ(value("ButtByte1"), 60);
    EXPECT_EQ(text("ButtByte1HEX"), "3C");
    EXPECT_EQ(value("ButtByte2"), 127);
    EXPECT_EQ(text("ButtByte2HEX"), "7F");
    EXPECT_EQ(shown("ButtMode"), "ON/OFF");

    // A later fill from an image changed behind the page's back shows the new bytes.
    image.SetDataByte(0x001, 0x00);
    image.SetDataByte(0x000, 0x3F);
    load();
    EXPECT_EQ(text("PotByte0HEX"), "BF");
    EXPECT_EQ(value("PotByte0B"), 16);
}

TEST_F(EventBytesTest, AStatusBelowNoteOnShowsAsNoteOnAndStaysUntilEdited) {
    image.SetDataByte(0x01C, 0x05); // encoder 7: status 0x85
    image.SetDataByte(0x208, 0x0A); // button 2: status 0x8A
    load();
    type("PotNumber", "7");
    EXPECT_EQ(value("PotByte0"), 144);
    EXPECT_EQ(text("PotByte0HEX"), "90");
    EXPECT_EQ(shown("PotByte0A"), "9 : Note On ");
    EXPECT_EQ(value("PotByte0B"), 1);
    type("ButtNumber", "2");
    EXPECT_EQ(value("ButtByte0"), 144);
    EXPECT_EQ(value("ButtByte0B"), 1);
    EXPECT_EQ(data(0x01C), 0x05);
    EXPECT_EQ(data(0x208), 0x0A);

    type("PotByte0B", "2");
    EXPECT_EQ(data(0x01C), 0x11);
}

TEST_F(EventBytesTest, DataBytesAreSevenBitAndShownInHex) {
    load();
    type("PotByte1", "200");
    EXPECT_EQ(value("PotByte1"), 127);
    EXPECT_EQ(text("PotByte1HEX"), "7F");
    EXPECT_EQ(data(0x001), 0x7F);
    type("PotByte1", "10");
    EXPECT_EQ(text("PotByte1HEX"), "0A");
    EXPECT_EQ(data(0x001), 0x0A);

    type("ButtNumber", "1");
    type("ButtByte1", "255");
    EXPECT_EQ(data(0x205), 0x7F);
    type("ButtByte2", "44");
    EXPECT_EQ(text("ButtByte2HEX"), "2C");
    EXPECT_EQ(data(0x206), 0x2C);
    // Entries of the other buttons and encoders stay as they were.
    EXPECT_EQ(data(0x201), 0x3C);
    EXPECT_EQ(data(0x005), 0x01);
}

TEST_F(EventBytesTest, FillingThePagesWritesNothingWhateverTheImageHolds) {
    // Values no control can show: a status below 0x90, data bytes beyond 127, a speed, LED
    // pattern, label mode and button mode outside their lists.
    image.SetDataByte(0x01C, 0x05);
    image.SetDataByte(0x01D, 0x90);
    image.SetDataByte(0x01E, 0x7F);
    image.SetDataByte(0x01F, 0x00);
    image.SetDataByte(0x312, 0x75);
    image.SetDataByte(0x313, 0x09);
    image.SetDataByte(0x890, 0x20);
    image.SetDataByte(0x214, 0x00);
    image.SetDataByte(0x217, 0x05);
    image.SetDataByte(0x219, 0xC8);
    const Bytes before = image.Bytes();

    load();
    auto* potNumber = control<QSpinBox>("PotNumber");
    potNumber->setFocus();
    for (int n = 1; n <= 127; ++n) {
        QTest::keyClick(potNumber, Qt::Key_Up);
        ASSERT_EQ(value("PotNumber"), n);
    }
    auto* buttNumber = control<QSpinBox>("ButtNumber");
    for (int m = 1; m <= 63; ++m) {
        QTest::keyClick(buttNumber, Qt::Key_Up);
        ASSERT_EQ(value("ButtNumber"), m);
    }
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()), std::vector<int>{});
    EXPECT_EQ(image.Bytes(), before);
    EXPECT_TRUE(knobChanges.empty());
}

TEST_F(EventBytesTest, ThePresetNameFollowsTheBytesExceptWhileAPresetIsApplied) {
    int potLookups = 0;
    int buttLookups = 0;
    pot().OnShowPresetName = [&] { ++potLookups; };
    butt().OnShowPresetName = [&] { ++buttLookups; };
    load();
    EXPECT_GT(potLookups, 0);
    EXPECT_GT(buttLookups, 0);

    potLookups = 0;
    type("PotMax", "100");
    EXPECT_GT(potLookups, 0);

    potLookups = 0;
    pot().SetApplyingPotPreset(true);
    type("PotMin", "5");
    type("PotByte0", "150");
    EXPECT_EQ(potLookups, 0);
    EXPECT_EQ(data(0x002), 5);
    EXPECT_EQ(data(0x000), 0x16);
    pot().SetApplyingPotPreset(false);

    // Selecting another button looks the name up even while a preset is being applied.
    buttLookups = 0;
    butt().SetApplyingButtPreset(true);
    type("ButtByte2", "3");
    EXPECT_EQ(buttLookups, 0);
    type("ButtNumber", "9");
    EXPECT_EQ(buttLookups, 1);
}

} // namespace
} // namespace korv::test
