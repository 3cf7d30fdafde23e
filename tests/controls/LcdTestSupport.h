// Shared by the LCD tests: the message-box recorder, the control surface's configuration of the
// display, and reading cells back from the control's picture.
#pragma once

#include "RecordingDialogs.h"
#include "TLCDLabel.h"

#include <QImage>

#include <vector>

namespace korv::controls::test {

// Error boxes are recorded, not shown.
using ErrorRecorder = korv::test::RecordingDialogs;

inline const QRgb kNavy = qRgb(0, 0, 128);
inline const QRgb kYellow = qRgb(255, 255, 0);
inline const QRgb kPurple = qRgb(128, 0, 128);

// 4 lines of 16 cells, LCD ROM set, one-pixel dots one pixel apart: 188 x 72.
inline void configureAsSurface(TLCDLabel& lcd) {
    lcd.SetDotMatrix(TDotMatrix::Hitachi);
    lcd.SetPixelSize(TPixelSize::pix1x1);
    lcd.SetPixelSpacing(1);
    lcd.SetCharSpacing(2);
    lcd.SetLineSpacing(2);
    lcd.SetBorderSpace(6);
    lcd.SetTextLines(4);
    lcd.SetNoOfChars(16);
    lcd.SetBackGround(QColor(kNavy));
    lcd.SetPixelOn(QColor(kYellow));
    lcd.SetPixelOff(QColor(kPurple));
}

// Row masks of a 5 x 7 cell of the surface display as drawn; a dot in neither dot colour gives -1.
inline std::vector<int> surfaceCell(const QImage& picture, int line, int column) {
    std::vector<int> rows;
    const int x = 7 + 11 * column;
    const int y = 7 + 15 * line;
    for (int row = 0; row < 7; ++row) {
        int mask = 0;
        for (int dot = 0; dot < 5; ++dot) {
            const QRgb pixel = picture.pixel(x + 2 * dot, y + 2 * row);
            if (pixel != kYellow && pixel != kPurple)
                return {-1};
            mask = mask << 1 | (pixel == kYellow ? 1 : 0);
        }
        rows.push_back(mask);
    }
    return rows;
}

} // namespace korv::controls::test
