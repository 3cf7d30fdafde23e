#include "LcdGlyphCache.h"

#include "LcdCharacterGenerator.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace korv::controls {

void LcdGlyphCache::setStyle(const LcdGlyphStyle& style) {
    if (style == style_)
        return;
    style_ = style;
    images_.fill(QImage());
}

const QImage& LcdGlyphCache::glyph(const LcdCharacterGenerator& generator, int code) {
    QImage& image = images_[static_cast<std::size_t>(code & 0xFF)];
    if (image.isNull())
        image = draw(generator, code);
    return image;
}

QImage LcdGlyphCache::draw(const LcdCharacterGenerator& generator, int code) const {
    QImage image(style_.cellWidth, style_.cellHeight, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(style_.background);
    const int w = style_.dotWidth;
    const int h = style_.dotHeight;
    // 64-bit: dot size plus spacing may pass the range of int for absurd property values.
    const long long pitchX = static_cast<long long>(w) + style_.pixelSpacing;
    const long long pitchY = static_cast<long long>(h) + style_.pixelSpacing;
    const bool singlePixel = w == 1 && h == 1;
    const bool curved = style_.shape != TPixelShape::spSquare;
    const DotSpans spans = curved && !singlePixel ? EllipseSpans(w, h) : DotSpans{};
    QPainter painter;
    if (!singlePixel)
        painter.begin(&image);
    for (int row = 0; row < generator.rows(); ++row) {
        const long long y = row * pitchY;
        if (y >= style_.cellHeight)
            break;
        for (int column = 0; column < generator.columns(); ++column) {
            const long long x = column * pitchX;
            if (x >= style_.cellWidth)
                break;
            const bool lit = generator.isLit(code, row, column);
            const QRgb color = lit ? style_.on : style_.off;
            if (singlePixel) {
                image.setPixel(static_cast<int>(x), static_cast<int>(y), color);
                continue;
            }
            const QRect box(static_cast<int>(x), static_cast<int>(y), w, h);
            if (!curved) {
                painter.fillRect(box, QColor(color));
                continue;
            }
            if (style_.shape == TPixelShape::spShaped) {
                painter.fillRect(box, QColor(lit ? style_.shade : style_.off));
                if (!lit)
                    continue;
            }
            for (int line = 0; line < static_cast<int>(spans.size()); ++line) {
                const auto [from, to] = spans[static_cast<std::size_t>(line)];
                if (to > from)
                    painter.fillRect(box.x() + from, box.y() + line, to - from, 1, QColor(color));
            }
        }
    }
    return image;
}

// The pixels whose centres lie inside the ellipse inscribed in a w x h box, row by row as
// [from, to) columns. Drawn this way a 4 x 4 dot already loses its corners, where the toolkit's
// ellipse of so small a box comes out square; it also needs no antialiasing.
LcdGlyphCache::DotSpans LcdGlyphCache::EllipseSpans(int w, int h) {
    DotSpans spans;
    // Rows past the cell are never drawn; a cell is far smaller than this.
    const int rows = std::min(h, 4096);
    spans.reserve(static_cast<std::size_t>(rows));
    const double a = w / 2.0;
    const double b = h / 2.0;
    for (int line = 0; line < rows; ++line) {
        const double dy = (line + 0.5 - b) / b;
        const double rest = 1.0 - dy * dy;
        if (rest < 0) {
            spans.push_back({0, 0});
            continue;
        }
        // Columns x with |x + 0.5 - a| <= a * sqrt(rest).
        const double half = a * std::sqrt(rest);
        const int from = std::max(0, static_cast<int>(std::ceil(a - half - 0.5)));
        const int to = std::min(w, static_cast<int>(std::floor(a + half - 0.5)) + 1);
        spans.push_back({from, std::max(from, to)});
    }
    return spans;
}

} // namespace korv::controls
