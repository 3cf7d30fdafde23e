// The "Buttons" page: choosing the button and its mode.
#include "EditorFixture.h"

#include <QComboBox>
#include <QSpinBox>

namespace korv::test {
namespace {

using ButtPageTest = EditorTest;

TEST_F(ButtPageTest, ButtonNrSelectsTheButtonIdOneBelowIt) {
    load();
    type("ButtonNumberInBank", "64");
    EXPECT_EQ(value("ButtNumber"), 63);
    EXPECT_EQ(shown("ButtByte0A"), "F : Meta Event ");
    EXPECT_EQ(value("ButtByte1"), 127);

    type("ButtonNumberInBank", "0");
    EXPECT_EQ(value("ButtNumber"), 0);
    EXPECT_EQ(value("ButtonNumberInBank"), 1);
    EXPECT_EQ(value("ButtByte1"), 60);

    type("ButtNumber", "17");
    EXPECT_EQ(value("ButtonNumberInBank"), 18);
    EXPECT_EQ(value("ButtByte1"), 8);
    EXPECT_EQ(text("ButtByte2HEX"), "40");
    type("ButtNumber", "99");
    EXPECT_EQ(value("ButtNumber"), 63);
    EXPECT_EQ(value("ButtonNumberInBank"), 64);
}

TEST_F(ButtPageTest, AModeOutsideTheListShowsNoItemAndStaysUntilPicked) {
    image.SetDataByte(0x21F, 0x05); // button 7
    load();
    type("ButtNumber", "7");
    EXPECT_EQ(control<QComboBox>("ButtMode")->currentIndex(), -1);
    EXPECT_EQ(shown("ButtMode"), "");
    // The main window runs this on every page change; with no item shown it stores nothing.
    butt().ButtModeChange();
    EXPECT_EQ(data(0x21F), 0x05);

    pick("ButtMode", 2);
    EXPECT_EQ(data(0x21F), 0x02);
    pick("ButtMode", 1);
    EXPECT_EQ(data(0x21F), 0x01);
    pick("ButtMode", 0);
    EXPECT_EQ(data(0x21F), 0x00);
    EXPECT_EQ(data(0x21B), 0x00);
    EXPECT_EQ(data(0x223), 0x00);

    type("ButtNumber", "8");
    EXPECT_EQ(shown("ButtMode"), "ON/OFF");
}

} // namespace
} // namespace korv::test
