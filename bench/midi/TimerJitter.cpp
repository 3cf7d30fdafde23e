// Lateness of PlatformTimer callbacks against their ideal times, 5 ms period, 10 s by default
// (first argument: seconds). Prints p50, p99 and the maximum.
#include "PlatformTimer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace korv::midi;

namespace {
std::int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}
} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    constexpr std::int64_t period = 5'000'000;
    const std::size_t expected = static_cast<std::size_t>(seconds) * 200;
    std::vector<std::int64_t> late(expected + 16);
    std::atomic<std::size_t> n{0};

    PlatformTimer timer;
    const std::int64_t start = nowNs();
    timer.start(std::chrono::nanoseconds(period), std::chrono::microseconds(50), [&] {
        const std::size_t i = n.load(std::memory_order_relaxed);
        if (i < late.size())
            late[i] = nowNs() - (start + static_cast<std::int64_t>(i + 1) * period);
        n.store(i + 1, std::memory_order_release);
    });
    while (n.load(std::memory_order_acquire) < expected) {
        timespec ts{0, 50'000'000};
        nanosleep(&ts, nullptr);
    }
    timer.stop();
    late.resize(expected);
    std::sort(late.begin(), late.end());
    auto pct = [&](double p) {
        return late[std::min(late.size() - 1, static_cast<std::size_t>(p * late.size()))] / 1000.0;
    };
    std::printf("PlatformTimer 5 ms, %zu callbacks over %d s: lateness p50 %.1f us, p99 %.1f us, "
                "max %.1f us\n",
                late.size(), seconds, pct(0.50), pct(0.99), late.back() / 1000.0);
    return 0;
}
