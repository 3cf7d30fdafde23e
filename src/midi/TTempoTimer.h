// The tempo clock: raises OnTimer once per tick, 24 ticks to the beat at `Tempo` beats per
// minute, numbering the ticks within a bar of 96. Paces the slow sending of a dump.
#pragma once

#include "PlatformTimer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace korv::midi {

class TTempoTimer {
public:
    // Runs on the timer thread; may set Enabled false (or change properties) itself.
    using TimerEvent = std::function<void(TTempoTimer& sender, std::int8_t tick)>;

    // `source` is the callback source and clock; nullptr uses the platform timer. It must
    // outlive the component.
    explicit TTempoTimer(TimerSource* source = nullptr);
    ~TTempoTimer();
    TTempoTimer(const TTempoTimer&) = delete;
    TTempoTimer& operator=(const TTempoTimer&) = delete;

    bool Enabled() const;
    void SetEnabled(bool value);
    // Assign while the clock is stopped.
    TimerEvent OnTimer;
    int Resolution() const;
    void SetResolution(int ms); // values below 1 are taken as 1
    unsigned Accuracy() const;
    void SetAccuracy(unsigned ms);
    std::uint16_t Tempo() const;
    void SetTempo(std::uint16_t bpm); // 0 is taken as 1
    std::uint16_t MaxPending() const;
    void SetMaxPending(std::uint16_t ticks);

    // The bar position and the count of callbacks, as the clock keeps them.
    std::int8_t Tick() const;
    std::int32_t TimerCount() const;
    long double TickPeriod() const;

private:
    void PrepareMMTimer(int delay);
    void UnprepareMMTimer();
    void ResetData();
    void UpdateReal();
    void UpdateTimerCount();
    bool MaxOverpass();
    bool MatchesTick();
    void TimerCallback(unsigned generation);

    std::unique_ptr<PlatformTimerSource> ownSource_;
    TimerSource* source_;
    // Guards every field below: the property writers and the timer thread both change them.
    // Never held while OnTimer runs or while the platform timer is stopped.
    mutable std::mutex mutex_;
    bool enabled_ = false;
    int resolution_ = 5;
    unsigned accuracy_ = 5;
    std::uint16_t tempo_ = 120;
    std::uint16_t maxPending_ = 2;
    unsigned timerId_ = 0;
    unsigned generation_ = 0; // callbacks of an earlier run are ignored
    long double tickPeriod_ = 0;
    std::uint32_t lastTime_ = 0;
    std::int8_t tick_ = 0;
    std::int32_t timerCount_ = 0;
};

} // namespace korv::midi
