// A character set read from an LCD font file, and the reader of that file format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korv::controls {

struct LcdFont {
    int columns = 0;
    int rows = 0;
    int firstChar = 0;
    int lastChar = 0;
    // One byte per dot (1 = lit) for the codes firstChar..lastChar, glyph after glyph.
    std::vector<std::uint8_t> dots;

    // Codes outside firstChar..lastChar and dots outside the glyph read as unlit.
    bool isLit(int code, int row, int column) const;
};

// The file holds four little-endian 32-bit signed integers (glyph columns, glyph rows, first code,
// last code), then for each code from first to last its dots, row by row from the top, each row
// from the left, one byte per dot: 0 for a lit dot and 1 for an unlit one. Any other dot byte
// refuses the file: with no magic number, the dots are the only sign that a file is a font.
class LcdFontFile {
public:
    // Bigger glyphs than this are no LCD font; the cap also bounds what a file can make us
    // allocate.
    static constexpr int kMaxGlyphSide = 64;
    static constexpr std::size_t kHeaderBytes = 16;
    // The largest file that can be valid; readers need not look further.
    static constexpr std::size_t kMaxUsefulBytes =
        kHeaderBytes + std::size_t{256} * kMaxGlyphSide * kMaxGlyphSide;

    // Reads a font from the start of `bytes`; bytes after the last glyph are ignored. On failure
    // returns nothing and leaves the reason in `error`.
    static std::optional<LcdFont> parse(std::span<const std::uint8_t> bytes, std::string& error);
};

} // namespace korv::controls
