// Pixel geometry of the dot-matrix LCD: cell and control sizes from the dot size, spacings and
// cell counts, cell positions, and the fit of whole cells into a given size.
#pragma once

#include <cstdint>

namespace korv::controls {

struct LcdGeometry {
    // Sizes are 64-bit and stop here, far beyond any real control, so that no combination of
    // property values overflows.
    static constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

    int dotWidth = 2;
    int dotHeight = 2;
    int pixelSpacing = 1;
    int glyphColumns = 5;
    int glyphRows = 7;
    int charSpacing = 2;
    int lineSpacing = 2;
    int borderSpace = 3;
    int chars = 10;
    int lines = 1;

    std::int64_t charWidth() const;
    std::int64_t charHeight() const;
    std::int64_t width() const;
    std::int64_t height() const;
    // Top-left corner of the cell in `line` and `column`, both from 0.
    std::int64_t cellX(int column) const;
    std::int64_t cellY(int line) const;

    // Sets `chars` and `lines` to the most whole cells that fit `width` x `height` (at least 1).
    void fitTo(std::int64_t width, std::int64_t height);
};

} // namespace korv::controls
