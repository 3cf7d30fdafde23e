// The periodic timer under the tempo clock: a thread that sleeps to absolute CLOCK_MONOTONIC
// deadlines (relative sleeps drift by several per cent) and calls back once per period.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace korv::midi {

class PlatformTimer {
public:
    using Callback = std::function<void()>;

    PlatformTimer() = default;
    ~PlatformTimer(); // stops and joins every thread it started
    PlatformTimer(const PlatformTimer&) = delete;
    PlatformTimer& operator=(const PlatformTimer&) = delete;

    // Calls `callback` every `period`, first one `period` after now, on a new thread whose
    // timer slack is set to `slack`. A running timer is stopped first. Returns the run's
    // non-zero id, 0 if no thread could be started.
    unsigned start(std::chrono::nanoseconds period, std::chrono::nanoseconds slack,
                   Callback callback);
    // Stops the run `id` (any run when 0); no callback runs after this returns. From inside
    // the callback the current one is the last; its thread is joined later, by the next start
    // or stop or the destructor.
    void stop(unsigned id = 0);
    bool running() const;

    // Milliseconds of CLOCK_MONOTONIC, 32-bit, wrapping.
    static std::uint32_t nowMs();

private:
    struct Worker;
    void retire(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::shared_ptr<Worker> current_;
    unsigned currentId_ = 0;
    unsigned nextId_ = 1;
    std::vector<std::shared_ptr<Worker>> retired_; // stopped, not yet joined
};

// The periodic callback source and millisecond clock the tempo clock runs on; tests put a
// hand-driven one in its place.
class TimerSource {
public:
    virtual ~TimerSource() = default;
    virtual std::uint32_t nowMs() = 0;
    // Calls `callback` every `delayMs` until killed; returns a non-zero id, 0 on failure.
    // `accuracyMs` is the granularity the caller asks for.
    virtual unsigned startPeriodic(int delayMs, unsigned accuracyMs,
                                   std::function<void()> callback) = 0;
    // No callback follows once this returns; may be called from inside the callback.
    virtual void kill(unsigned id) = 0;
};

class PlatformTimerSource : public TimerSource {
public:
    std::uint32_t nowMs() override { return PlatformTimer::nowMs(); }
    unsigned startPeriodic(int delayMs, unsigned accuracyMs,
                           std::function<void()> callback) override;
    void kill(unsigned id) override;

private:
    PlatformTimer timer_;
};

} // namespace korv::midi
