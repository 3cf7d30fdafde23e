// Glyph lookup of the dot-matrix LCD: glyph size, the range of codes a set draws and which dots
// of a glyph are lit, for the built-in sets and a loaded font. Free of the toolkit.
#pragma once

#include "LcdFont.h"
#include "LcdTypes.h"

#include <string>
#include <string_view>

namespace korv::controls {

class LcdCharacterGenerator {
public:
    // Selects a built-in set, or the loaded font for CustomFont; CustomFont without a loaded font
    // is refused and keeps the current set.
    bool select(TDotMatrix kind);
    // Installs `font` and selects it.
    void setCustomFont(LcdFont font);
    bool hasCustomFont() const { return custom_.columns > 0; }

    TDotMatrix kind() const { return kind_; }
    int columns() const;
    int rows() const;
    int firstChar() const;
    int lastChar() const;
    // Raised to firstChar or lowered to lastChar.
    int clamp(int code) const;
    // For a code within firstChar..lastChar.
    bool isLit(int code, int row, int column) const;
    // Changes with every selection or font, so caches of drawn glyphs know when to start over.
    unsigned revision() const { return revision_; }

    // What the codes show, as readable text (for screen readers): bars and unlit cells as blanks.
    std::u32string readableText(std::string_view codes) const;

private:
    TDotMatrix kind_ = TDotMatrix::mat5x7;
    LcdFont custom_;
    unsigned revision_ = 0;
};

} // namespace korv::controls
