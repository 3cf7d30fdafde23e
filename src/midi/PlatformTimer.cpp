#include "PlatformTimer.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

namespace korv::midi {

namespace {

timespec toTimespec(std::int64_t ns) {
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

std::int64_t monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

} // namespace

struct PlatformTimer::Worker {
    std::thread thread;
    std::atomic<bool> stop{false};
};

PlatformTimer::~PlatformTimer() {
    stop();
    std::unique_lock l(mutex_);
    for (auto& w : retired_) {
        if (w->thread.get_id() == std::this_thread::get_id())
            w->thread.detach(); // destroyed from inside its own callback: it ends by itself
        else if (w->thread.joinable())
            w->thread.join();
    }
}

std::uint32_t PlatformTimer::nowMs() {
    return static_cast<std::uint32_t>(monotonicNs() / 1'000'000);
}

bool PlatformTimer::running() const {
    std::lock_guard l(mutex_);
    return current_ != nullptr;
}

void PlatformTimer::retire(std::unique_lock<std::mutex>& lock) {
    if (current_) {
        current_->stop.store(true, std::memory_order_release);
        retired_.push_back(std::move(current_));
        current_.reset();
        currentId_ = 0;
    }
    // Join what can be joined: not the calling thread itself.
    std::vector<std::shared_ptr<Worker>> joinable;
    for (auto it = retired_.begin(); it != retired_.end();) {
        if ((*it)->thread.get_id() != std::this_thread::get_id()) {
            joinable.push_back(std::move(*it));
            it = retired_.erase(it);
        } else {
            ++it;
        }
    }
    lock.unlock();
    for (auto& w : joinable)
        if (w->thread.joinable())
            w->thread.join();
    lock.lock();
}

void PlatformTimer::stop(unsigned id) {
    std::unique_lock l(mutex_);
    if (id == 0 || id == currentId_)
        retire(l);
}

unsigned PlatformTimer::start(std::chrono::nanoseconds period, std::chrono::nanoseconds slack,
                              Callback callback) {
    std::unique_lock l(mutex_);
    do
        retire(l); // joins without the lock: another start may have come in meanwhile
    while (current_);
    const std::int64_t periodNs = std::max<std::int64_t>(period.count(), 1);
    // 0 would reset the slack to the thread's default instead of asking for the finest.
    const unsigned long slackNs =
        static_cast<unsigned long>(std::max<std::int64_t>(slack.count(), 1));
    auto w = std::make_shared<Worker>();
    // Periods count from now, not from when the thread gets going: a slow start is made up.
    const std::int64_t first = monotonicNs() + periodNs;
    try {
        w->thread = std::thread([w, first, periodNs, slackNs, cb = std::move(callback)] {
            prctl(PR_SET_TIMERSLACK, slackNs, 0, 0, 0);
            // Missed periods are made up for at once: the tempo clock's overrun guard drops
            // them and catches up with the clock only while callbacks come faster than the
            // period, so a timer that skipped them would leave it dropping for good.
            for (std::int64_t deadline = first; !w->stop.load(std::memory_order_acquire);
                 deadline += periodNs) {
                const timespec ts = toTimespec(deadline);
                while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
                }
                if (w->stop.load(std::memory_order_acquire))
                    break;
                cb();
            }
        });
    } catch (const std::system_error&) {
        return 0;
    }
    current_ = std::move(w);
    currentId_ = nextId_++;
    if (nextId_ == 0)
        nextId_ = 1;
    return currentId_;
}

unsigned PlatformTimerSource::startPeriodic(int delayMs, unsigned accuracyMs,
                                            std::function<void()> callback) {
    // Accuracy is the lateness the caller can live with: the thread asks for the kernel's
    // default slack of 50 us, or less if that is asked for.
    const auto slack = std::min<std::chrono::nanoseconds>(std::chrono::microseconds(50),
                                                          std::chrono::milliseconds(accuracyMs));
    return timer_.start(std::chrono::milliseconds(std::max(delayMs, 1)), slack,
                        std::move(callback));
}

void PlatformTimerSource::kill(unsigned id) {
    if (id != 0)
        timer_.stop(id);
}

} // namespace korv::midi
