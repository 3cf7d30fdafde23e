#include "TTempoTimer.h"

#include <algorithm>

namespace korv::midi {

TTempoTimer::TTempoTimer(TimerSource* source) {
    if (!source) {
        ownSource_ = std::make_unique<PlatformTimerSource>();
        source = ownSource_.get();
    }
    source_ = source;
    std::lock_guard l(mutex_);
    UpdateReal();
    ResetData();
}

TTempoTimer::~TTempoTimer() {
    UnprepareMMTimer();
}

bool TTempoTimer::Enabled() const {
    std::lock_guard l(mutex_);
    return enabled_;
}

void TTempoTimer::SetEnabled(bool value) {
    {
        std::lock_guard l(mutex_);
        if (value == enabled_)
            return;
        enabled_ = value;
        if (!value)
            ResetData(); // at once, so a callback still running cannot move the position
    }
    if (value) {
        PrepareMMTimer(Resolution());
    } else {
        UnprepareMMTimer();
        std::lock_guard l(mutex_);
        ResetData();
    }
}

int TTempoTimer::Resolution() const {
    std::lock_guard l(mutex_);
    return resolution_;
}

void TTempoTimer::SetResolution(int ms) {
    ms = std::max(ms, 1);
    bool running;
    {
        std::lock_guard l(mutex_);
        if (ms == resolution_)
            return;
        running = enabled_;
    }
    if (running)
        UnprepareMMTimer();
    {
        std::lock_guard l(mutex_);
        resolution_ = ms;
    }
    if (running)
        PrepareMMTimer(ms);
    std::lock_guard l(mutex_);
    UpdateReal();
    UpdateTimerCount();
}

unsigned TTempoTimer::Accuracy() const {
    std::lock_guard l(mutex_);
    return accuracy_;
}

void TTempoTimer::SetAccuracy(unsigned ms) {
    bool running;
    {
        std::lock_guard l(mutex_);
        if (ms == accuracy_)
            return;
        running = enabled_;
    }
    if (running)
        UnprepareMMTimer();
    {
        std::lock_guard l(mutex_);
        accuracy_ = ms;
    }
    if (running)
        PrepareMMTimer(Resolution());
}

std::uint16_t TTempoTimer::Tempo() const {
    std::lock_guard l(mutex_);
    return tempo_;
}

void TTempoTimer::SetTempo(std::uint16_t bpm) {
    bpm = std::max<std::uint16_t>(bpm, 1);
    bool running;
    {
        std::lock_guard l(mutex_);
        if (bpm == tempo_)
            return;
        running = enabled_;
    }
    if (running)
        UnprepareMMTimer();
    {
        std::lock_guard l(mutex_);
        tempo_ = bpm;
    }
    if (running)
        PrepareMMTimer(Resolution());
    std::lock_guard l(mutex_);
    UpdateReal();
    UpdateTimerCount();
}

std::uint16_t TTempoTimer::MaxPending() const {
    std::lock_guard l(mutex_);
    return maxPending_;
}

void TTempoTimer::SetMaxPending(std::uint16_t ticks) {
    std::lock_guard l(mutex_);
    maxPending_ = ticks;
}

std::int8_t TTempoTimer::Tick() const {
    std::lock_guard l(mutex_);
    return tick_;
}

std::int32_t TTempoTimer::TimerCount() const {
    std::lock_guard l(mutex_);
    return timerCount_;
}

long double TTempoTimer::TickPeriod() const {
    std::lock_guard l(mutex_);
    return tickPeriod_;
}

void TTempoTimer::PrepareMMTimer(int delay) {
    unsigned accuracy;
    unsigned generation;
    {
        std::lock_guard l(mutex_);
        accuracy = accuracy_;
        generation = ++generation_;
        lastTime_ = source_->nowMs();
    }
    const unsigned id =
        source_->startPeriodic(delay, accuracy, [this, generation] { TimerCallback(generation); });
    std::lock_guard l(mutex_);
    if (generation == generation_)
        timerId_ = id;
    else
        source_->kill(id); // stopped again while it was being started
}

void TTempoTimer::UnprepareMMTimer() {
    unsigned id;
    {
        std::lock_guard l(mutex_);
        id = timerId_;
        timerId_ = 0;
        ++generation_;
    }
    if (id != 0)
        source_->kill(id);
}

void TTempoTimer::ResetData() {
    tick_ = 0;
    timerCount_ = 0;
}

void TTempoTimer::UpdateReal() {
    tickPeriod_ = 2500.0L / tempo_;
}

void TTempoTimer::UpdateTimerCount() {
    timerCount_ = static_cast<std::int32_t>(tick_ * tickPeriod_ / resolution_);
}

bool TTempoTimer::MaxOverpass() {
    const std::uint32_t now = source_->nowMs();
    const std::uint32_t elapsed = now - lastTime_;
    const bool overrun = elapsed / tickPeriod_ > maxPending_;
    if (overrun)
        lastTime_ += static_cast<std::uint32_t>(resolution_);
    else
        lastTime_ = now;
    return overrun;
}

bool TTempoTimer::MatchesTick() {
    if (static_cast<std::int64_t>(timerCount_) * resolution_ < tick_ * tickPeriod_) {
        ++timerCount_;
        return false;
    }
    ++tick_;
    ++timerCount_;
    if (tick_ == 96) {
        tick_ = 0;
        timerCount_ = -static_cast<std::int32_t>(tickPeriod_ / resolution_);
    }
    return true;
}

void TTempoTimer::TimerCallback(unsigned generation) {
    std::int8_t tick;
    {
        std::lock_guard l(mutex_);
        if (generation != generation_ || !enabled_)
            return;
        if (MaxOverpass())
            return;
        if (!OnTimer)
            return;
        if (!MatchesTick())
            return;
        tick = tick_;
    }
    OnTimer(*this, tick);
}

} // namespace korv::midi
