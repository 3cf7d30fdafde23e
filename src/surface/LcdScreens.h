// The texts of the emulated 4 x 16 character LCD: every screen the surface can show, composed
// without any widget so that tests and benchmarks can drive them directly.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korv::model {
class SettingsImage;
}

namespace korv::surface {

inline constexpr int LcdLineCount = 4;
inline constexpr int LcdLineLength = 16;
inline constexpr int HighestDisplayMode = 3;
// Control ids of event buttons start here; below are encoder ids.
inline constexpr int ButtonIdBase = 1000;

using LcdScreen = std::array<std::string, LcdLineCount>;

class LcdScreens {
public:
    // Line 3 of both start-up screens; exactly 16 characters.
    static constexpr std::string_view CreditLine = "  korvanettesim ";

    // Cuts at the first NUL, pads with blanks to 16 characters and drops the rest.
    static std::string FitLine(std::string_view text);

    // The screen ShowEventScreen draws in `displayMode` for `controlId` (an encoder id, or
    // 1000 + button id). Modes 0 and 1 show the control, mode 2 the level bars of banks 1 to
    // 4 and mode 3 a notice; the mode 2 bars ignore the control.
    static LcdScreen EventScreen(int displayMode, int controlId, const model::SettingsImage& image);
    static LcdScreen KnobScreen(int encoderId, int value);
    static LcdScreen ButtonScreen(int controlId);
    static LcdScreen LevelBars(const model::SettingsImage& image);
    static LcdScreen Mode3Notice();
    static LcdScreen StartupScreen(bool initialized);
    static LcdScreen BankScreen(int bank);
    static LcdScreen Blank();

    // Bar code 1 (empty cell) to 15 (full cell) of an encoder value 0..127.
    static int BarCode(int value);
    // The four lines one after another: the 64 characters the dot-matrix LCD takes as caption.
    static std::string Joined(const LcdScreen& screen);
};

} // namespace korv::surface
