// The "Box Config" page and the two whole-image actions.
#include "EditorFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace korv::test {
namespace {

class BoxPageTest : public EditorTest {
protected:
    bool checked(const char* name) { return control<QCheckBox>(name)->isChecked(); }
    // The 16 LED boxes as a word, LED 1 in bit 0.
    unsigned ledBoxes() {
        unsigned word = 0;
        for (int led = 1; led <= 16; ++led)
            word |= (box().LEDPattern_CB(led)->isChecked() ? 1u : 0u) << (led - 1);
        return word;
    }
};

TEST_F(BoxPageTest, LoadingTheDefaultImageShowsItsBoxSettings) {
    EXPECT_EQ(control<QLineEdit>("BankNameEdit")->text(), "Default Bank");
    EXPECT_EQ(value("TouchsensorSensitivity"), 1);
    load();
    EXPECT_EQ(control<QLineEdit>("BankNameEdit")->text(), "Sample Bank     ");
    EXPECT_EQ(shown("MIDIMergerMode"), "MIDI Merger off");
    EXPECT_TRUE(checked("AutoSnapshot"));
    EXPECT_FALSE(checked("SnapShotAtPowerOn"));
    EXPECT_FALSE(checked("MIDILeds"));
    EXPECT_FALSE(checked("SendPCOnBankChange"));
    EXPECT_FALSE(checked("ReceivePCForBankChange"));
    EXPECT_FALSE(checked("DisableMenuNavigation"));
    EXPECT_EQ(value("LCEmulationID"), 0);
    EXPECT_EQ(value("TouchsensorSensitivity"), 3);
    EXPECT_EQ(shown("SROUT_Map_1"), "DIN SR #1 (Button ID #0-7)");
    EXPECT_EQ(shown("SROUT_Map_4"), "DIN SR #4 (Button ID #24-31)");
    EXPECT_EQ(shown("SROUT_Map_8"), "DIN SR #8 (Button ID #56-63)");
    EXPECT_EQ(ledBoxes(), 0x0001u);

    type("LEDPattern_Nr", "2");
    EXPECT_EQ(ledBoxes(), 0x003Fu);
    type("LEDPattern_Entry", "32");
    EXPECT_EQ(ledBoxes(), 0x07E0u);
    type("LEDPattern_Nr", "3");
    EXPECT_EQ(ledBoxes(), 0x0400u);

    // Every box shows its own flag.
    image.SetFlag(model::BoxFlag::SnapShotAtPowerOn, true);
    image.SetFlag(model::BoxFlag::AutoSnapshot, false);
    image.SetFlag(model::BoxFlag::MidiLeds, true);
    load();
    EXPECT_TRUE(checked("SnapShotAtPowerOn"));
    EXPECT_FALSE(checked("AutoSnapshot"));
    EXPECT_TRUE(checked("MIDILeds"));
    EXPECT_FALSE(checked("SendPCOnBankChange"));
}

TEST_F(BoxPageTest, MergerModeSetsBothBitsAtOnceAndKeepsTheOthers) {
    load();
    Bytes before = image.Bytes();
    pick("MIDIMergerMode", 3); // "Korvane Link FP"
    EXPECT_EQ(data(0x692), 0x00);
    EXPECT_EQ(data(0x694), 0x04);
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()), (std::vector<int>{0x692, 0x694}));

    image.SetDataByte(0x692, 0x7E);
    image.SetDataByte(0x694, 0x7B);
    pick("MIDIMergerMode", 0);
    EXPECT_EQ(data(0x692), 0x7F);
    EXPECT_EQ(data(0x694), 0x7B);
    pick("MIDIMergerMode", 1);
    EXPECT_EQ(data(0x692), 0x7E);
    EXPECT_EQ(data(0x694), 0x7B);
    pick("MIDIMergerMode", 2);
    EXPECT_EQ(data(0x692), 0x7F);
    EXPECT_EQ(data(0x694), 0x7F);
}

TEST_F(BoxPageTest, FlagBoxesReachTheImageOnlyAtTheSave) {
    load();
    const Bytes before = image.Bytes();
    click("MIDILeds");
    EXPECT_TRUE(checked("MIDILeds"));
    click("SnapShotAtPowerOn");
    click("AutoSnapshot");
    click("SendPCOnBankChange");
    click("DisableMenuNavigation");
    EXPECT_EQ(image.Bytes(), before);

    editor.SaveSettingsFromForm(0);
    EXPECT_EQ(data(0x692), 0x01);
    EXPECT_EQ(data(0x693), 0x02);
    EXPECT_EQ(data(0x694), 0x09);
    EXPECT_EQ(data(0x695), 0x01);

    // A click on a box's caption toggles it, as on the box itself.
    click("ReceivePCForBankChangeLabel");
    EXPECT_TRUE(checked("ReceivePCForBankChange"));
    click("MIDILedsLabel");
    EXPECT_FALSE(checked("MIDILeds"));
    // Pressed on the caption but let go elsewhere: nothing.
    QWidget* caption = control("MIDILedsLabel");
    QTest::mousePress(caption, Qt::LeftButton, {}, caption->rect().center());
    QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(-20, caption->height() / 2));
    EXPECT_FALSE(checked("MIDILeds"));
    pick("MIDIMergerMode", 3);
    editor.SaveSettingsFromForm(0);
    EXPECT_EQ(data(0x692), 0x00);
    EXPECT_EQ(data(0x693), 0x00);
    EXPECT_EQ(data(0x694), 0x0F);
}

TEST_F(BoxPageTest, NumbersAreStoredAsNibblePairs) {
    load();
    type("TouchsensorSensitivity", "32");
    EXPECT_EQ(data(0x6B6), 0x0F);
    EXPECT_EQ(data(0x6B7), 0x01);
    type("TouchsensorSensitivity", "1");
    EXPECT_EQ(data(0x6B6), 0x00);
    EXPECT_EQ(data(0x6B7), 0x00);
    type("TouchsensorSensitivity", "40");
    EXPECT_EQ(value("TouchsensorSensitivity"), 32);
    EXPECT_EQ(data(0x6B6), 0x0F);
    EXPECT_EQ(data(0x6B7), 0x01);

    type("LCEmulationID", "127");
    EXPECT_EQ(data(0x6B8), 0x0F);
    EXPECT_EQ(data(0x6B9), 0x07);
    type("LCEmulationID", "18");
    EXPECT_EQ(data(0x6B8), 0x02);
    EXPECT_EQ(data(0x6B9), 0x01);
}

TEST_F(BoxPageTest, BankNameIsStoredWithSpacesAndItsEndMark) {
    load();
    type("BankNameEdit", "Live");
    const Bytes expected{'L', 'i', 'v', 'e', 0x00, ' ', ' ', ' ',
                         ' ', ' ', ' ', ' ', ' ',  ' ', ' ', ' '};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(data(0x696 + i), expected[i]) << i;
    type("BankNameEdit", QString::fromUtf8("Caf\xC3\xA9 de la Musique Box"));
    EXPECT_EQ(control<QLineEdit>("BankNameEdit")->text(), "Caf de la Musiqu");
    const std::string full = "Caf de la Musiqu";
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(data(0x696 + i), full[i]) << i;
    EXPECT_EQ(data(0x6A6), 0x00);
}

TEST_F(BoxPageTest, AnLedBoxChangesOnlyItsOwnBit) {
    load();
    type("LEDPattern_Nr", "2");
    type("LEDPattern_Entry", "32");
    Bytes before = image.Bytes();
    click("LEDPattern_CB16");
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()), std::vector<int>{0x4FD});
    EXPECT_EQ(data(0x4FD), 0x01);

    before = image.Bytes();
    click("LEDPattern_CB6");
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()), std::vector<int>{0x4FE});
    EXPECT_EQ(data(0x4FE), 0x40);
    click("LEDPattern_CB8");
    EXPECT_EQ(data(0x4FF), 0x00);
    click("LEDPattern_CB9");
    EXPECT_EQ(data(0x4FC), 0x06);
    click("LEDPattern_CB15");
    EXPECT_EQ(data(0x4FC), 0x46);
    click("LEDPattern_CB1");
    EXPECT_EQ(data(0x4FE), 0x41);

    // Leaving and coming back shows the step as stored, the sixteenth box too.
    type("LEDPattern_Entry", "1");
    EXPECT_EQ(ledBoxes(), 0x003Fu);
    type("LEDPattern_Entry", "32");
    EXPECT_EQ(ledBoxes(), 0xC641u);
}

TEST_F(BoxPageTest, ShiftRegisterMapStoresTheItemOrTwoFullNibbles) {
    load();
    pick("SROUT_Map_3", 9);
    EXPECT_EQ(data(0x6BE), 0x09);
    EXPECT_EQ(data(0x6BF), 0x00);
    pick("SROUT_Map_3", 23);
    EXPECT_EQ(data(0x6BE), 0x07);
    EXPECT_EQ(data(0x6BF), 0x01);
    // The five "reserved" items are told apart by their place in the list.
    pick("SROUT_Map_3", 13);
    EXPECT_EQ(data(0x6BE), 0x0D);
    EXPECT_EQ(data(0x6BF), 0x00);

    pick("SROUT_Map_3", 0);
    EXPECT_EQ(data(0x6BE), 0x00);
    EXPECT_EQ(data(0x6BF), 0x00);

    type("SROUT_Map_8", "nothing like it");
    EXPECT_EQ(data(0x6C8), 0x0F);
    EXPECT_EQ(data(0x6C9), 0x0F);
    type("SROUT_Map_8", "External Bank (1 of 8)");
    EXPECT_EQ(data(0x6C8), 0x0A);
    EXPECT_EQ(data(0x6C9), 0x00);
    EXPECT_EQ(data(0x6BA), 0x01) << "SR #1 untouched";
}

TEST_F(BoxPageTest, LoadStoresBackNumbersAndBankNameButNotFlagsOrMap) {
    type("LCEmulationID", "127");
    image.SetDataByte(0x6B6, 0x1F); // sensitivity 48: beyond the range
    image.SetDataByte(0x6B7, 0x12);
    image.SetDataByte(0x6B8, 0x7F); // ID 255, while the field already shows 127
    image.SetDataByte(0x6B9, 0x7F);
    const Bytes name{'A', 'B', 0x00, 'x', 'y', 'z', 'x', 'y',
                     'z', 'x', 'y',  'z', 'x', 'y', 'z', 'q'};
    for (int i = 0; i < 16; ++i)
        image.SetDataByte(0x696 + i, name[i]);
    image.SetDataByte(0x692, 0x03);
    image.SetDataByte(0x693, 0x42);
    image.SetDataByte(0x6BA, 0x0E); // SR #1: code 30
    image.SetDataByte(0x6BB, 0x01);
    load();

    EXPECT_EQ(value("TouchsensorSensitivity"), 32);
    EXPECT_EQ(data(0x6B6), 0x0F);
    EXPECT_EQ(data(0x6B7), 0x01);
    EXPECT_EQ(value("LCEmulationID"), 127);
    EXPECT_EQ(data(0x6B8), 0x0F);
    EXPECT_EQ(data(0x6B9), 0x07);
    EXPECT_EQ(control<QLineEdit>("BankNameEdit")->text(), "AB");
    const Bytes stored{'A', 'B', 0x00, ' ', ' ', ' ', ' ', ' ',
                       ' ', ' ', ' ',  ' ', ' ', ' ', ' ', ' '};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(data(0x696 + i), stored[i]) << i;

    EXPECT_TRUE(checked("MIDILeds"));
    EXPECT_EQ(shown("MIDIMergerMode"), "MIDI Merger off");
    EXPECT_EQ(data(0x692), 0x03);
    EXPECT_EQ(data(0x693), 0x42);
    EXPECT_EQ(control<QComboBox>("SROUT_Map_1")->currentIndex(), -1);
    EXPECT_EQ(shown("SROUT_Map_1"), "");
    EXPECT_EQ(data(0x6BA), 0x0E);
    EXPECT_EQ(data(0x6BB), 0x01);

    // The next image shows its own values.
    image.SetDataByte(0x6B6, 0x05); // sensitivity 22
    image.SetDataByte(0x6B7, 0x01);
    image.SetDataByte(0x6B8, 0x05); // ID 37
    image.SetDataByte(0x6B9, 0x02);
    image.SetDataByte(0x6BA, 0x02); // SR #1: code 18
    image.SetDataByte(0x6BB, 0x01);
    load();
    EXPECT_EQ(value("TouchsensorSensitivity"), 22);
    EXPECT_EQ(value("LCEmulationID"), 37);
    EXPECT_EQ(shown("SROUT_Map_1"), "MIDI Status rec. for Entry #16-23");
    EXPECT_EQ(data(0x6B8), 0x05);
    EXPECT_EQ(data(0x6B9), 0x02);
}

TEST_F(BoxPageTest, BankFlagsRoundTripThroughLoadAndSave) {
    image.SetDataByte(0x694, 0x0F);
    load();
    EXPECT_TRUE(checked("SendPCOnBankChange"));
    EXPECT_TRUE(checked("ReceivePCForBankChange"));
    EXPECT_TRUE(checked("DisableMenuNavigation"));
    EXPECT_EQ(shown("MIDIMergerMode"), "Korvane Link EP");
    editor.SaveSettingsFromForm(0);
    EXPECT_EQ(data(0x694), 0x0F);
    EXPECT_EQ(data(0x692), 0x01);

    image.SetDataByte(0x692, 0x00);
    load();
    EXPECT_EQ(shown("MIDIMergerMode"), "Korvane Link FP");
    editor.SaveSettingsFromForm(0);
    EXPECT_EQ(data(0x694), 0x0F);
    EXPECT_EQ(data(0x692), 0x00);
}

TEST_F(BoxPageTest, SaveWritesHeaderStampAndWholeFlagBytes) {
    load();
    Bytes before = image.Bytes();
    editor.SaveSettingsFromForm(0);
    Bytes after = image.Bytes();
    EXPECT_EQ(ChangedDataOffsets(before, after), (std::vector<int>{0x690, 0x691}));
    EXPECT_EQ(data(0x690), 0x47);
    EXPECT_EQ(data(0x691), 0x11);
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 6), (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}));
    EXPECT_EQ(after.back(), 0xF7);

    // A damaged frame and flag bytes with unnamed bits come out clean.
    for (int i = 0; i < 6; ++i)
        image.SetImageByte(i, 0x33);
    image.SetImageByte(4102, 0x00);
    image.SetDataByte(0x692, 0x03);
    image.SetDataByte(0x693, 0x7F);
    image.SetDataByte(0x694, 0x71);
    image.SetDataByte(0x695, 0x7A);
    load();
    before = image.Bytes();
    editor.SaveSettingsFromForm(5);
    after = image.Bytes();
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 6), (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x52}));
    EXPECT_EQ(after.back(), 0xF7);
    EXPECT_EQ(data(0x692), 0x01);
    EXPECT_EQ(data(0x693), 0x02);
    EXPECT_EQ(data(0x694), 0x01);
    EXPECT_EQ(data(0x695), 0x00);
    EXPECT_EQ(ChangedDataOffsets(before, after), (std::vector<int>{0x692, 0x693, 0x694, 0x695}));

    editor.SaveSettingsFromForm(7);
    EXPECT_EQ(image.ImageByte(5), 0x72);
}

} // namespace
} // namespace korv::test
