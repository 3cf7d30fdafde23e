#include "KnobScale.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korv::controls {

namespace {

// Rounds to the nearest integer, halves to the even neighbour (the default rounding mode). The
// clamp keeps the conversion defined; callers limit the result to their own range.
long long RoundEven(double value) {
    constexpr double bound = 0x1p62;
    return static_cast<long long>(std::clamp(std::nearbyint(value), -bound, bound));
}

} // namespace

KnobScale::KnobScale() {
    UpdateScale();
    UpdateAngle();
}

void KnobScale::SetParams(int position, int min, int max) {
    if (min != min_ || max != max_) {
        min_ = min;
        max_ = max;
        UpdateScale();
    }
    position_ = Limit(position);
    UpdateAngle();
}

void KnobScale::UpdateScale() {
    // In 64 bits: the span of a full int range does not fit in an int.
    const long long span = static_cast<long long>(max_) - min_;
    degreesPerUnit_ = span == 0 ? 0.0f : static_cast<float>(300.0 / static_cast<double>(span));
}

void KnobScale::UpdateAngle() {
    const double offset = static_cast<double>(static_cast<long long>(position_) - min_);
    positionAngle_ = static_cast<int>(MinAngle - RoundEven(offset * degreesPerUnit_));
}

int KnobScale::Limit(long long value) const {
    // A reversed range (Min above Max) is limited to its nearer end as well; sending a value
    // beyond Min to Max would make the knob jump across its whole range.
    const long long lo = std::min(min_, max_);
    const long long hi = std::max(min_, max_);
    return static_cast<int>(std::clamp(value, lo, hi));
}

int KnobScale::ValueFromAngle(int angle) const {
    if (degreesPerUnit_ == 0.0f)
        return min_;
    const double units = static_cast<double>(MinAngle - angle) / degreesPerUnit_;
    // Single precision can overshoot the end of very wide ranges by a few units.
    return Limit(RoundEven(units) + min_);
}

int KnobScale::MouseAngle(int x, int y, int width, int height) {
    const int cx = width / 2;
    const int cy = height / 2;
    if (x == cx)
        return y > cy ? MinAngle : 90;
    const double radians = std::atan(static_cast<double>(cy - y) / static_cast<double>(x - cx));
    int angle = static_cast<int>(RoundEven(radians * 180.0 / std::numbers::pi));
    if (x < cx)
        angle = (angle + 540) % 360;
    if (angle > MinAngle && angle <= 270)
        angle = MinAngle;
    else if (angle < MaxAngle)
        angle = MaxAngle;
    return angle;
}

bool KnobScale::InsideEllipse(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    const double rx = width / 2.0;
    const double ry = height / 2.0;
    const double dx = (x + 0.5 - rx) / rx;
    const double dy = (y + 0.5 - ry) / ry;
    return dx * dx + dy * dy <= 1.0;
}

KnobScale::Line KnobScale::Pointer(int angle, int radius) {
    const float t = static_cast<float>(angle * std::numbers::pi / 180.0);
    const double c = std::cos(static_cast<double>(t));
    const double s = std::sin(static_cast<double>(t));
    const auto at = [&](int length) {
        length = std::max(length, 0);
        return Point{static_cast<int>(RoundEven(length * c) + radius),
                     static_cast<int>(radius - RoundEven(length * s))};
    };
    return Line{at(radius - 11), at(radius - 5)};
}

int KnobScale::SquareSide(int knobSize, int width, int height) {
    if (width > knobSize || height > knobSize)
        return std::max(width, height);
    if (width < knobSize || height < knobSize)
        return std::min(width, height);
    return knobSize;
}

} // namespace korv::controls
