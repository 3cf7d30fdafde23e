// Cost of one knob turn on a surface of 16 knobs: the write with its OnChange and label text,
// then the knob's repaint. Prints median and p99 in microseconds; nothing is asserted.
#include "TKnob.h"

#include <QApplication>
#include <QLabel>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using korv::controls::TKnob;
using Clock = std::chrono::steady_clock;

namespace {

struct Figures {
    double median;
    double p99;
};

template <typename Step> Figures Measure(int rounds, Step step) {
    std::vector<double> micros;
    micros.reserve(rounds);
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        step(i);
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        micros.push_back(took.count());
    }
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

void Print(const char* what, Figures f) {
    std::printf("%-44s median %8.2f us   p99 %8.2f us\n", what, f.median, f.p99);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QWidget surface;
    surface.resize(8 * 60, 2 * 80);
    std::vector<TKnob*> knobs;
    long long changes = 0;
    for (int k = 0; k < 16; ++k) {
        auto* knob = new TKnob(&surface);
        knob->move(10 + (k % 8) * 60, 10 + (k / 8) * 80);
        auto* label = new QLabel(&surface);
        label->setGeometry(10 + (k % 8) * 60, 55 + (k / 8) * 80, 55, 16);
        knob->SetPositionLabel(label);
        knob->SetCaption("CC");
        knob->OnChange = [&changes](TKnob&) { ++changes; };
        knobs.push_back(knob);
    }
    surface.show();
    app.processEvents();

    constexpr int rounds = 20000;
    const auto turn = [&](int i) { knobs[i % 16]->SetPosition((i * 7) % 128); };
    Print("SetPosition (OnChange, label text)", Measure(rounds, turn));
    Print("SetPosition + repaint of the knob", Measure(rounds, [&](int i) {
              turn(i);
              knobs[i % 16]->repaint();
          }));
    Print("SetPosition + full event-loop repaint", Measure(rounds / 4, [&](int i) {
              turn(i);
              app.processEvents();
          }));
    Print("face rebuilt (focus change) + repaint", Measure(rounds / 4, [&](int i) {
              knobs[i % 16]->setFocus();
              knobs[i % 16]->repaint();
          }));
    std::printf("(%lld OnChange calls)\n", changes);
    return 0;
}
