// Every glyph that comes from the LCD controller's character ROM, against the ROM's own table
// (tests/controls/reference): the 5 x 7 set with its blocks moved into place, the 5 x 10 forms
// and the ASCII set made from the ROM.
#include "LcdCharacterGenerator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace korv::controls {
namespace {

using Rows = std::vector<int>;

// "0x41: 0E 11 11 11 1F 11 11" lines; '#' lines are comments.
std::map<int, Rows> readRom(const std::string& name) {
    std::ifstream file(std::string(KORV_LCD_REFERENCE_DIR) + "/" + name);
    EXPECT_TRUE(file.good()) << name;
    std::map<int, Rows> rom;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string code;
        in >> code;
        Rows rows;
        std::string mask;
        while (in >> mask)
            rows.push_back(std::stoi(mask, nullptr, 16));
        rom[std::stoi(code, nullptr, 16)] = rows;
    }
    return rom;
}

Rows rowsOf(const LcdCharacterGenerator& generator, int code) {
    Rows rows;
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

TEST(LcdRom, TheLcdSetHoldsEveryRomGlyphWhereItBelongs) {
    const auto rom = readRom("rom_a00_5x7.txt");
    ASSERT_EQ(rom.size(), 224u);
    const LcdCharacterGenerator hitachi = generatorFor(TDotMatrix::Hitachi);
    for (int code = 0x20; code <= 0x7F; ++code)
        EXPECT_EQ(rowsOf(hitachi, code), rom.at(code)) << "code " << std::hex << code;
    // The ROM's 0xA0-0xFF (katakana, then Greek letters and symbols) sit 0x20 lower.
    for (int romCode = 0xA0; romCode <= 0xFF; ++romCode)
        EXPECT_EQ(rowsOf(hitachi, romCode - 0x20), rom.at(romCode))
            << "code " << std::hex << romCode - 0x20;
}

TEST(LcdRom, TheTallSetHoldsTheRomsTenRowFormsAndTheLcdSetAboveThem) {
    const auto tallRom = readRom("rom_a00_5x10.txt");
    ASSERT_EQ(tallRom.size(), 30u);
    const LcdCharacterGenerator tall = generatorFor(TDotMatrix::Hitachi2);
    for (int romCode = 0xE2; romCode <= 0xFF; ++romCode)
        EXPECT_EQ(rowsOf(tall, romCode - 0x20), tallRom.at(romCode))
            << "code " << std::hex << romCode - 0x20;

    const auto rom = readRom("rom_a00_5x7.txt");
    for (int code = 0x20; code < 0xC2; ++code) {
        const int romCode = code < 0x80 ? code : code + 0x20;
        Rows expected = rom.at(romCode);
        expected.insert(expected.end(), {0, 0, 0});
        EXPECT_EQ(rowsOf(tall, code), expected) << "code " << std::hex << code;
    }
}

TEST(LcdRom, TheAsciiSetIsTheRomWithBackslashAndTilde) {
    const auto rom = readRom("rom_a00_5x7.txt");
    const LcdCharacterGenerator ascii = generatorFor(TDotMatrix::mat5x7);
    for (int code = 0x20; code <= 0x7E; ++code) {
        if (code == 0x5C || code == 0x7E)
            continue;
        EXPECT_EQ(rowsOf(ascii, code), rom.at(code)) << "code " << std::hex << code;
    }
    EXPECT_NE(rowsOf(ascii, 0x5C), rom.at(0x5C)) << "a backslash, not the yen sign";
    EXPECT_NE(rowsOf(ascii, 0x7E), rom.at(0x7E)) << "a tilde, not the arrow";
}

// The glyphs that do not come from the ROM are compared with their drawings in the reference
// folder: the bar levels and blanks of the LCD set, and our own fonts.
TEST(LcdDesigns, EveryGlyphIsAsDrawnInItsReferenceFile) {
    const struct {
        TDotMatrix kind;
        const char* file;
        std::size_t glyphs;
    } designs[] = {{TDotMatrix::Hitachi, "lcd_bars.txt", 64},
                   {TDotMatrix::mat5x8, "designed_mat5x8.txt", 95},
                   {TDotMatrix::mat7x9, "designed_mat7x9.txt", 95},
                   {TDotMatrix::mat9x12, "designed_mat9x12.txt", 95},
                   {TDotMatrix::dos5x7, "designed_dos5x7.txt", 256}};
    for (const auto& design : designs) {
        const auto drawn = readRom(design.file);
        ASSERT_EQ(drawn.size(), design.glyphs) << design.file;
        const LcdCharacterGenerator generator = generatorFor(design.kind);
        for (const auto& [code, rows] : drawn)
            EXPECT_EQ(rowsOf(generator, code), rows) << design.file << " code " << std::hex << code;
    }
}

} // namespace
} // namespace korv::controls
