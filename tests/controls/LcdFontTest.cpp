// Font files: what a valid file draws, and the files that are refused without touching the
// current character set.
#include "LcdFont.h"
#include "LcdTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <vector>

namespace korv::controls::test {
namespace {

std::vector<std::uint8_t> fontBytes(std::int32_t columns, std::int32_t rows, std::int32_t first,
                                    std::int32_t last, std::vector<std::uint8_t> dots) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t value : {columns, rows, first, last})
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
    bytes.insert(bytes.end(), dots.begin(), dots.end());
    return bytes;
}

// Two glyphs of 3 x 2 for 'A' and 'B': 'A' lights its top row, 'B' its bottom-right dot.
std::vector<std::uint8_t> twoGlyphFont() {
    return fontBytes(3, 2, 'A', 'B', {0, 0, 0, 1, 1, 1, /**/ 1, 1, 1, 1, 1, 0});
}

TEST(LcdFontFile, ReadsDotsWithZeroAsLit) {
    std::string error;
    std::vector<std::uint8_t> bytes = twoGlyphFont();
    bytes.push_back(7); // bytes after the last glyph do not matter
    const std::optional<LcdFont> font = LcdFontFile::parse(bytes, error);
    ASSERT_TRUE(font) << error;
    EXPECT_EQ(font->columns, 3);
    EXPECT_EQ(font->rows, 2);
    EXPECT_TRUE(font->isLit('A', 0, 2));
    EXPECT_FALSE(font->isLit('A', 1, 0));
    EXPECT_TRUE(font->isLit('B', 1, 2));
    EXPECT_FALSE(font->isLit('B', 0, 0));
    EXPECT_FALSE(font->isLit('C', 0, 0));
    EXPECT_FALSE(font->isLit('A', 2, 0));
}

TEST(LcdFontFile, CodesMayRunFrom0To255) {
    std::vector<std::uint8_t> dots(256, 1);
    dots[0] = 0;
    dots[255] = 0;
    std::string error;
    const std::optional<LcdFont> font = LcdFontFile::parse(fontBytes(1, 1, 0, 255, dots), error);
    ASSERT_TRUE(font) << error;
    EXPECT_TRUE(font->isLit(0, 0, 0));
    EXPECT_FALSE(font->isLit(254, 0, 0));
    EXPECT_TRUE(font->isLit(255, 0, 0));
}

TEST(LcdFontFile, RefusesBrokenHeadersAndShortFiles) {
    const std::vector<std::uint8_t> glyph(6, 1);
    const struct {
        const char* why;
        std::vector<std::uint8_t> bytes;
    } broken[] = {
        {"empty", {}},
        {"header cut", std::vector<std::uint8_t>(15, 0)},
        {"no columns", fontBytes(0, 2, 65, 65, glyph)},
        {"negative rows", fontBytes(3, -2, 65, 65, glyph)},
        {"huge glyph", fontBytes(65, 1, 65, 65, std::vector<std::uint8_t>(65, 1))},
        {"glyph size overflowing", fontBytes(0x40000000, 0x40000000, 0, 255, glyph)},
        {"first below 0", fontBytes(3, 2, -1, 65, glyph)},
        {"last above 255", fontBytes(3, 2, 65, 256, glyph)},
        {"first above last", fontBytes(3, 2, 66, 65, glyph)},
        {"glyphs cut", fontBytes(3, 2, 65, 66, std::vector<std::uint8_t>(11, 1))},
        {"dot byte 2", fontBytes(3, 2, 65, 65, {1, 1, 2, 1, 1, 1})},
    };
    for (const auto& file : broken) {
        std::string error;
        EXPECT_FALSE(LcdFontFile::parse(file.bytes, error)) << file.why;
        EXPECT_FALSE(error.empty()) << file.why;
    }
}

class LcdFontLoading : public ::testing::Test {
protected:
    QString write(const QString& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }

    QTemporaryDir dir;
    TLCDLabel lcd;
    ErrorRecorder recorder;
};

TEST_F(LcdFontLoading, LoadedFontShapesTheCellsAndClampsCodes) {
    lcd.SetPixelSize(TPixelSize::pix1x1);
    lcd.SetPixelSpacing(0);
    lcd.SetCharSpacing(1);
    lcd.SetBorderSpace(0);
    lcd.SetNoOfChars(3);
    lcd.SetPixelOn(Qt::red);
    lcd.Setfilename(write("two.fnt", twoGlyphFont()));
    ASSERT_EQ(lcd.DotMatrix(), TDotMatrix::CustomFont) << lcd.FontError().toStdString();
    EXPECT_TRUE(lcd.FontError().isEmpty());
    EXPECT_EQ(lcd.size(), QSize(3 * 3 + 2 + 2, 2 + 2));
    // An empty caption draws code 0, raised to 'A'; 'Z' is lowered to 'B'.
    const QRgb on = qRgb(255, 0, 0);
    EXPECT_EQ(lcd.Picture().pixel(1, 1), on);
    EXPECT_EQ(lcd.Picture().pixel(9, 1), on);
    lcd.SetCaption("BZ");
    EXPECT_NE(lcd.Picture().pixel(1, 1), on);
    EXPECT_EQ(lcd.Picture().pixel(3, 2), on);
    EXPECT_EQ(lcd.Picture().pixel(7, 2), on);
    EXPECT_EQ(lcd.Picture().pixel(9, 1), on);
    EXPECT_TRUE(recorder.errors.isEmpty());
}

TEST_F(LcdFontLoading, RefusedFilesKeepTheCurrentSet) {
    lcd.SetDotMatrix(TDotMatrix::Hitachi);
    lcd.Setfilename(write("cut.fnt", fontBytes(3, 2, 65, 66, std::vector<std::uint8_t>(11, 1))));
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_EQ(lcd.filename(), dir.filePath("cut.fnt"));
    EXPECT_FALSE(lcd.FontError().isEmpty());

    lcd.Setfilename(dir.filePath("missing.fnt"));
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_TRUE(lcd.FontError().contains("missing.fnt"));

    lcd.Setfilename(QString());
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    lcd.SetDotMatrix(TDotMatrix::CustomFont);
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_TRUE(recorder.errors.isEmpty());
}

TEST_F(LcdFontLoading, RefusedFileKeepsALoadedFont) {
    lcd.Setfilename(write("two.fnt", twoGlyphFont()));
    const QImage before = lcd.Picture();
    lcd.Setfilename(write("bad.fnt", fontBytes(3, 2, 65, 65, {9, 9, 9, 9, 9, 9})));
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::CustomFont);
    EXPECT_EQ(lcd.Picture(), before);
    lcd.SetDotMatrix(TDotMatrix::mat5x7);
    EXPECT_EQ(lcd.size(), QSize(166, 28));
}

// A pipe would block the GUI thread on opening, a device on reading: only regular files of a
// size a font can have are read, and the refusal says why.
TEST_F(LcdFontLoading, OnlyRegularFilesOfAFontsSizeAreRead) {
    lcd.SetDotMatrix(TDotMatrix::Hitachi);
    const QString pipe = dir.filePath("pipe.fnt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    lcd.Setfilename(pipe);
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_EQ(lcd.FontError(),
              "\"" + pipe + "\" is not a regular file, so it cannot be a font file.");

    lcd.Setfilename(QStringLiteral("/dev/zero"));
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_EQ(lcd.FontError(), "\"/dev/zero\" is not a regular file, so it cannot be a font file.");

    lcd.Setfilename(dir.path());
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_FALSE(lcd.FontError().isEmpty());

    // 16 header bytes and 256 glyphs of 64 x 64 dots are 1,048,592 bytes; one more is refused.
    std::vector<std::uint8_t> big = fontBytes(1, 1, 65, 65, {0});
    big.resize(1048592, 1);
    lcd.Setfilename(write("largest.fnt", big));
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::CustomFont) << lcd.FontError().toStdString();
    lcd.SetDotMatrix(TDotMatrix::Hitachi);
    big.push_back(1);
    lcd.Setfilename(write("huge.fnt", big));
    EXPECT_EQ(lcd.DotMatrix(), TDotMatrix::Hitachi);
    EXPECT_EQ(lcd.FontError(), "The font file \"" + dir.filePath("huge.fnt") +
                                   "\" is 1048593 bytes, more than the 1048592 bytes of the "
                                   "largest font (256 glyphs of 64 x 64 dots).");
    EXPECT_TRUE(recorder.errors.isEmpty());
}

} // namespace
} // namespace korv::controls::test
