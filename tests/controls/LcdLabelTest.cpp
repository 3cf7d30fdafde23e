// The LCD control as the control surface and its user see it: cells in the picture, sizes, the
// border and dot shapes, error boxes and clicks.
#include "LcdTestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <utility>

namespace korv::controls::test {
namespace {

using Rows = std::vector<int>;
const Rows kUnlit(7, 0);
const Rows kLetterA{0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11};

class LcdLabel : public ::testing::Test {
protected:
    LcdLabel() {
        parent.resize(400, 300);
        lcd = new TLCDLabel(&parent);
    }

    QWidget parent;
    TLCDLabel* lcd;
    ErrorRecorder recorder;
};

TEST_F(LcdLabel, StartsAsTenCellsOnOneLine) {
    EXPECT_EQ(lcd->size(), QSize(166, 28));
    EXPECT_EQ(lcd->Picture().size(), QSize(166, 28));
    EXPECT_EQ(lcd->DotMatrix(), TDotMatrix::mat5x7);
    EXPECT_EQ(lcd->PixelSize(), TPixelSize::pix2x2);
    EXPECT_EQ(lcd->BorderSpace(), 3);
    EXPECT_EQ(lcd->BackGround(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(lcd->PixelOff(), QColor(0xAA, 0xAA, 0xAA));
    EXPECT_EQ(lcd->BorderStyle(), TMyBorder::frLowered);
}

TEST_F(LcdLabel, SurfaceDisplayPlacesDotsOnTheCellGrid) {
    configureAsSurface(*lcd);
    lcd->SetCaption("A");
    const QImage picture = lcd->Picture();
    ASSERT_EQ(picture.size(), QSize(188, 72));
    EXPECT_EQ(surfaceCell(picture, 0, 0), kLetterA);
    // Between dots, between cells and around them the background shows.
    EXPECT_EQ(picture.pixel(8, 7), kNavy);
    EXPECT_EQ(picture.pixel(7, 8), kNavy);
    EXPECT_EQ(picture.pixel(16, 7), kNavy);
    EXPECT_EQ(picture.pixel(17, 7), kNavy);
    EXPECT_EQ(picture.pixel(18, 7), kPurple);
    EXPECT_EQ(picture.pixel(7, 20), kNavy);
    EXPECT_EQ(picture.pixel(7, 22), kPurple);
    EXPECT_EQ(picture.pixel(6, 6), kNavy);
    EXPECT_EQ(surfaceCell(picture, 3, 15), kUnlit);
}

TEST_F(LcdLabel, DrawsLettersYenKatakanaAndBarLevels) {
    configureAsSurface(*lcd);
    QByteArray caption("Ab\x5C\x91", 4);
    caption.append(QByteArray(12, ' '));
    caption.append(QByteArray("\x01\x02\x0F\xC0", 4));
    lcd->SetCaption(caption);
    const QImage picture = lcd->Picture();
    EXPECT_EQ(surfaceCell(picture, 0, 0), kLetterA);
    EXPECT_EQ(surfaceCell(picture, 0, 1), (Rows{0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}));
    EXPECT_EQ(surfaceCell(picture, 0, 2), (Rows{0x11, 0x0A, 0x1F, 0x04, 0x1F, 0x04, 0x04}));
    EXPECT_EQ(surfaceCell(picture, 0, 3), (Rows{0x1F, 0x01, 0x05, 0x06, 0x04, 0x04, 0x08}));
    EXPECT_EQ(surfaceCell(picture, 1, 0), kUnlit);
    EXPECT_EQ(surfaceCell(picture, 1, 1), (Rows{0, 0, 0, 0, 0, 0, 0x0A}));
    EXPECT_EQ(surfaceCell(picture, 1, 2), Rows(7, 0x1F));
    EXPECT_EQ(surfaceCell(picture, 1, 3), (Rows{0x00, 0x00, 0x09, 0x15, 0x12, 0x12, 0x0D}));
    EXPECT_EQ(lcd->accessibleName(), QString::fromUtf8("Ab\u00A5\uFF71") + QString(15, u' ') +
                                         QString::fromUtf8("\u03B1"));
}

TEST_F(LcdLabel, SwitchingTheCharacterSetRedrawsTheCells) {
    configureAsSurface(*lcd);
    lcd->SetCaption("\x5C");
    EXPECT_EQ(lcd->accessibleName(), QString::fromUtf8("\u00A5"));
    lcd->SetDotMatrix(TDotMatrix::mat5x7);
    EXPECT_EQ(surfaceCell(lcd->Picture(), 0, 0), (Rows{0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00}));
    EXPECT_EQ(lcd->accessibleName(), QStringLiteral("\\"));
}

TEST_F(LcdLabel, ShortCaptionLeavesTheRestUnlitAndStopsAtNul) {
    configureAsSurface(*lcd);
    lcd->SetCaption(QByteArray("A\0A", 3));
    const QImage picture = lcd->Picture();
    EXPECT_EQ(surfaceCell(picture, 0, 0), kLetterA);
    for (int cell = 1; cell < 64; ++cell)
        EXPECT_EQ(surfaceCell(picture, cell / 16, cell % 16), kUnlit) << cell;
}

TEST_F(LcdLabel, LongCaptionShowsWhatFitsAndKeeps255Characters) {
    configureAsSurface(*lcd);
    QByteArray caption(63, ' ');
    caption.append("A");
    caption.append(QByteArray(300, 'A'));
    lcd->SetCaption(caption);
    EXPECT_EQ(lcd->Caption().size(), 255);
    EXPECT_EQ(surfaceCell(lcd->Picture(), 3, 15), kLetterA);
    EXPECT_EQ(lcd->Picture().size(), QSize(188, 72));
}

TEST_F(LcdLabel, ACaptionPastTheLimitIsTheSameCaptionAsItsFirst255Characters) {
    configureAsSurface(*lcd);
    lcd->SetCaption(QByteArray(300, 'x'));
    const QImage xs = lcd->Picture();
    lcd->SetCaption(QByteArray(255, 'x'));
    EXPECT_EQ(lcd->Caption(), QByteArray(255, 'x'));
    EXPECT_EQ(lcd->Picture(), xs);
    lcd->SetCaption(QByteArray(255, 'y'));
    EXPECT_EQ(lcd->Caption(), QByteArray(255, 'y'));
    EXPECT_NE(lcd->Picture(), xs);
}

TEST_F(LcdLabel, DisabledControlShowsBackgroundAndBorderOnly) {
    configureAsSurface(*lcd);
    lcd->SetCaption("AAAA");
    const QImage enabled = lcd->Picture();
    lcd->setEnabled(false);
    const QImage disabled = lcd->Picture();
    for (int y = 1; y < 71; ++y)
        for (int x = 1; x < 187; ++x)
            ASSERT_EQ(disabled.pixel(x, y), kNavy) << x << "," << y;
    EXPECT_EQ(disabled.pixel(0, 0), enabled.pixel(0, 0));
    EXPECT_EQ(disabled.pixel(187, 71), enabled.pixel(187, 71));
    lcd->setEnabled(true);
    EXPECT_EQ(surfaceCell(lcd->Picture(), 0, 0), kLetterA);
}

TEST_F(LcdLabel, HiddenControlIsDrawnInTheButtonFace) {
    configureAsSurface(*lcd);
    lcd->SetCaption("A");
    lcd->hide();
    EXPECT_EQ(lcd->Picture().pixel(7, 7),
              lcd->palette().color(QPalette::Active, QPalette::Button).rgb());
    lcd->show();
    EXPECT_EQ(surfaceCell(lcd->Picture(), 0, 0), kLetterA);
}

TEST_F(LcdLabel, ResizingFromOutsideRefitsWholeCells) {
    configureAsSurface(*lcd);
    parent.show();
    lcd->resize(200, 80);
    EXPECT_EQ(lcd->NoOfChars(), 17);
    EXPECT_EQ(lcd->TextLines(), 4);
    EXPECT_EQ(lcd->size(), QSize(199, 72));
    lcd->resize(20, 10);
    EXPECT_EQ(lcd->NoOfChars(), 1);
    EXPECT_EQ(lcd->TextLines(), 1);
    EXPECT_EQ(lcd->size(), QSize(23, 27));
}

// The spacing after the last cell is not needed: 186 pixels hold 16 cells of 9 with 15 gaps of
// 2 and the borders, and the control snaps to 188.
TEST_F(LcdLabel, FittingCountsNoSpacingAfterTheLastCell) {
    configureAsSurface(*lcd);
    parent.show();
    lcd->resize(186, 72);
    EXPECT_EQ(lcd->NoOfChars(), 16);
    EXPECT_EQ(lcd->size(), QSize(188, 72));
    lcd->resize(188, 70);
    EXPECT_EQ(lcd->TextLines(), 4);
    EXPECT_EQ(lcd->size(), QSize(188, 72));
    lcd->resize(185, 56);
    EXPECT_EQ(lcd->NoOfChars(), 15);
    EXPECT_EQ(lcd->TextLines(), 3);
    EXPECT_EQ(lcd->size(), QSize(177, 57));
}

TEST_F(LcdLabel, GeometryWritesResizeAroundTheCells) {
    configureAsSurface(*lcd);
    lcd->SetNoOfChars(20);
    EXPECT_EQ(lcd->size(), QSize(232, 72));
    lcd->SetDotMatrix(TDotMatrix::mat9x12);
    EXPECT_EQ(lcd->size(), QSize(12 + 20 * 17 + 19 * 2 + 2, 12 + 4 * 23 + 3 * 2 + 2));
    // However large the values, the control stays within a sane size instead of overflowing.
    lcd->SetNoOfChars(1'000'000'000);
    lcd->SetPixelSize(TPixelSize::pixCustom);
    lcd->SetPixelWidth(2'000'000'000);
    EXPECT_EQ(lcd->width(), TLCDLabel::kMaxExtent);
    EXPECT_EQ(lcd->NoOfChars(), 1'000'000'000);
}

TEST_F(LcdLabel, PixelWidthAndHeightFollowThePixelSizeUnlessCustom) {
    lcd->SetPixelWidth(5);
    EXPECT_EQ(lcd->PixelWidth(), 2);
    lcd->SetPixelSize(TPixelSize::pix3x3);
    EXPECT_EQ(lcd->PixelWidth(), 3);
    EXPECT_EQ(lcd->PixelHeight(), 3);
    lcd->SetPixelSize(TPixelSize::pixCustom);
    lcd->SetPixelWidth(4);
    lcd->SetPixelHeight(1);
    // 10 cells of 5 dots 4 wide, 7 dots 1 high, one pixel between dots.
    EXPECT_EQ(lcd->size(), QSize(6 + 10 * 24 + 9 * 2 + 2, 6 + 13 + 2));
    EXPECT_TRUE(recorder.errors.isEmpty());
}

struct Refusal {
    void (*write)(TLCDLabel&, int);
    int (*read)(const TLCDLabel&);
    int value;
    const char* message;
};

// Plain functions rather than member pointers: GCC's undefined-behaviour checks misread calls
// through member function pointers.
#define KORV_PROPERTY(Set, Get)                                                                 \
    [](TLCDLabel& l, int v) { l.Set(v); }, [](const TLCDLabel& l) { return l.Get(); }

TEST_F(LcdLabel, RefusedWritesShowTheirMessageAndKeepTheOldValue) {
    const Refusal refusals[] = {
        {KORV_PROPERTY(SetPixelSpacing, PixelSpacing), -1,
         "Pixel spacing can't be less than zero!"},
        {KORV_PROPERTY(SetCharSpacing, CharSpacing), -1,
         "Character spacing can't be less than zero!"},
        {KORV_PROPERTY(SetLineSpacing, LineSpacing), -5,
         "Line spacing can't be less than zero!"},
        {KORV_PROPERTY(SetBorderSpace, BorderSpace), -1,
         "Border spacing can't be less than zero!"},
        {KORV_PROPERTY(SetTextLines, TextLines), 0, "Display needs at least on line!"},
        {KORV_PROPERTY(SetNoOfChars, NoOfChars), -3,
         "Display needs at least one character!"},
        {KORV_PROPERTY(SetPixelWidth, PixelWidth), 0,
         "Display pixel width must be 1 or greater!"},
        {KORV_PROPERTY(SetPixelHeight, PixelHeight), -1,
         "Display pixel height must be 1 or greate!"},
    };
#undef KORV_PROPERTY
    lcd->SetPixelSize(TPixelSize::pixCustom);
    for (const Refusal& refusal : refusals) {
        recorder.errors.clear();
        const int before = refusal.read(*lcd);
        const QSize size = lcd->size();
        refusal.write(*lcd, refusal.value);
        EXPECT_EQ(refusal.read(*lcd), before) << refusal.message;
        EXPECT_EQ(recorder.errors, QStringList{QString::fromLatin1(refusal.message)});
        EXPECT_EQ(lcd->size(), size) << refusal.message;
    }
    recorder.errors.clear();
    lcd->SetCharSpacing(0);
    lcd->SetBorderSpace(0);
    EXPECT_TRUE(recorder.errors.isEmpty());
    EXPECT_EQ(lcd->CharSpacing(), 0);
}

TEST_F(LcdLabel, BorderStylesFrameTheControl) {
    const QColor light = lcd->palette().color(QPalette::Active, QPalette::Light);
    const QColor dark = lcd->palette().color(QPalette::Active, QPalette::Dark);
    ASSERT_NE(light, dark);
    const int w = lcd->width();
    const int h = lcd->height();
    lcd->SetBorderStyle(TMyBorder::frRaised);
    EXPECT_EQ(lcd->Picture().pixel(0, 0), light.rgb());
    EXPECT_EQ(lcd->Picture().pixel(w - 1, 0), light.rgb());
    EXPECT_EQ(lcd->Picture().pixel(0, h - 1), light.rgb());
    EXPECT_EQ(lcd->Picture().pixel(w - 1, h / 2), dark.rgb());
    EXPECT_EQ(lcd->Picture().pixel(w / 2, h - 1), dark.rgb());
    lcd->SetBorderStyle(TMyBorder::frLowered);
    EXPECT_EQ(lcd->Picture().pixel(0, h / 2), dark.rgb());
    EXPECT_EQ(lcd->Picture().pixel(w / 2, 0), dark.rgb());
    EXPECT_EQ(lcd->Picture().pixel(w - 1, h - 1), light.rgb());
    lcd->SetBorderColor(Qt::red);
    lcd->SetBorderStyle(TMyBorder::frSingle);
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_EQ(lcd->Picture().pixel(corner), qRgb(255, 0, 0));
    EXPECT_EQ(lcd->Picture().pixel(1, 1), lcd->BackGround().rgb());
    lcd->SetBorderStyle(TMyBorder::frNone);
    EXPECT_EQ(lcd->Picture().pixel(0, 0), lcd->BackGround().rgb());
    EXPECT_EQ(lcd->Picture().pixel(w - 1, h - 1), lcd->BackGround().rgb());
}

TEST_F(LcdLabel, DotShapesOfLitAndUnlitDots) {
    lcd->SetPixelSize(TPixelSize::pix6x6);
    lcd->SetPixelOn(QColor(200, 100, 50));
    lcd->SetCaption("|");
    // The bar's dots are in column 2; the cell starts at BorderSpace + 1.
    const int litX = 4 + 2 * 7;
    const int unlitX = 4;
    const int y = 4;
    lcd->SetPixelShape(TPixelShape::spSquare);
    QImage picture = lcd->Picture();
    EXPECT_EQ(picture.pixel(litX, y), qRgb(200, 100, 50));
    EXPECT_EQ(picture.pixel(litX + 5, y + 5), qRgb(200, 100, 50));
    EXPECT_EQ(picture.pixel(unlitX, y), lcd->PixelOff().rgb());
    lcd->SetPixelShape(TPixelShape::spRound);
    picture = lcd->Picture();
    EXPECT_EQ(picture.pixel(litX, y), lcd->BackGround().rgb());
    EXPECT_EQ(picture.pixel(litX + 3, y + 3), qRgb(200, 100, 50));
    EXPECT_EQ(picture.pixel(unlitX, y), lcd->BackGround().rgb());
    EXPECT_EQ(picture.pixel(unlitX + 3, y + 3), lcd->PixelOff().rgb());
    lcd->SetPixelShape(TPixelShape::spShaped);
    picture = lcd->Picture();
    EXPECT_EQ(picture.pixel(litX, y), qRgb(100, 50, 25));
    EXPECT_EQ(picture.pixel(litX + 3, y + 3), qRgb(200, 100, 50));
    EXPECT_EQ(picture.pixel(unlitX, y), lcd->PixelOff().rgb());
}

// At 4 x 4 a round dot already shows the background at its corners, and a shaped lit dot its
// shade; the rest of the dot is in its colour.
TEST_F(LcdLabel, RoundAndShapedDotsOfFourPixelsHaveCorners) {
    lcd->SetPixelSize(TPixelSize::pix4x4);
    lcd->SetPixelOn(QColor(200, 100, 50));
    lcd->SetCaption("|");
    const int litX = 4 + 2 * 5;
    const int unlitX = 4;
    const int y = 4;
    const QRgb on = qRgb(200, 100, 50);
    const QRgb off = lcd->PixelOff().rgb();
    const QRgb back = lcd->BackGround().rgb();
    lcd->SetPixelShape(TPixelShape::spRound);
    QImage picture = lcd->Picture();
    for (const auto& [dx, dy] : {std::pair{0, 0}, {3, 0}, {0, 3}, {3, 3}}) {
        EXPECT_EQ(picture.pixel(litX + dx, y + dy), back) << dx << "," << dy;
        EXPECT_EQ(picture.pixel(unlitX + dx, y + dy), back) << dx << "," << dy;
    }
    for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {2, 2}, {3, 2}, {2, 3}}) {
        EXPECT_EQ(picture.pixel(litX + dx, y + dy), on) << dx << "," << dy;
        EXPECT_EQ(picture.pixel(unlitX + dx, y + dy), off) << dx << "," << dy;
    }
    lcd->SetPixelShape(TPixelShape::spShaped);
    picture = lcd->Picture();
    EXPECT_EQ(picture.pixel(litX, y), qRgb(100, 50, 25));
    EXPECT_EQ(picture.pixel(litX + 3, y + 3), qRgb(100, 50, 25));
    EXPECT_EQ(picture.pixel(litX + 1, y + 1), on);
    EXPECT_EQ(picture.pixel(unlitX, y), off);
    EXPECT_EQ(picture.pixel(unlitX + 3, y + 3), off);
}

// Dot size plus spacing past the range of int: the cell is drawn without overflowing.
TEST_F(LcdLabel, HugeDotsAndSpacingsStillDraw) {
    lcd->SetPixelSize(TPixelSize::pixCustom);
    lcd->SetPixelWidth(INT_MAX);
    lcd->SetPixelHeight(INT_MAX);
    lcd->SetPixelSpacing(INT_MAX);
    lcd->SetPixelShape(TPixelShape::spRound);
    lcd->SetCaption("A");
    EXPECT_EQ(lcd->width(), TLCDLabel::kMaxExtent);
    // The top-left dot of 'A' is unlit: the corner of a round dot shows the background.
    EXPECT_EQ(lcd->Picture().pixel(4, 4), lcd->BackGround().rgb());
    lcd->SetPixelShape(TPixelShape::spSquare);
    EXPECT_EQ(lcd->Picture().pixel(4, 4), lcd->PixelOff().rgb());
}

TEST_F(LcdLabel, ColourWritesRedrawTheCachedCells) {
    configureAsSurface(*lcd);
    lcd->SetCaption("A");
    lcd->SetPixelOn(Qt::white);
    EXPECT_EQ(lcd->Picture().pixel(7 + 2 * 1, 7), qRgb(255, 255, 255));
    lcd->SetBackGround(Qt::black);
    EXPECT_EQ(lcd->Picture().pixel(8, 7), qRgb(0, 0, 0));
    lcd->SetPixelOff(Qt::gray);
    EXPECT_EQ(lcd->Picture().pixel(7, 7), QColor(Qt::gray).rgb());
}

TEST_F(LcdLabel, LeftClickInsideRaisesOnClick) {
    parent.show();
    int clicks = 0;
    lcd->OnClick = [&](TLCDLabel& sender) {
        EXPECT_EQ(&sender, lcd);
        ++clicks;
    };
    QTest::mouseClick(lcd, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(lcd, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(lcd, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(lcd, Qt::LeftButton, {}, QPoint(lcd->width() + 5, 10));
    EXPECT_EQ(clicks, 1);
    lcd->OnClick = nullptr;
    QTest::mouseClick(lcd, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace korv::controls::test
