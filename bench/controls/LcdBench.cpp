// What the control surface's LCD costs per caption change, the way knob turns drive it: 64 cells
// of 5 x 7 one-pixel dots redrawn for every new screen. Run headless:
// QT_QPA_PLATFORM=offscreen lcd_bench
#include "TLCDLabel.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using Clock = std::chrono::steady_clock;
using korv::controls::TDotMatrix;
using korv::controls::TLCDLabel;
using korv::controls::TPixelShape;
using korv::controls::TPixelSize;

namespace {

void configureAsSurface(TLCDLabel& lcd) {
    lcd.SetDotMatrix(TDotMatrix::Hitachi);
    lcd.SetPixelSize(TPixelSize::pix1x1);
    lcd.SetPixelSpacing(1);
    lcd.SetCharSpacing(2);
    lcd.SetLineSpacing(2);
    lcd.SetBorderSpace(6);
    lcd.SetTextLines(4);
    lcd.SetNoOfChars(16);
    lcd.SetBackGround(QColor(0, 0, 128));
    lcd.SetPixelOn(Qt::yellow);
    lcd.SetPixelOff(QColor(128, 0, 128));
}

// The event screen of a knob turned to `value`, as the LCD emulation writes it.
QByteArray eventScreen(int value) {
    return QByteArray("Encoder Moved   Knob ID : 33    Knob Nr : 3.2   ") +
           QByteArray("Value   : ") + QByteArray::number(value).leftJustified(6, ' ');
}

// The level screen: bar codes 1 to 15 that change with the value.
QByteArray barScreen(int value) {
    QByteArray screen;
    for (int line = 0; line < 4; ++line) {
        for (int column = 0; column < 15; ++column)
            screen.append(static_cast<char>(1 + (value + line * 15 + column) % 15));
        screen.append(' ');
    }
    return screen;
}

void report(const char* what, int runs, const std::function<void(int)>& step) {
    for (int i = 0; i < runs / 10; ++i)
        step(i);
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        step(i);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) {
        return micros[static_cast<std::size_t>(q * static_cast<double>(micros.size() - 1))];
    };
    std::printf("%-58s median %8.1f us   p99 %8.1f us   (%d runs)\n", what, at(0.5), at(0.99),
                runs);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(300, 200);
    auto* lcd = new TLCDLabel(&window);
    configureAsSurface(*lcd);
    window.show();
    QApplication::processEvents();

    report("caption change, event screen (Paint only)", 20000,
           [&](int i) { lcd->SetCaption(eventScreen(i % 128)); });
    report("caption change, level bars (Paint only)", 20000,
           [&](int i) { lcd->SetCaption(barScreen(i)); });
    report("caption change and its paint event on screen", 5000, [&](int i) {
        lcd->SetCaption(eventScreen(i % 128));
        QApplication::processEvents();
    });
    lcd->SetCaption(eventScreen(0));
    report("colour change: every shown glyph drawn again, 1x1 dots", 2000,
           [&](int i) { lcd->SetPixelOn(i % 2 ? Qt::yellow : Qt::white); });
    lcd->SetPixelSize(TPixelSize::pix4x4);
    lcd->SetPixelShape(TPixelShape::spRound);
    report("caption change, 4x4 round dots (cached cells)", 5000,
           [&](int i) { lcd->SetCaption(eventScreen(i % 128)); });
    report("colour change, 4x4 round dots (all 2,240 dots drawn)", 500,
           [&](int i) { lcd->SetPixelOn(i % 2 ? Qt::yellow : Qt::white); });
    return 0;
}
