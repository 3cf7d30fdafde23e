#include "LcdScreens.h"
#include "SettingsImage.h"

#include <gtest/gtest.h>

using korv::surface::LcdScreens;

TEST(LcdScreens, LinesAreCutAtNulAndFittedToSixteenCharactersInTheirOwnRow) {
    EXPECT_EQ(LcdScreens::FitLine("abc"), "abc             ");
    EXPECT_EQ(LcdScreens::FitLine("0123456789ABCDEFGHIJ"), "0123456789ABCDEF");
    EXPECT_EQ(LcdScreens::FitLine(std::string_view("ab\0cd", 5)), "ab              ");
    EXPECT_EQ(LcdScreens::CreditLine.size(), 16u);
    // Lines never written since start are empty and still take their 16 cells.
    EXPECT_EQ(LcdScreens::Joined({"", "ab", "", ""}),
              std::string(16, ' ') + "ab" + std::string(46, ' '));
}

TEST(LcdScreens, ButtonNumbersCountFromButtonZeroWithTruncatingDivision) {
    EXPECT_EQ(LcdScreens::ButtonScreen(1000)[2], "Number : 1.0    ");
    EXPECT_EQ(LcdScreens::ButtonScreen(1025)[2], "Number : 1.25   ");
    EXPECT_EQ(LcdScreens::ButtonScreen(1063)[2], "Number : 1.63   ");
}

TEST(LcdScreens, LevelBarsShowEncodersOneToFifteenOfBanksOneToFour) {
    for (auto [value, code] : {std::pair{0, 1},
                               {1, 1},
                               {2, 2},
                               {10, 2},
                               {11, 3},
                               {19, 3},
                               {20, 4},
                               {64, 8},
                               {118, 14},
                               {119, 15},
                               {127, 15},
                               {128, 15},
                               {255, 15}})
        EXPECT_EQ(LcdScreens::BarCode(value), code) << "value " << value;

    korv::model::SettingsImage image;
    image.SetPotValue(16, 64);  // bank 2, knob 1
    image.SetPotValue(62, 11);  // bank 4, knob 15
    image.SetPotValue(15, 127); // knob 16 has no bar
    image.SetPotValue(64, 127); // bank 5 has no line
    const auto bars = LcdScreens::EventScreen(2, 1017, image);
    const std::string empty = std::string(15, '\x01') + ' ';
    EXPECT_EQ(bars[0], empty);
    EXPECT_EQ(bars[1], '\x08' + empty.substr(1));
    EXPECT_EQ(bars[2], empty);
    EXPECT_EQ(bars[3], empty.substr(0, 14) + "\x03 ");
}

TEST(LcdScreens, KnobScreenLinesAndTheModeThreeNotice) {
    korv::model::SettingsImage image;
    image.SetPotValue(33, 100);
    EXPECT_EQ(LcdScreens::EventScreen(1, 33, image),
              (korv::surface::LcdScreen{"Encoder Moved   ", "Knob ID : 33    ", "Knob Nr : 3.2   ",
                                        "Value   : 100   "}));
    EXPECT_EQ(LcdScreens::EventScreen(0, 127, image)[2], "Knob Nr : 8.16  ");
    EXPECT_EQ(LcdScreens::EventScreen(0, 1040, image),
              (korv::surface::LcdScreen{"Button Pushed   ", "                ", "Number : 1.40   ",
                                        "--------------- "}));
    EXPECT_EQ(LcdScreens::EventScreen(3, 33, image),
              (korv::surface::LcdScreen{" Display Mode 3 ", "Not Implemented ", "   Yet !!!!!!   ",
                                        "                "}));
}
