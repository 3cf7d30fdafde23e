// The built-in character generator tables of the dot-matrix LCD. Every glyph is stored as row
// masks from the top row down; the leftmost dot is the highest bit of the glyph's width.
#pragma once

#include <cstdint>

namespace korv::controls::glyphs {

// 5 x 7, all 256 codes: bar levels, the A00 ROM set and its katakana, Greek and symbol blocks.
extern const std::uint8_t kHitachi[256][7];
// 5 x 10 forms of codes C2..DF for the tall variant of the set above.
extern const std::uint8_t kHitachi2Tall[30][10];
// Printable ASCII (codes 32..126) in three cell sizes.
extern const std::uint8_t kMat5x8[95][8];
extern const std::uint8_t kMat7x9[95][9];
extern const std::uint16_t kMat9x12[95][12];
// 5 x 7, all 256 codes of the PC code page 437 repertoire.
extern const std::uint8_t kDos5x7[256][7];
// What each code of the set above shows, as one Unicode character.
extern const char32_t kDos5x7Unicode[256];

} // namespace korv::controls::glyphs
