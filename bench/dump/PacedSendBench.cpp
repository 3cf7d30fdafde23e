// The paced send on the real tempo clock and platform timer: the rate over a whole dump against
// 1.2 x tempo bytes a second, and how late each piece leaves against the 5 ms callback that
// raised its tick. Arguments: runs per speed (default 3), then the speeds (default 200 500).
#include "PacedSender.h"
#include "PlatformTimer.h"
#include "TTempoTimer.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

using namespace korv;

namespace {

std::int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The platform timer, counting its callbacks so that each tick knows the callback it came in.
class CountingSource : public midi::TimerSource {
public:
    std::uint32_t nowMs() override { return platform_.nowMs(); }
    unsigned startPeriodic(int delayMs, unsigned accuracyMs,
                           std::function<void()> callback) override {
        callbacks.store(0);
        startNs = nowNs();
        return platform_.startPeriodic(delayMs, accuracyMs, [this, callback] {
            enteredNs.store(nowNs(), std::memory_order_relaxed);
            callbacks.fetch_add(1, std::memory_order_relaxed);
            callback();
        });
    }
    void kill(unsigned id) override { platform_.kill(id); }

    std::atomic<std::int64_t> callbacks{0};
    std::atomic<std::int64_t> enteredNs{0}; // when the current callback began
    std::int64_t startNs = 0;

private:
    midi::PlatformTimerSource platform_;
};

// The tick schedule of the tempo clock without stalls: for each tick, the callback (1-based)
// that raises it, at 5 ms resolution.
std::vector<std::int64_t> clockSchedule(int tempo, int ticks) {
    const long double period = 2500.0L / tempo;
    std::vector<std::int64_t> at;
    int tick = 0;
    std::int64_t count = 0;
    for (std::int64_t callback = 1; static_cast<int>(at.size()) < ticks; ++callback) {
        if (count * 5 < tick * period) {
            ++count;
            continue;
        }
        ++tick;
        ++count;
        if (tick == 96) {
            tick = 0;
            count = -static_cast<std::int64_t>(period / 5);
        }
        at.push_back(callback);
    }
    return at;
}

struct Run {
    double rate;          // bytes a second between the first and the last tick
    double wholeSecs;     // header to last piece, the pause included
    double p50, p99, max; // lateness of the pieces in microseconds
    double ownP99;        // of it, from the callback's start to the piece: clock and sender
    int dropped;          // ticks that came at another callback than the schedule says
};

double percentile(std::vector<std::int64_t> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * v.size()))] / 1000.0;
}

Run runOnce(int speed) {
    constexpr int Ticks = 1365;
    model::SettingsImage image;
    CountingSource source;
    midi::TTempoTimer timer(&source);
    const std::uint16_t tempo = *dump::TempoForSpeed(speed);
    timer.SetTempo(tempo);

    std::vector<std::int64_t> pieceNs, pieceCallback, pieceEntered;
    pieceNs.reserve(Ticks + 1);
    pieceCallback.reserve(Ticks + 1);
    pieceEntered.reserve(Ticks + 1);
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;
    dump::PacedSender sender(
        image, {[&](const std::uint8_t*, int) {
                    pieceNs.push_back(nowNs());
                    pieceCallback.push_back(source.callbacks.load(std::memory_order_relaxed));
                    pieceEntered.push_back(source.enteredNs.load(std::memory_order_relaxed));
                },
                [&] { timer.SetEnabled(false); }, nullptr,
                [&] {
                    std::lock_guard l(mutex);
                    finished = true;
                    cv.notify_all();
                },
                nullptr});
    timer.OnTimer = [&](midi::TTempoTimer&, std::int8_t) { sender.OnTick(); };

    const std::int64_t headerNs = nowNs();
    sender.StartPaced();
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    timer.SetEnabled(true);
    {
        std::unique_lock l(mutex);
        cv.wait(l, [&] { return finished; });
    }

    // Entry 0 is the header, sent by this thread.
    const std::vector<std::int64_t> schedule = clockSchedule(tempo, Ticks);
    std::vector<std::int64_t> late, own;
    int dropped = 0;
    for (int i = 1; i <= Ticks; ++i) {
        const std::int64_t due = source.startNs + pieceCallback[i] * 5'000'000;
        late.push_back(pieceNs[i] - due);
        own.push_back(pieceNs[i] - pieceEntered[i]);
        if (pieceCallback[i] != schedule[i - 1])
            ++dropped;
    }
    const double secs = (pieceNs[Ticks] - pieceNs[1]) / 1e9;
    return {3.0 * (Ticks - 1) / secs,
            (pieceNs[Ticks] - headerNs) / 1e9,
            percentile(late, 0.50),
            percentile(late, 0.99),
            percentile(late, 1.0),
            percentile(own, 0.99),
            dropped};
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<int> speeds;
    for (int i = 2; i < argc; ++i)
        speeds.push_back(std::atoi(argv[i]));
    if (speeds.empty())
        speeds = {200, 500};

    for (int speed : speeds) {
        const std::uint16_t tempo = *dump::TempoForSpeed(speed);
        const double formula = 1.2 * tempo;
        const std::vector<std::int64_t> schedule = clockSchedule(tempo, 1365);
        const double clockRate = 3.0 * 1364 / ((schedule.back() - schedule.front()) * 0.005);
        std::printf("speed %d (tempo %u): formula %.1f B/s, tempo clock's own schedule %.1f B/s "
                    "(%+.2f %%)\n",
                    speed, tempo, formula, clockRate, 100.0 * (clockRate / formula - 1));
        std::vector<Run> results;
        for (int r = 0; r < runs; ++r) {
            const Run run = runOnce(speed);
            results.push_back(run);
            std::printf("  run %d: %.2f B/s (%+.2f %% of formula, %+.2f %% of schedule), whole "
                        "dump %.2f s, lateness p50 %.0f us p99 %.0f us max %.0f us (p99 %.0f "
                        "us inside the callback), %d ticks off schedule\n",
                        r + 1, run.rate, 100.0 * (run.rate / formula - 1),
                        100.0 * (run.rate / clockRate - 1), run.wholeSecs, run.p50, run.p99,
                        run.max, run.ownP99, run.dropped);
            std::fflush(stdout);
        }
        std::sort(results.begin(), results.end(),
                  [](const Run& a, const Run& b) { return a.rate < b.rate; });
        const Run& median = results[results.size() / 2];
        std::vector<double> p99s;
        for (const Run& r : results)
            p99s.push_back(r.p99);
        std::sort(p99s.begin(), p99s.end());
        std::printf("  median of %d: %.2f B/s (%+.2f %% of formula), p99 lateness %.0f us\n", runs,
                    median.rate, 100.0 * (median.rate / formula - 1), p99s[p99s.size() / 2]);
    }
    return 0;
}
