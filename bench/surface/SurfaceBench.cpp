// Knob turns on the control surface, end to end: from a knob's Position write to the bytes
// handed to the MIDI service, and the rate of knob changes the GUI thread keeps up with while
// the dot-matrix LCD is visible. Run headless: QT_QPA_PLATFORM=offscreen surface_bench.
#include "MidiService.h"
#include "MidiSystem.h"
#include "SettingsImage.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiOut.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using korv::midi::MidiInputConnection;
using korv::midi::MidiInputSink;
using korv::midi::MidiOutputConnection;

namespace {

// An output that only notes when the last short message reached it.
class StampingService : public korv::midi::MidiService {
public:
    Clock::time_point lastSend;
    std::size_t sends = 0;

    std::string serviceName() const override { return "stamp"; }
    std::vector<std::string> inputNames() override { return {}; }
    std::vector<std::string> outputNames() override { return {"Stamp Out"}; }
    std::unique_ptr<MidiInputConnection> openInput(const std::string&, MidiInputSink&,
                                                   int& error) override {
        error = korv::midi::OpenNoSuchDevice;
        return nullptr;
    }
    std::unique_ptr<MidiOutputConnection> openOutput(const std::string&, int& error) override {
        error = korv::midi::OpenOk;
        return std::make_unique<Connection>(*this);
    }

private:
    struct Connection : MidiOutputConnection {
        explicit Connection(StampingService& s)
            : s_(s) {}
        void sendShort(const std::uint8_t*, std::size_t) override {
            s_.lastSend = Clock::now();
            ++s_.sends;
        }
        bool sendSysEx(const std::uint8_t*, std::size_t) override { return true; }
        StampingService& s_;
    };
};

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Stats {
    double median;
    double p99;
    double max;
};

Stats stats(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

// Direct writes on the GUI thread, pending paints flushed after each one as the event loop
// would between two mouse moves.
void measureLatency(korv::surface::TFaderDesk& desk, StampingService& service) {
    constexpr int Turns = 20000;
    std::vector<double> toService;
    std::vector<double> wholeTurn;
    std::vector<double> withPaint;
    toService.reserve(Turns);
    wholeTurn.reserve(Turns);
    withPaint.reserve(Turns);
    korv::controls::TKnob* knob = desk.KnobTable()[3];
    for (int i = 0; i < Turns; ++i) {
        const auto start = Clock::now();
        knob->SetPosition(i % 128);
        const auto written = Clock::now();
        QCoreApplication::processEvents();
        const auto painted = Clock::now();
        toService.push_back(micros(service.lastSend - start));
        wholeTurn.push_back(micros(written - start));
        withPaint.push_back(micros(painted - start));
    }
    const Stats s = stats(toService);
    const Stats w = stats(wholeTurn);
    const Stats p = stats(withPaint);
    std::printf("Position write -> bytes at the MIDI service: median %.2f us, p99 %.2f us, "
                "max %.1f us (%d turns)\n",
                s.median, s.p99, s.max, Turns);
    std::printf("Whole knob turn (store, send, LCD screen and repaint): median %.2f us, p99 "
                "%.2f us\n",
                w.median, w.p99);
    std::printf("Knob turn including the window's paint of knob, label and LCD: median %.2f us, "
                "p99 %.2f us\n",
                p.median, p.p99);
}

// A feeder thread posts knob changes to the GUI thread at a fixed rate, the way MIDI input
// does; the lag from post to handling shows whether the event loop falls behind.
void measureRate(QApplication& app, korv::surface::TFaderDesk& desk, int perSecond,
                 double seconds) {
    const int count = int(perSecond * seconds);
    std::vector<double> lag(count);
    std::atomic<int> handled{0};
    korv::controls::TKnob* knob = desk.KnobTable()[5];
    const auto begin = Clock::now();
    std::thread feeder([&] {
        const auto step = std::chrono::nanoseconds(1'000'000'000LL / perSecond);
        for (int i = 0; i < count; ++i) {
            const auto due = begin + step * i;
            std::this_thread::sleep_until(due);
            const auto posted = Clock::now();
            QMetaObject::invokeMethod(
                &desk,
                [&, i, posted] {
                    knob->SetPosition(i % 128);
                    lag[i] = micros(Clock::now() - posted);
                    if (handled.fetch_add(1) + 1 == count)
                        app.quit();
                },
                Qt::QueuedConnection);
        }
    });
    app.exec();
    const auto end = Clock::now();
    feeder.join();
    const Stats s = stats(lag);
    std::printf("%6d changes/s offered for %.0f s: handled %d at %.0f/s, lag median %.1f us, "
                "p99 %.1f us, max %.1f us\n",
                perSecond, seconds, handled.load(),
                count / std::chrono::duration<double>(end - begin).count(), s.median, s.p99, s.max);
}

// Everything posted at once: how fast the GUI thread drains knob changes with paints between.
void measureFlood(QApplication& app, korv::surface::TFaderDesk& desk) {
    constexpr int Count = 20000;
    korv::controls::TKnob* knob = desk.KnobTable()[7];
    int handled = 0;
    const auto begin = Clock::now();
    for (int i = 0; i < Count; ++i)
        QMetaObject::invokeMethod(
            &desk,
            [&, i] {
                knob->SetPosition(i % 128);
                if (++handled == Count)
                    app.quit();
            },
            Qt::QueuedConnection);
    app.exec();
    const double secs = std::chrono::duration<double>(Clock::now() - begin).count();
    std::printf("Flood of %d changes drained at %.0f changes/s\n", Count, Count / secs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    StampingService service;
    korv::midi::MidiSystem system({&service});
    korv::midi::TMidiOut out(system);
    out.SetUsing(true);
    korv::model::SettingsImage image;
    korv::surface::TFaderDesk desk(image, out);
    desk.ShowVirtualBox();
    QCoreApplication::processEvents();

    measureLatency(desk, service);
    for (int rate : {1000, 2000, 5000, 10000})
        measureRate(app, desk, rate, 2.0);
    measureFlood(app, desk);
    std::printf("Short messages sent: %zu\n", service.sends);
    return 0;
}
