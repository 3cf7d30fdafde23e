#include "LcdScreens.h"
#include "SettingsImage.h"

#include <gtest/gtest.h>

using korv::model::SettingsImage;
using korv::surface::LcdScreen;
using korv::surface::LcdScreens;

namespace {

void expectAllLinesFit(const LcdScreen& screen) {
    for (const std::string& line : screen)
        EXPECT_EQ(line.size(), 16u) << '"' << line << '"';
}

} // namespace

TEST(LcdScreens, FitLineCutsAtNulPadsAndTruncatesToSixteen) {
    EXPECT_EQ(LcdScreens::FitLine(""), std::string(16, ' '));
    EXPECT_EQ(LcdScreens::FitLine("abc"), "abc             ");
    EXPECT_EQ(LcdScreens::FitLine("0123456789ABCDEFGHIJ"), "0123456789ABCDEF");
    EXPECT_EQ(LcdScreens::FitLine(std::string_view("ab\0cd", 5)), "ab              ");
    EXPECT_EQ(LcdScreens::FitLine(std::string_view("\0xyz", 4)), std::string(16, ' '));
}

TEST(LcdScreens, KnobScreenNamesEncoderBankNumberAndValue) {
    const LcdScreen s = LcdScreens::KnobScreen(33, 100);
    EXPECT_EQ(s[0], "Encoder Moved   ");
    EXPECT_EQ(s[1], "Knob ID : 33    ");
    EXPECT_EQ(s[2], "Knob Nr : 3.2   ");
    EXPECT_EQ(s[3], "Value   : 100   ");

    const LcdScreen last = LcdScreens::KnobScreen(127, 127);
    EXPECT_EQ(last[1], "Knob ID : 127   ");
    EXPECT_EQ(last[2], "Knob Nr : 8.16  ");
}

TEST(LcdScreens, ButtonScreenCountsFromButtonZeroWithTruncatingDivision) {
    const LcdScreen b0 = LcdScreens::ButtonScreen(1000);
    EXPECT_EQ(b0[0], "Button Pushed   ");
    EXPECT_EQ(b0[1], std::string(16, ' '));
    EXPECT_EQ(b0[2], "Number : 1.0    ");
    EXPECT_EQ(b0[3], "--------------- ");
    EXPECT_EQ(LcdScreens::ButtonScreen(1005)[2], "Number : 1.5    ");
    EXPECT_EQ(LcdScreens::ButtonScreen(1025)[2], "Number : 1.25   ");
    EXPECT_EQ(LcdScreens::ButtonScreen(1063)[2], "Number : 1.63   ");
}

TEST(LcdScreens, BarCodesStepEveryNineValuesFromOneToFifteen) {
    const std::pair<int, int> cases[] = {{0, 1},  {1, 1},  {2, 2},    {10, 2},   {11, 3},  {19, 3},
                                         {20, 4}, {64, 8}, {118, 14}, {119, 15}, {127, 15}};
    for (auto [value, code] : cases)
        EXPECT_EQ(LcdScreens::BarCode(value), code) << "value " << value;
}

TEST(LcdScreens, LevelBarsShowEncodersOneToFifteenOfBanksOneToFour) {
    SettingsImage image;
    for (const std::string& line : LcdScreens::LevelBars(image))
        EXPECT_EQ(line, std::string(15, '\x01') + ' ');

    image.SetPotValue(0, 127);  // bank 1, knob 1
    image.SetPotValue(16, 64);  // bank 2, knob 1
    image.SetPotValue(62, 11);  // bank 4, knob 15
    image.SetPotValue(15, 127); // knob 16 has no bar
    image.SetPotValue(64, 127); // bank 5 has no line
    const LcdScreen bars = LcdScreens::LevelBars(image);
    expectAllLinesFit(bars);
    EXPECT_EQ(bars[0][0], 15);
    EXPECT_EQ(bars[0].substr(1), std::string(14, '\x01') + ' ');
    EXPECT_EQ(bars[1][0], 8);
    EXPECT_EQ(bars[3][14], 3);
    EXPECT_EQ(bars[3][15], ' ');
    EXPECT_EQ(bars[2], std::string(15, '\x01') + ' ');
}

TEST(LcdScreens, EventScreenFollowsTheDisplayMode) {
    SettingsImage image;
    image.SetPotValue(5, 42);
    // Modes 0 and 1 show the control, knob or button.
    for (int mode : {0, 1}) {
        EXPECT_EQ(LcdScreens::EventScreen(mode, 5, image), LcdScreens::KnobScreen(5, 42));
        EXPECT_EQ(LcdScreens::EventScreen(mode, 1017, image), LcdScreens::ButtonScreen(1017));
    }
    // Mode 2 shows the bars whatever the control, mode 3 always the notice.
    EXPECT_EQ(LcdScreens::EventScreen(2, 1017, image), LcdScreens::LevelBars(image));
    EXPECT_EQ(LcdScreens::EventScreen(2, 100, image), LcdScreens::LevelBars(image));
    const LcdScreen notice = LcdScreens::EventScreen(3, 5, image);
    EXPECT_EQ(notice, (LcdScreen{" Display Mode 3 ", "Not Implemented ", "   Yet !!!!!!   ",
                                 std::string(16, ' ')}));
}

TEST(LcdScreens, StartupAndBankScreensAreSixteenCharactersALine) {
    EXPECT_EQ(LcdScreens::CreditLine.size(), 16u);
    const LcdScreen initializing = LcdScreens::StartupScreen(false);
    const LcdScreen initialized = LcdScreens::StartupScreen(true);
    expectAllLinesFit(initializing);
    EXPECT_EQ(initializing[0], "  Initializing  ");
    EXPECT_EQ(initialized[0], "  Initialized   ");
    EXPECT_EQ(initialized[1], "    Virtual     ");
    EXPECT_EQ(initialized[2], "   Korvanette   ");
    EXPECT_EQ(initialized[3], LcdScreens::CreditLine);
    EXPECT_EQ(initializing[3], initialized[3]);

    const LcdScreen bank = LcdScreens::BankScreen(8);
    EXPECT_EQ(bank, (LcdScreen{std::string(16, ' '), " Bank Nr 8      ", " Selected       ",
                               std::string(16, ' ')}));
    EXPECT_EQ(LcdScreens::Joined(bank).size(), 64u);
    EXPECT_EQ(LcdScreens::Joined(bank).substr(16, 16), bank[1]);
    // Lines never written are empty and still take their 16 cells.
    EXPECT_EQ(LcdScreens::Joined({"", "ab", "", ""}),
              std::string(16, ' ') + "ab" + std::string(46, ' '));
}
