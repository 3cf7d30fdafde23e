#include "LcdGlyphCache.h"

#include "LcdCharacterGenerator.h"

#include <QPainter>

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
    const bool singlePixel = w == 1 && h == 1;
    // Dots too small for a visible curve are drawn as rectangles; the toolkit's ellipse of a
    // one- or two-pixel box is not reliably filled.
    const bool curved = w > 2 && h > 2 && style_.shape != TPixelShape::spSquare;
    QPainter painter;
    if (!singlePixel)
        painter.begin(&image);
    for (int row = 0; row < generator.rows(); ++row) {
        const long long y = static_cast<long long>(row) * (h + style_.pixelSpacing);
        if (y >= style_.cellHeight)
            break;
        for (int column = 0; column < generator.columns(); ++column) {
            const long long x = static_cast<long long>(column) * (w + style_.pixelSpacing);
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
            painter.setPen(QColor(color));
            painter.setBrush(QColor(color));
            painter.drawEllipse(box.adjusted(0, 0, -1, -1));
        }
    }
    return image;
}

} // namespace korv::controls
