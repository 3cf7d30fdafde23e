#include "LcdScreens.h"

#include "SettingsImage.h"

#include <algorithm>
#include <cstdio>

namespace korv::surface {

namespace {

template <typename... Args> std::string format(const char* pattern, Args... args) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return std::string(buffer, length < 0 ? 0 : std::min<std::size_t>(length, sizeof buffer - 1));
}

LcdScreen fitted(std::string_view l0, std::string_view l1, std::string_view l2,
                 std::string_view l3) {
    return {LcdScreens::FitLine(l0), LcdScreens::FitLine(l1), LcdScreens::FitLine(l2),
            LcdScreens::FitLine(l3)};
}

} // namespace

std::string LcdScreens::FitLine(std::string_view text) {
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::string line(text.substr(0, LcdLineLength));
    line.resize(LcdLineLength, ' ');
    return line;
}

LcdScreen LcdScreens::EventScreen(int displayMode, int controlId,
                                  const model::SettingsImage& image) {
    switch (displayMode) {
    case 2:
        return LevelBars(image);
    case 3:
        return Mode3Notice();
    default:
        if (controlId >= ButtonIdBase)
            return ButtonScreen(controlId);
        return KnobScreen(controlId, image.PotValue(controlId));
    }
}

LcdScreen LcdScreens::KnobScreen(int encoderId, int value) {
    return fitted("Encoder Moved  ", format("Knob ID : %d", encoderId),
                  format("Knob Nr : %d.%d ", encoderId / 16 + 1, encoderId % 16 + 1),
                  format("Value   : %d ", value));
}

LcdScreen LcdScreens::ButtonScreen(int controlId) {
    // Counted from 1001, so button 0 is n = -1; C++ division truncates toward zero as the
    // box's firmware does, which makes button 0 read "1.0" and button 25 "1.25".
    const int n = controlId - (ButtonIdBase + 1);
    return fitted("Button Pushed   ", "", format("Number : %d.%d", n / 64 + 1, n % 64 + 1),
                  "--------------- ");
}

int LcdScreens::BarCode(int value) {
    // A value above 127 (a damaged dump) shows a full bar like 127, not a code past the bars.
    return (std::clamp(value, 0, 127) + 7) / 9 + 1;
}

LcdScreen LcdScreens::LevelBars(const model::SettingsImage& image) {
    LcdScreen screen;
    for (int line = 0; line < LcdLineCount; ++line) {
        std::string& text = screen[line];
        text.assign(LcdLineLength, ' ');
        for (int j = 0; j < LcdLineLength - 1; ++j)
            text[j] = static_cast<char>(BarCode(image.PotValue(line * 16 + j)));
    }
    return screen;
}

LcdScreen LcdScreens::Mode3Notice() {
    return fitted(" Display Mode 3 ", "Not Implemented ", "   Yet !!!!!!   ", "");
}

LcdScreen LcdScreens::StartupScreen(bool initialized) {
    return fitted(initialized ? "  Initialized   " : "  Initializing  ", "    Virtual     ",
                  "   Korvanette   ", CreditLine);
}

LcdScreen LcdScreens::BankScreen(int bank) {
    return fitted("", format(" Bank Nr %d ", bank), " Selected       ", "");
}

LcdScreen LcdScreens::Blank() {
    return fitted("", "", "", "");
}

std::string LcdScreens::Joined(const LcdScreen& screen) {
    std::string all;
    all.reserve(LcdLineCount * LcdLineLength);
    // Lines not written since start are empty; padding keeps every line in its own row.
    for (const std::string& line : screen)
        all += line.size() == LcdLineLength ? line : FitLine(line);
    return all;
}

} // namespace korv::surface
