// Where the surface puts its controls: the layout constants of the window and the geometry of
// knobs, value labels, event buttons, bank buttons and the two LCDs.
#pragma once

namespace korv::surface::layout {

inline constexpr int KnobCount = 16;
inline constexpr int KnobsPerRow = 16;
inline constexpr int KnobHeight = 40;
inline constexpr int KnobWidth = 40;
inline constexpr int HorizontalPitch = 50;
inline constexpr int VerticalPitch = 60;
inline constexpr int TopOffset = 120;
inline constexpr int BottomExtra = 20;
inline constexpr int LeftMargin = 30;
inline constexpr int LabelOffset = 40;
inline constexpr int ValueLabelHeight = 20;

inline constexpr int WindowWidth = 2 * LeftMargin + HorizontalPitch * KnobsPerRow;
inline constexpr int KnobStepHeight =
    (KnobCount + KnobsPerRow - 1) / KnobsPerRow * VerticalPitch + TopOffset + BottomExtra;
inline constexpr int ButtonStepExtra = 120;

inline constexpr int ButtonSize = 25;
inline constexpr int ButtonIndent = 8;
inline constexpr int BankButtonLeft = 625;
inline constexpr int BankButtonWidth = 100;
inline constexpr int BankButtonHeight = 25;
inline constexpr int BankUpTop = 22;
inline constexpr int BankDownTop = 54;

inline constexpr int LcdTop = 16;
inline constexpr int BackLightLcdWidth = 188;
inline constexpr int BackLightLcdHeight = 72;
inline constexpr int PlainLcdWidth = 145;
inline constexpr int PlainLcdHeight = 81;
inline constexpr int PlainLcdLineLeft = 9;
inline constexpr int PlainLcdFirstLineTop = 8;
inline constexpr int PlainLcdLinePitch = 16;
inline constexpr int PlainLcdFontPixels = 12;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

constexpr Rect KnobRect(int i) {
    return {(i % KnobsPerRow) * HorizontalPitch + LeftMargin,
            (i / KnobsPerRow) * VerticalPitch + TopOffset, KnobWidth, KnobHeight};
}

constexpr Rect ValueLabelRect(int i) {
    const Rect knob = KnobRect(i);
    return {knob.left, knob.top + LabelOffset, KnobWidth, ValueLabelHeight};
}

// A row of event buttons: ids first..first+count-1, the top given by the window height.
struct ButtonRow {
    int firstId;
    int count;
    int topFromWindowBottom; // 0 when the row has a fixed top
    int fixedTop;
};

// Created in this order: top row, middle row, bottom row.
inline constexpr ButtonRow ButtonRows[] = {
    {17, 4, 0, 30},
    {0, 16, 120, 0},
    {25, 16, 70, 0},
};

constexpr Rect EventButtonRect(const ButtonRow& row, int id, int windowHeight) {
    const int j = id - row.firstId;
    const int top = row.topFromWindowBottom ? windowHeight - row.topFromWindowBottom : row.fixedTop;
    return {(j % KnobsPerRow) * HorizontalPitch + LeftMargin + ButtonIndent, top, ButtonSize,
            ButtonSize};
}

constexpr int CentredLeft(int windowWidth, int controlWidth) {
    return windowWidth / 2 - controlWidth / 2;
}

} // namespace korv::surface::layout
