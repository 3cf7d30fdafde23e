#include "LcdFont.h"

namespace korv::controls {
namespace {

std::int32_t readInt32(std::span<const std::uint8_t> bytes, std::size_t at) {
    const std::uint32_t value = std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
                                std::uint32_t{bytes[at + 2]} << 16 |
                                std::uint32_t{bytes[at + 3]} << 24;
    return static_cast<std::int32_t>(value);
}

} // namespace

bool LcdFont::isLit(int code, int row, int column) const {
    if (code < firstChar || code > lastChar || row < 0 || row >= rows || column < 0 ||
        column >= columns)
        return false;
    const std::size_t glyphSize = static_cast<std::size_t>(columns) * rows;
    return dots[static_cast<std::size_t>(code - firstChar) * glyphSize +
                static_cast<std::size_t>(row) * columns + column] != 0;
}

std::optional<LcdFont> LcdFontFile::parse(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < kHeaderBytes) {
        error = "The font file is shorter than its 16-byte header.";
        return std::nullopt;
    }
    LcdFont font;
    const std::int32_t columns = readInt32(bytes, 0);
    const std::int32_t rows = readInt32(bytes, 4);
    const std::int32_t first = readInt32(bytes, 8);
    const std::int32_t last = readInt32(bytes, 12);
    if (columns < 1 || rows < 1 || columns > kMaxGlyphSide || rows > kMaxGlyphSide) {
        error = "The font file's glyph size " + std::to_string(columns) + " x " +
                std::to_string(rows) + " is not between 1 x 1 and " +
                std::to_string(kMaxGlyphSide) + " x " + std::to_string(kMaxGlyphSide) + ".";
        return std::nullopt;
    }
    if (first < 0 || last > 255 || first > last) {
        error = "The font file's codes " + std::to_string(first) + " to " + std::to_string(last) +
                " are not an ascending range within 0 to 255.";
        return std::nullopt;
    }
    const std::size_t dotCount = static_cast<std::size_t>(last - first + 1) * columns * rows;
    if (bytes.size() - kHeaderBytes < dotCount) {
        error = "The font file ends before all of its glyphs are read.";
        return std::nullopt;
    }
    font.columns = columns;
    font.rows = rows;
    font.firstChar = first;
    font.lastChar = last;
    font.dots.resize(dotCount);
    for (std::size_t i = 0; i < dotCount; ++i) {
        const std::uint8_t byte = bytes[kHeaderBytes + i];
        if (byte > 1) {
            error = "The font file has a dot byte other than 0 or 1 at offset " +
                    std::to_string(kHeaderBytes + i) + ".";
            return std::nullopt;
        }
        font.dots[i] = byte == 0 ? 1 : 0;
    }
    return font;
}

} // namespace korv::controls
