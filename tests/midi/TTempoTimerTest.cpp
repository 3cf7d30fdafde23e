// The tempo clock driven by a hand-run callback source, so the schedule is exact; and once
// over the real platform timer.
#include "TTempoTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

using namespace korv::midi;

namespace {

// Calls back every `delay` ms of a clock that only moves when the test says so.
class ManualSource : public TimerSource {
public:
    std::uint32_t nowMs() override { return now; }
    unsigned startPeriodic(int delayMs, unsigned, std::function<void()> callback) override {
        ++starts;
        cb = std::move(callback);
        delay = static_cast<std::uint32_t>(delayMs);
        due = now + delay;
        return id = nextId++;
    }
    void kill(unsigned killed) override {
        if (killed == id)
            id = 0;
    }
    // Runs every callback due up to `t`, each at its due time.
    void runUntil(std::uint32_t t) {
        while (id && due <= t) {
            now = due;
            due += delay;
            auto call = cb;
            call();
        }
        now = t;
    }
    // The platform catching up after a stall: `n` callbacks in a row at time `t`.
    void burst(std::uint32_t t, int n) {
        now = t;
        for (int i = 0; i < n && id; ++i) {
            auto call = cb;
            call();
        }
        due = t + delay;
    }

    std::uint32_t now = 1000; // not 0: the clock's origin must not matter
    std::uint32_t delay = 0, due = 0;
    unsigned id = 0, nextId = 1;
    int starts = 0;
    std::function<void()> cb;
};

struct Raised {
    std::int8_t tick;
    std::uint32_t at; // ms since the clock was enabled
};

class TempoClock : public ::testing::Test {
protected:
    TempoClock() {
        timer.OnTimer = [this](TTempoTimer&, std::int8_t tick) {
            raised.push_back({tick, source.now - start});
        };
    }
    void enable() {
        start = source.now;
        timer.SetEnabled(true);
    }
    void runFor(std::uint32_t ms) { source.runUntil(start + ms); }

    ManualSource source;
    TTempoTimer timer{&source};
    std::vector<Raised> raised;
    std::uint32_t start = 0;
};

} // namespace

TEST_F(TempoClock, RaisesTheWorkedScheduleAndWrapsAfter96Ticks) {
    EXPECT_EQ(timer.Tempo(), 120);
    EXPECT_EQ(timer.Resolution(), 5);
    enable();
    runFor(2010);
    ASSERT_GE(raised.size(), 97u);
    const std::pair<int, std::uint32_t> first[] = {{1, 5}, {2, 30}, {3, 50}, {4, 70}, {5, 90}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(raised[i].tick, first[i].first);
        EXPECT_EQ(raised[i].at, first[i].second);
    }
    const std::pair<int, std::uint32_t> wrap[] = {{94, 1945}, {95, 1965}, {0, 1985}, {1, 2010}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(raised[93 + i].tick, wrap[i].first);
        EXPECT_EQ(raised[93 + i].at, wrap[i].second);
    }
    EXPECT_EQ(raised.size(), 97u);
}

TEST_F(TempoClock, TempoChangeKeepsTheBarPosition) {
    enable();
    while (raised.empty() || raised.back().tick != 48)
        source.runUntil(source.now + 5);
    timer.SetTempo(166); // what a send speed of 200 gives
    EXPECT_EQ(timer.Tick(), 48);
    EXPECT_EQ(timer.TimerCount(), 144);
    EXPECT_EQ(source.starts, 2); // restarted with the new tempo
    const std::size_t before = raised.size();
    source.runUntil(source.now + 10);
    ASSERT_EQ(raised.size(), before + 1);
    EXPECT_EQ(raised.back().tick, 49);
}

TEST_F(TempoClock, AStallRaisesNoCatchUpBurst) {
    enable();
    runFor(100);
    const std::size_t before = raised.size();
    // 300 ms held up, then the 60 missed callbacks at once: about 14 ticks were due.
    source.burst(start + 400, 60);
    EXPECT_LE(raised.size() - before, 3u); // MaxPending + 1 at most
    const std::size_t afterBurst = raised.size();
    runFor(500);
    EXPECT_GE(raised.size(), afterBurst + 4); // and the clock goes on
}

TEST_F(TempoClock, FastTemposRaiseOneTickPerCallbackAndTooFastNone) {
    timer.SetTempo(1000);
    enable();
    runFor(500);
    EXPECT_EQ(raised.size(), 100u); // one per 5 ms callback, however many were due
    timer.SetEnabled(false);
    raised.clear();
    timer.SetTempo(1001); // a tick shorter than 2.5 ms: every 5 ms gap is an overrun
    enable();
    runFor(500);
    EXPECT_TRUE(raised.empty());
}

TEST_F(TempoClock, ZeroTempoAndResolutionAreTakenAsOne) {
    timer.SetTempo(0);
    timer.SetResolution(0);
    EXPECT_EQ(timer.Tempo(), 1);
    EXPECT_EQ(timer.Resolution(), 1);
    EXPECT_EQ(timer.TickPeriod(), 2500.0L);
    enable();
    runFor(5001);
    ASSERT_EQ(raised.size(), 3u);
    EXPECT_EQ(raised[1].at, 2501u);
}

TEST_F(TempoClock, HandlerStopsTheClockAndSwitchingOffResetsTheBar) {
    timer.OnTimer = [this](TTempoTimer& t, std::int8_t tick) {
        raised.push_back({tick, source.now - start});
        if (tick == 3)
            t.SetEnabled(false);
    };
    enable();
    runFor(1000);
    EXPECT_EQ(raised.size(), 3u);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Tick(), 0);
    EXPECT_EQ(source.id, 0u);
    enable();
    runFor(5);
    EXPECT_EQ(raised.back().tick, 1); // a new start begins a new bar
}

TEST_F(TempoClock, ResolutionChangedWhileRunningKeepsTheBarPosition) {
    enable();
    while (raised.empty() || raised.back().tick != 48)
        source.runUntil(source.now + 5);
    const std::uint32_t at = source.now - start;
    timer.SetResolution(10);
    EXPECT_EQ(source.starts, 2);
    EXPECT_EQ(source.delay, 10u);
    EXPECT_EQ(timer.Tick(), 48);
    EXPECT_EQ(timer.TimerCount(), 100); // 48 ticks of 20.833 ms in 10 ms callbacks
    const std::size_t before = raised.size();
    source.runUntil(source.now + 40);
    ASSERT_EQ(raised.size(), before + 2);
    EXPECT_EQ(raised[before].tick, 49);
    EXPECT_EQ(raised[before].at, at + 10);
    EXPECT_EQ(raised[before + 1].tick, 50);
    EXPECT_EQ(raised[before + 1].at, at + 40);
}

TEST_F(TempoClock, UnchangedValuesRestartNothing) {
    enable();
    timer.SetEnabled(true);
    timer.SetTempo(120);
    timer.SetResolution(5);
    timer.SetAccuracy(5);
    EXPECT_EQ(source.starts, 1);
    timer.SetAccuracy(1);
    EXPECT_EQ(source.starts, 2);
}

TEST(PlatformTempoClock, RunsOnItsOwnThreadAndStopsFromInsideItsHandler) {
    TTempoTimer timer;
    std::atomic<int> ticks{0};
    std::atomic<bool> onOtherThread{false};
    const auto gui = std::this_thread::get_id();
    timer.OnTimer = [&](TTempoTimer& t, std::int8_t) {
        onOtherThread = std::this_thread::get_id() != gui;
        if (++ticks == 20)
            t.SetEnabled(false);
    };
    timer.SetTempo(833);
    for (int round = 0; round < 3; ++round) {
        ticks = 0;
        timer.SetEnabled(true);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (timer.Enabled() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(timer.Enabled());
        EXPECT_EQ(ticks.load(), 20);
    }
    EXPECT_TRUE(onOtherThread);
    timer.SetEnabled(true); // destroyed while running: stops and joins
}

TEST(PlatformTempoClock, TicksAgainAfterAHandlerStalledFor300ms) {
    TTempoTimer timer;
    std::atomic<int> ticks{0};
    timer.OnTimer = [&](TTempoTimer& t, std::int8_t) {
        const int n = ++ticks;
        if (n == 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (n == 30)
            t.SetEnabled(false);
    };
    timer.SetTempo(833);
    timer.SetEnabled(true);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (timer.Enabled() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(ticks.load(), 30); // the missed periods were made up, so the clock went on
}
