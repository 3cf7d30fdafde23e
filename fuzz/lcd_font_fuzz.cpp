// The LCD font-file reader on any bytes: it accepts exactly the files its format describes and
// then holds their dots, or refuses with a reason.
#include "LcdFont.h"

#include <cstddef>
#include <cstdint>
#include <string>

using korv::controls::LcdFontFile;

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

long long headerInt(const std::uint8_t* p) {
    const std::uint32_t u = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
    return static_cast<std::int32_t>(u);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto font = LcdFontFile::parse({data, size}, error);

    // What a valid file is, read independently of the reader.
    bool valid = size >= 16;
    long long columns = 0, rows = 0, first = 0, last = 0, dots = 0;
    if (valid) {
        columns = headerInt(data);
        rows = headerInt(data + 4);
        first = headerInt(data + 8);
        last = headerInt(data + 12);
        valid = columns >= 1 && columns <= 64 && rows >= 1 && rows <= 64 && first >= 0 &&
                first <= last && last <= 255;
    }
    if (valid) {
        dots = (last - first + 1) * columns * rows;
        valid = static_cast<long long>(size) - 16 >= dots;
        for (long long i = 0; valid && i < dots; ++i)
            valid = data[16 + i] <= 1;
    }

    check(font.has_value() == valid);
    if (!font) {
        check(!error.empty());
        return 0;
    }
    check(error.empty());
    check(font->columns == columns && font->rows == rows && font->firstChar == first &&
          font->lastChar == last);
    check(static_cast<long long>(font->dots.size()) == dots);
    // A 0 in the file is a lit dot; codes and dots outside the font read as unlit.
    std::size_t i = 16;
    for (long long code = first - 1; code <= last + 1; ++code) {
        const bool inFont = code >= first && code <= last;
        for (int row = -1; row <= rows; ++row) {
            for (int column = -1; column <= columns; ++column) {
                const bool inside =
                    inFont && row >= 0 && row < rows && column >= 0 && column < columns;
                check(font->isLit(static_cast<int>(code), row, column) == (inside && data[i] == 0));
                if (inside)
                    ++i;
            }
        }
    }
    check(static_cast<long long>(i) == 16 + dots);
    return 0;
}
