// Drawn cells of the dot-matrix LCD, one image per code, so a repaint copies cells instead of
// drawing every dot; the images start over when anything that shapes or colours a dot changes.
#pragma once

#include "LcdTypes.h"

#include <QImage>
#include <QRgb>

#include <array>
#include <utility>
#include <vector>

namespace korv::controls {

class LcdCharacterGenerator;

struct LcdGlyphStyle {
    int cellWidth = 0;
    int cellHeight = 0;
    int dotWidth = 0;
    int dotHeight = 0;
    int pixelSpacing = 0;
    TPixelShape shape = TPixelShape::spSquare;
    QRgb background = 0;
    QRgb on = 0;
    QRgb off = 0;
    QRgb shade = 0;
    unsigned generatorRevision = 0;

    bool operator==(const LcdGlyphStyle&) const = default;
};

class LcdGlyphCache {
public:
    void setStyle(const LcdGlyphStyle& style);
    // The cell of `code`, drawn on first use; `code` must lie within the generator's range.
    const QImage& glyph(const LcdCharacterGenerator& generator, int code);

    // Row by row, the [from, to) columns of a round dot of w x h pixels.
    using DotSpans = std::vector<std::pair<int, int>>;
    static DotSpans EllipseSpans(int w, int h);

private:
    QImage draw(const LcdCharacterGenerator& generator, int code) const;

    LcdGlyphStyle style_;
    std::array<QImage, 256> images_;
};

} // namespace korv::controls
