#include "LcdGeometry.h"

#include <algorithm>
#include <climits>

namespace korv::controls {
namespace {

constexpr std::int64_t kMax = LcdGeometry::kSaturation;

std::int64_t sat(std::int64_t v) {
    return std::min(v, kMax);
}

// Both operands are within 0..kMax, so the sum cannot overflow before saturating.
std::int64_t add(std::int64_t a, std::int64_t b) {
    return sat(a + b);
}

std::int64_t mul(std::int64_t a, std::int64_t b) {
    if (a <= 0 || b <= 0)
        return 0;
    return a > kMax / b ? kMax : sat(a * b);
}

// n cells of `cell` pixels with `gap` pixels between them.
std::int64_t run(std::int64_t n, std::int64_t cell, std::int64_t gap) {
    return add(mul(n, cell), mul(n - 1, gap));
}

int fitCount(std::int64_t extent, int gap, int border, std::int64_t cell) {
    const std::int64_t count = (extent + gap - 2 * std::int64_t{border}) / add(cell, gap);
    return static_cast<int>(std::clamp<std::int64_t>(count, 1, INT_MAX));
}

} // namespace

std::int64_t LcdGeometry::charWidth() const {
    return run(glyphColumns, dotWidth, pixelSpacing);
}

std::int64_t LcdGeometry::charHeight() const {
    return run(glyphRows, dotHeight, pixelSpacing);
}

std::int64_t LcdGeometry::width() const {
    return add(add(mul(2, borderSpace), run(chars, charWidth(), charSpacing)), 2);
}

std::int64_t LcdGeometry::height() const {
    return add(add(mul(2, borderSpace), run(lines, charHeight(), lineSpacing)), 2);
}

std::int64_t LcdGeometry::cellX(int column) const {
    return add(add(borderSpace, 1), mul(column, add(charWidth(), charSpacing)));
}

std::int64_t LcdGeometry::cellY(int line) const {
    return add(add(borderSpace, 1), mul(line, add(charHeight(), lineSpacing)));
}

void LcdGeometry::fitTo(std::int64_t width, std::int64_t height) {
    chars = fitCount(width, charSpacing, borderSpace, charWidth());
    lines = fitCount(height, lineSpacing, borderSpace, charHeight());
}

} // namespace korv::controls
