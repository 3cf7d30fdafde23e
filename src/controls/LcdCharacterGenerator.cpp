#include "LcdCharacterGenerator.h"

#include "LcdGlyphs.h"

#include <algorithm>

namespace korv::controls {
namespace {

// The ASCII sets draw these two codes where the LCD ROM has a yen sign and an arrow.
constexpr std::uint8_t kBackslash[7] = {0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00};
constexpr std::uint8_t kTilde[7] = {0x00, 0x00, 0x08, 0x15, 0x02, 0x00, 0x00};

constexpr int kTallFirst = 0xC2;
constexpr int kTallLast = 0xDF;

bool maskBit(unsigned mask, int width, int column) {
    return column >= 0 && column < width && ((mask >> (width - 1 - column)) & 1U) != 0;
}

const std::uint8_t* mat5x7Rows(int code) {
    if (code == 0x5C)
        return kBackslash;
    if (code == 0x7E)
        return kTilde;
    return glyphs::kHitachi[code];
}

// The LCD set at C0..DF: A00 E0..FF.
constexpr const char32_t* kHitachiSymbols[32] = {
    U"\u03B1",  U"\u00E4", U"\u03B2", U"\u03B5",       U"\u03BC", U"\u03C3",
    U"\u03C1",  U"g",      U"\u221A", U"\u207B\u00B9", U"j",      U"\u02E3",
    U"\u00A2",  U"\u00A3", U"\u00F1", U"\u00F6",       U"p",      U"q",
    U"\u03B8",  U"\u221E", U"\u03A9", U"\u00FC",       U"\u03A3", U"\u03C0",
    U"x\u0304", U"y",      U"\u5343", U"\u4E07",       U"\u5186", U"\u00F7",
    U" ",       U"\u2588"};

void appendHitachi(std::u32string& out, int code) {
    if (code == 0x5C)
        out += U'\u00A5';
    else if (code == 0x7E)
        out += U'\u2192';
    else if (code == 0x7F)
        out += U'\u2190';
    else if (code >= 0x20 && code < 0x7E)
        out += static_cast<char32_t>(code);
    else if (code >= 0x81 && code <= 0xBF)
        out += static_cast<char32_t>(0xFF61 + code - 0x81); // half-width katakana, same order
    else if (code >= 0xC0 && code <= 0xDF)
        out += kHitachiSymbols[code - 0xC0];
    else
        out += U' ';
}

} // namespace

bool LcdCharacterGenerator::select(TDotMatrix kind) {
    if (kind == TDotMatrix::CustomFont && !hasCustomFont())
        return false;
    kind_ = kind;
    ++revision_;
    return true;
}

void LcdCharacterGenerator::setCustomFont(LcdFont font) {
    custom_ = std::move(font);
    kind_ = TDotMatrix::CustomFont;
    ++revision_;
}

int LcdCharacterGenerator::columns() const {
    switch (kind_) {
    case TDotMatrix::mat7x9:
        return 7;
    case TDotMatrix::mat9x12:
        return 9;
    case TDotMatrix::CustomFont:
        return custom_.columns;
    default:
        return 5;
    }
}

int LcdCharacterGenerator::rows() const {
    switch (kind_) {
    case TDotMatrix::mat5x8:
        return 8;
    case TDotMatrix::mat7x9:
        return 9;
    case TDotMatrix::mat9x12:
        return 12;
    case TDotMatrix::Hitachi2:
        return 10;
    case TDotMatrix::CustomFont:
        return custom_.rows;
    default:
        return 7;
    }
}

int LcdCharacterGenerator::firstChar() const {
    switch (kind_) {
    case TDotMatrix::Hitachi:
    case TDotMatrix::dos5x7:
        return 0;
    case TDotMatrix::CustomFont:
        return custom_.firstChar;
    default:
        return 32;
    }
}

int LcdCharacterGenerator::lastChar() const {
    switch (kind_) {
    case TDotMatrix::Hitachi:
    case TDotMatrix::dos5x7:
        return 255;
    case TDotMatrix::Hitachi2:
        return 223;
    case TDotMatrix::CustomFont:
        return custom_.lastChar;
    default:
        return 126;
    }
}

int LcdCharacterGenerator::clamp(int code) const {
    return std::clamp(code, firstChar(), lastChar());
}

bool LcdCharacterGenerator::isLit(int code, int row, int column) const {
    if (row < 0 || row >= rows() || code != clamp(code))
        return false;
    switch (kind_) {
    case TDotMatrix::mat5x7:
        return maskBit(mat5x7Rows(code)[row], 5, column);
    case TDotMatrix::mat5x8:
        return maskBit(glyphs::kMat5x8[code - 32][row], 5, column);
    case TDotMatrix::mat7x9:
        return maskBit(glyphs::kMat7x9[code - 32][row], 7, column);
    case TDotMatrix::mat9x12:
        return maskBit(glyphs::kMat9x12[code - 32][row], 9, column);
    case TDotMatrix::Hitachi:
        return maskBit(glyphs::kHitachi[code][row], 5, column);
    case TDotMatrix::Hitachi2:
        if (code >= kTallFirst && code <= kTallLast)
            return maskBit(glyphs::kHitachi2Tall[code - kTallFirst][row], 5, column);
        return row < 7 && maskBit(glyphs::kHitachi[code][row], 5, column);
    case TDotMatrix::dos5x7:
        return maskBit(glyphs::kDos5x7[code][row], 5, column);
    case TDotMatrix::CustomFont:
        return custom_.isLit(code, row, column);
    }
    return false;
}

std::u32string LcdCharacterGenerator::readableText(std::string_view codes) const {
    std::u32string out;
    for (const char byte : codes) {
        if (byte == '\0')
            break;
        const int code = clamp(static_cast<unsigned char>(byte));
        switch (kind_) {
        case TDotMatrix::Hitachi:
        case TDotMatrix::Hitachi2:
            appendHitachi(out, code);
            break;
        case TDotMatrix::dos5x7:
            out += glyphs::kDos5x7Unicode[code];
            break;
        default:
            out += code >= 0x20 && code < 0x7F ? static_cast<char32_t>(code) : U' ';
            break;
        }
    }
    return out;
}

} // namespace korv::controls
