// The "Encoders" page: choosing the encoder, its label, modes, and the re-ranging of the
// surface knob that plays its slot.
#include "EditorFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace korv::test {
namespace {

using PotPageTest = EditorTest;

TEST_F(PotPageTest, StartsOnEncoderZeroOfTheDefaultImage) {
    load();
    EXPECT_EQ(value("PotNumber"), 0);
    EXPECT_EQ(value("PotBank"), 1);
    EXPECT_EQ(value("PotNumberInBank"), 1);
    EXPECT_EQ(value("PotByte0"), 0xB0);
    EXPECT_EQ(text("PotByte0HEX"), "B0");
    EXPECT_EQ(shown("PotByte0A"), "B : Controller ");
    EXPECT_EQ(value("PotByte0B"), 1);
    EXPECT_EQ(text("PotByte1Label"), "Control Nr :");
    EXPECT_EQ(value("PotMax"), 127);
    EXPECT_EQ(control<QLineEdit>("PotLabel")->text(), "CC #  0        ");
    EXPECT_EQ(shown("PotLabelMode"), "DEC|");
    EXPECT_EQ(shown("EncMode"), "send absolute value");
    EXPECT_EQ(shown("EncSpeed"), "Normal");
    EXPECT_EQ(shown("LedMode"), "Pattern #1");
}

TEST_F(PotPageTest, BankAndNumberInBankSelectTheEncoderAndFollowIt) {
    load();
    type("PotBank", "8");
    type("PotNumberInBank", "16");
    EXPECT_EQ(value("PotNumber"), 127);
    EXPECT_EQ(value("PotByte1"), 127);
    EXPECT_EQ(control<QLineEdit>("PotLabel")->text(), "CC #127        ");

    type("PotNumber", "16");
    EXPECT_EQ(value("PotBank"), 2);
    EXPECT_EQ(value("PotNumberInBank"), 1);
    EXPECT_EQ(text("PotByte1HEX"), "10");

    // Out-of-range numbers fall back to the nearer limit, and the encoder follows.
    type("PotNumberInBank", "0");
    EXPECT_EQ(value("PotNumberInBank"), 1);
    EXPECT_EQ(value("PotNumber"), 16);
    type("PotNumberInBank", "20");
    EXPECT_EQ(value("PotNumberInBank"), 16);
    EXPECT_EQ(value("PotNumber"), 31);
    type("PotBank", "9");
    EXPECT_EQ(value("PotBank"), 8);
    EXPECT_EQ(value("PotNumber"), 127);
    type("PotNumber", "300");
    EXPECT_EQ(value("PotNumber"), 127);
}

TEST_F(PotPageTest, ALabelIsStoredWithItsEndMarkAndBecomesTheKnobHint) {
    load();
    surface.show();
    type("PotNumber", "3");
    type("PotLabel", "Abc");
    const Bytes expected{'A', 'b', 'c', 0x00, ' ', ' ', ' ', ' ',
                         ' ', ' ', ' ', ' ',  ' ', ' ', ' '};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(data(0x831 + i), expected[i]) << "byte " << i + 1;
    EXPECT_EQ(data(0x830), 0x62) << "the label mode stays";
    EXPECT_EQ(knobs[3]->toolTip(), "Abc");
    EXPECT_EQ(knobs[3]->accessibleDescription(), "Abc");
    EXPECT_EQ(knobs[2]->toolTip(), "");

    // Cleared: no hint; the entry is one end mark and fourteen spaces.
    type("PotLabel", "");
    EXPECT_EQ(data(0x831), 0x00);
    for (int i = 1; i < 15; ++i)
        EXPECT_EQ(data(0x831 + i), ' ');
    EXPECT_EQ(knobs[3]->toolTip(), "");

    // Only printable ASCII, at most 15 characters, goes in: the LCD shows nothing else.
    type("PotLabel", QString::fromUtf8("Gain \xC3\xA9tage \xE2\x82\xAC"
                                       "1234567890"));
    EXPECT_EQ(control<QLineEdit>("PotLabel")->text(), "Gain tage 12345");
    const std::string stored = "Gain tage 12345";
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(data(0x831 + i), stored[i]);

    // A character dropped on its way in leaves the cursor where it was.
    auto* label = control<QLineEdit>("PotLabel");
    type("PotLabel", "AB");
    label->setCursorPosition(1);
    QTest::sendKeyEvent(QTest::Click, label, Qt::Key_unknown, QString::fromUtf8("\xC3\xA9"),
                        Qt::NoModifier);
    QTest::keyClick(label, 'x');
    EXPECT_EQ(label->text(), "AxB");

    // With the surface hidden the label is stored and no knob is touched.
    surface.hide();
    type("PotLabel", "Cut");
    EXPECT_EQ(data(0x831), 'C');
    EXPECT_EQ(knobs[3]->toolTip(), "AxB");
}

TEST_F(PotPageTest, LabelModeAndTheModeNibblesAreWrittenSingly) {
    image.SetDataByte(0x306, 0x05); // encoder 3: "send CC Inc/Dec", normal speed
    load();
    type("PotNumber", "3");
    EXPECT_EQ(shown("EncMode"), "send CC Inc/Dec");
    EXPECT_EQ(shown("EncSpeed"), "Normal");

    pick("EncSpeed", 2);
    EXPECT_EQ(data(0x306), 0x25);
    pick("EncMode", 0);
    EXPECT_EQ(data(0x306), 0x20);
    pick("EncMode", 7);
    EXPECT_EQ(data(0x306), 0x27);

    type("EncSpeed", "Fast");
    EXPECT_EQ(data(0x306), 0x17);
    // Text that names no speed writes nothing.
    type("EncSpeed", "Turbo");
    EXPECT_EQ(data(0x306), 0x17);

    pick("EncSpeed", 0);
    EXPECT_EQ(data(0x306), 0x07);

    pick("LedMode", 3);
    EXPECT_EQ(data(0x307), 0x03);
    pick("LedMode", 0);
    EXPECT_EQ(data(0x307), 0x00);
    pick("PotLabelMode", 7);
    EXPECT_EQ(data(0x830), 0x63);
    pick("PotLabelMode", 1);
    EXPECT_EQ(data(0x830), 0x41);
    pick("PotLabelMode", 4);
    EXPECT_EQ(data(0x830), 0x60);
    pick("PotLabelMode", 0);
    EXPECT_EQ(data(0x830), 0x40);
    // Nothing of the neighbours moved.
    EXPECT_EQ(data(0x304), 0x00);
    EXPECT_EQ(data(0x308), 0x00);
    EXPECT_EQ(data(0x820), 0x62);
}

TEST_F(PotPageTest, ModesOutsideTheListsShowNoItem) {
    image.SetDataByte(0x30A, 0x3C); // encoder 5: mode 12, speed 3
    image.SetDataByte(0x30B, 0x07); // LED pattern 8
    load();
    // Typed text that names no speed is not left standing when another encoder is shown.
    type("EncSpeed", "Turbo");
    type("PotNumber", "1");
    EXPECT_EQ(shown("EncSpeed"), "Normal");
    type("PotNumber", "5");
    EXPECT_EQ(control<QComboBox>("EncMode")->currentIndex(), -1);
    EXPECT_EQ(shown("EncSpeed"), "");
    EXPECT_EQ(control<QComboBox>("LedMode")->currentIndex(), -1);
    EXPECT_EQ(data(0x30A), 0x3C);
    EXPECT_EQ(data(0x30B), 0x07);
    type("PotNumber", "6");
    EXPECT_EQ(shown("EncSpeed"), "Normal");
}

TEST_F(PotPageTest, RangeChangesReRangeTheKnobInTheEncodersSlot) {
    load();
    surface.show();
    // Encoder 20 is bank 2, number 5: the fifth knob, whichever bank the surface plays.
    type("PotNumber", "20");
    knobChanges.clear();
    type("PotMax", "100");
    EXPECT_EQ(data(0x053), 100);
    EXPECT_EQ(knobs[4]->Max(), 100);
    ASSERT_EQ(knobChanges.size(), 1u);
    EXPECT_EQ(knobChanges.back(), (KnobChange{4, 0, 0, 100}));

    type("PotMin", "30");
    EXPECT_EQ(data(0x052), 30);
    ASSERT_EQ(knobChanges.size(), 2u);
    EXPECT_EQ(knobChanges.back(), (KnobChange{4, 30, 30, 100}));

    // A fill that changes the range re-ranges too, and stores nothing.
    image.SetDataByte(0x056, 10);
    image.SetDataByte(0x057, 90);
    const Bytes before = image.Bytes();
    knobChanges.clear();
    type("PotNumber", "21");
    EXPECT_EQ(image.Bytes(), before);
    EXPECT_EQ(knobs[5]->Min(), 10);
    EXPECT_EQ(knobs[5]->Max(), 90);
    EXPECT_EQ(knobChanges, (std::vector<KnobChange>{{5, 10, 10, 127}, {5, 10, 10, 90}}));

    // A damaged range (150..250) reaches the knob as 127..127 and stays as stored.
    image.SetDataByte(0x062, 150);
    image.SetDataByte(0x063, 250);
    const Bytes damaged = image.Bytes();
    type("PotNumber", "24");
    EXPECT_EQ(image.Bytes(), damaged);
    EXPECT_EQ(knobs[8]->Min(), 127);
    EXPECT_EQ(knobs[8]->Max(), 127);

    // Encoders 22 and 23 share the range 0..127: the fill between them leaves the knobs alone.
    type("PotNumber", "22");
    knobChanges.clear();
    type("PotNumber", "23");
    EXPECT_TRUE(knobChanges.empty());

    // Hidden surface: the range is stored, no knob moves.
    surface.hide();
    type("PotMax", "50");
    EXPECT_EQ(data(0x05F), 50);
    EXPECT_TRUE(knobChanges.empty());
    EXPECT_EQ(knobs[7]->Max(), 127);
}

} // namespace
} // namespace korv::test
