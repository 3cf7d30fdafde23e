// The time a transfer has left at the rate measured so far, for the File page's progress
// display ("0:14 left"). Fed with the clock and the bytes done; knows nothing of threads.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace korv::dump {

// "0:14 left", "12:05 left", "1:02:03 left"; seconds below 0 count as 0.
QString TimeLeftText(std::int64_t seconds);

class TimeLeft {
public:
    // A transfer of `total` bytes starts: the first sample sets the start of the measurement.
    void Start(int total);
    // `done` bytes of the transfer have gone at `ms` (any monotonic millisecond clock).
    void Sample(std::int64_t ms, int done);
    // Whole seconds left, rounded up; nothing until bytes have moved after the first sample.
    std::optional<std::int64_t> Seconds() const;
    // TimeLeftText of Seconds(), or an empty text while it is not known.
    QString Text() const;

private:
    int total_ = 0;
    bool started_ = false;
    std::int64_t startMs_ = 0;
    int startDone_ = 0;
    std::int64_t lastMs_ = 0;
    int lastDone_ = 0;
};

} // namespace korv::dump
