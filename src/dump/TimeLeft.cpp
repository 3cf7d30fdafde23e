#include "TimeLeft.h"

namespace korv::dump {

QString TimeLeftText(std::int64_t seconds) {
    if (seconds < 0)
        seconds = 0;
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 % 60;
    const std::int64_t secs = seconds % 60;
    const QString tail = QStringLiteral("%1 left").arg(secs, 2, 10, QLatin1Char('0'));
    if (hours > 0)
        return QStringLiteral("%1:%2:").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')) + tail;
    return QStringLiteral("%1:").arg(minutes) + tail;
}

void TimeLeft::Start(int total) {
    total_ = total;
    started_ = false;
}

void TimeLeft::Sample(std::int64_t ms, int done) {
    if (!started_) {
        started_ = true;
        startMs_ = ms;
        startDone_ = done;
    }
    lastMs_ = ms;
    lastDone_ = done;
}

std::optional<std::int64_t> TimeLeft::Seconds() const {
    const std::int64_t elapsed = lastMs_ - startMs_;
    const std::int64_t moved = lastDone_ - startDone_;
    if (!started_ || elapsed <= 0 || moved <= 0)
        return std::nullopt;
    // left / (moved / elapsed) milliseconds, rounded up to whole seconds.
    const std::int64_t left = total_ - lastDone_;
    if (left <= 0)
        return 0;
    return (left * elapsed + moved * 1000 - 1) / (moved * 1000);
}

QString TimeLeft::Text() const {
    const auto seconds = Seconds();
    return seconds ? TimeLeftText(*seconds) : QString();
}

} // namespace korv::dump
