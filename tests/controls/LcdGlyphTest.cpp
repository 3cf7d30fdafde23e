// Character generator data: the LCD ROM samples, bar levels, range clamping and the designed fonts.
#include "LcdCharacterGenerator.h"
#include "LcdGlyphs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace korv::controls {
namespace {

std::vector<int> rowsOf(const LcdCharacterGenerator& generator, int code) {
    std::vector<int> rows;
    for (int row = 0; row < generator.rows(); ++row) {
        int mask = 0;
        for (int column = 0; column < generator.columns(); ++column)
            mask = mask << 1 | (generator.isLit(code, row, column) ? 1 : 0);
        rows.push_back(mask);
    }
    return rows;
}

LcdCharacterGenerator generatorFor(TDotMatrix kind) {
    LcdCharacterGenerator generator;
    EXPECT_TRUE(generator.select(kind));
    return generator;
}

struct Sample {
    int code;
    std::vector<int> rows;
};

class HitachiSample : public ::testing::TestWithParam<Sample> {};

TEST_P(HitachiSample, MatchesTheLcdRom) {
    const LcdCharacterGenerator hitachi = generatorFor(TDotMatrix::Hitachi);
    EXPECT_EQ(rowsOf(hitachi, GetParam().code), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, HitachiSample,
    ::testing::Values(Sample{0x41, {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}},
                      Sample{0x5C, {0x11, 0x0A, 0x1F, 0x04, 0x1F, 0x04, 0x04}},
                      Sample{0x7E, {0x00, 0x04, 0x02, 0x1F, 0x02, 0x04, 0x00}},
                      Sample{0x7F, {0x00, 0x04, 0x08, 0x1F, 0x08, 0x04, 0x00}},
                      Sample{0x82, {0x07, 0x04, 0x04, 0x04, 0x00, 0x00, 0x00}},
                      Sample{0xC0, {0x00, 0x00, 0x09, 0x15, 0x12, 0x12, 0x0D}},
                      Sample{0xDF, {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}},
                      Sample{0x0B, {0x00, 0x00, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}},
                      Sample{0xF3, {0x10, 0x18, 0x10, 0x18, 0x10, 0x18, 0x10}},
                      // Bar levels as the LCD's level screen uses them: empty, half a row, full.
                      Sample{0x01, {0, 0, 0, 0, 0, 0, 0}}, Sample{0x02, {0, 0, 0, 0, 0, 0, 0x0A}},
                      Sample{0x0E, {0x0A, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}},
                      Sample{0x0F, {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}},
                      Sample{0xF0, {0, 0, 0, 0, 0, 0, 0}},
                      Sample{0xF1, {0, 0x10, 0, 0x10, 0, 0x10, 0}},
                      Sample{0xFA, {0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F}},
                      // The kanji for yen (A00 FC).
                      Sample{0xDC, {0x00, 0x00, 0x1F, 0x15, 0x1F, 0x11, 0x11}}),
    [](const ::testing::TestParamInfo<Sample>& info) {
        return "Code" + std::to_string(info.param.code);
    });

TEST(LcdGlyphs, HitachiLeavesTheUnusedBlocksUnlit) {
    const LcdCharacterGenerator hitachi = generatorFor(TDotMatrix::Hitachi);
    const std::vector<int> unlit(7, 0);
    for (int code : {0x00, 0x10, 0x1F, 0x80, 0xE0, 0xEF, 0xFB, 0xFF})
        EXPECT_EQ(rowsOf(hitachi, code), unlit) << code;
}

TEST(LcdGlyphs, Hitachi2DrawsTallFormsAndClampsToItsRange) {
    const LcdCharacterGenerator tall = generatorFor(TDotMatrix::Hitachi2);
    EXPECT_EQ(tall.rows(), 10);
    EXPECT_EQ(rowsOf(tall, 0xC7),
              (std::vector<int>{0x00, 0x00, 0x0F, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x01, 0x0E}));
    EXPECT_EQ(rowsOf(tall, 0x41),
              (std::vector<int>{0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0, 0, 0}));
    EXPECT_EQ(tall.clamp(1), 32);
    EXPECT_EQ(tall.clamp(31), 32);
    EXPECT_EQ(tall.clamp(224), 223);
    EXPECT_EQ(rowsOf(tall, tall.clamp(255)), std::vector<int>(10, 0x1F));
}

TEST(LcdGlyphs, Mat5x7IsTheRomSetWithBackslashAndTilde) {
    const LcdCharacterGenerator ascii = generatorFor(TDotMatrix::mat5x7);
    const LcdCharacterGenerator hitachi = generatorFor(TDotMatrix::Hitachi);
    for (int code = 32; code <= 126; ++code)
        if (code != 0x5C && code != 0x7E) {
            EXPECT_EQ(rowsOf(ascii, code), rowsOf(hitachi, code)) << code;
        }
    EXPECT_EQ(rowsOf(ascii, 0x5C), (std::vector<int>{0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00}));
    EXPECT_EQ(rowsOf(ascii, 0x7E), (std::vector<int>{0x00, 0x00, 0x08, 0x15, 0x02, 0x00, 0x00}));
    EXPECT_EQ(ascii.clamp(0), 32);
    EXPECT_EQ(ascii.clamp(200), 126);
}

struct FontShape {
    TDotMatrix kind;
    int columns, rows, first, last;
};

class DesignedFont : public ::testing::TestWithParam<FontShape> {};

// A glyph copied twice or a row wider than its cell is the typical slip in hand-made tables.
TEST_P(DesignedFont, HasDistinctGlyphsThatFitTheCell) {
    const FontShape shape = GetParam();
    const LcdCharacterGenerator font = generatorFor(shape.kind);
    EXPECT_EQ(font.columns(), shape.columns);
    EXPECT_EQ(font.rows(), shape.rows);
    EXPECT_EQ(font.firstChar(), shape.first);
    EXPECT_EQ(font.lastChar(), shape.last);
    std::set<std::vector<int>> seen;
    for (int code = shape.first; code <= shape.last; ++code) {
        const std::vector<int> rows = rowsOf(font, code);
        const bool blank = rows == std::vector<int>(shape.rows, 0);
        // Space, and in code page 437 the NUL and no-break space, are the only blanks.
        EXPECT_EQ(blank, code == 0x20 || code == 0x00 || code == 0xFF) << code;
        // Box-drawing lines of code page 437 coincide with '|', '-' and '='.
        const bool sharesAsciiShape =
            shape.kind == TDotMatrix::dos5x7 && (code == 0xB3 || code == 0xC4 || code == 0xCD);
        if (!blank && !sharesAsciiShape) {
            EXPECT_TRUE(seen.insert(rows).second) << "duplicate glyph at " << code;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, DesignedFont,
                         ::testing::Values(FontShape{TDotMatrix::mat5x8, 5, 8, 32, 126},
                                           FontShape{TDotMatrix::mat7x9, 7, 9, 32, 126},
                                           FontShape{TDotMatrix::mat9x12, 9, 12, 32, 126},
                                           FontShape{TDotMatrix::dos5x7, 5, 7, 0, 255}),
                         [](const ::testing::TestParamInfo<FontShape>& info) {
                             return "Cells" + std::to_string(info.param.columns) + "x" +
                                    std::to_string(info.param.rows) +
                                    (info.param.last == 255 ? "Dos" : "Ascii");
                         });

TEST(LcdGlyphs, DesignedRowsUseNoBitsBeyondTheCell) {
    for (const auto& glyph : glyphs::kMat7x9)
        for (auto row : glyph)
            EXPECT_LT(row, 1 << 7);
    for (const auto& glyph : glyphs::kMat9x12)
        for (auto row : glyph)
            EXPECT_LT(row, 1 << 9);
    for (const auto& glyph : glyphs::kMat5x8)
        for (auto row : glyph)
            EXPECT_LT(row, 1 << 5);
    for (const auto& glyph : glyphs::kDos5x7)
        for (auto row : glyph)
            EXPECT_LT(row, 1 << 5);
}

TEST(LcdGlyphs, Dos5x7SharesPrintableAsciiWithMat5x7) {
    const LcdCharacterGenerator dos = generatorFor(TDotMatrix::dos5x7);
    const LcdCharacterGenerator ascii = generatorFor(TDotMatrix::mat5x7);
    for (int code = 32; code <= 126; ++code)
        EXPECT_EQ(rowsOf(dos, code), rowsOf(ascii, code)) << code;
}

// The faces of code page 437: two eyes each, open in the outlined face, dark in the solid one.
TEST(LcdGlyphs, Dos5x7FacesHaveTwoEyes) {
    const LcdCharacterGenerator dos = generatorFor(TDotMatrix::dos5x7);
    EXPECT_EQ(rowsOf(dos, 0x01), (std::vector<int>{0x0E, 0x11, 0x1B, 0x11, 0x1B, 0x15, 0x0E}));
    EXPECT_EQ(rowsOf(dos, 0x02), (std::vector<int>{0x0E, 0x1F, 0x15, 0x1F, 0x15, 0x1B, 0x0E}));
}

TEST(LcdGlyphs, Mat5x8HasDescendersBelowTheBaseline) {
    const LcdCharacterGenerator font = generatorFor(TDotMatrix::mat5x8);
    for (int code : {'g', 'j', 'p', 'q', 'y'})
        EXPECT_NE(rowsOf(font, code)[7], 0) << char(code);
    for (int code : {'A', 'a', 'x', '0'})
        EXPECT_EQ(rowsOf(font, code)[7], 0) << char(code);
}

TEST(LcdGlyphs, ReadableTextNamesWhatTheGlyphsShow) {
    const LcdCharacterGenerator hitachi = generatorFor(TDotMatrix::Hitachi);
    EXPECT_EQ(hitachi.readableText("Yen\x5C\x7E\x91\x03\x0F"
                                   "A\0B"),
              U"Yen\u00A5\u2192\uFF71  A");
    const LcdCharacterGenerator dos = generatorFor(TDotMatrix::dos5x7);
    EXPECT_EQ(dos.readableText("\x01\x5C\xE1\xC9"), U"\u263A\\\u00DF\u2554");
    const LcdCharacterGenerator ascii = generatorFor(TDotMatrix::mat5x7);
    EXPECT_EQ(ascii.readableText("a\x05~"), U"a ~");
}

TEST(LcdGlyphs, CustomFontNeedsALoadedFont) {
    LcdCharacterGenerator generator;
    EXPECT_FALSE(generator.select(TDotMatrix::CustomFont));
    EXPECT_EQ(generator.kind(), TDotMatrix::mat5x7);
}

} // namespace
} // namespace korv::controls
