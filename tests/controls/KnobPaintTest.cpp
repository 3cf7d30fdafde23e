#include "TKnob.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

using korv::controls::KnobScale;
using korv::controls::TKnob;

namespace {

QImage Render(TKnob& knob) {
    return knob.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

class KnobPaint : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(100, 100);
        knob = new TKnob(&window);
        knob->SetLineColor(Qt::red);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget window;
    TKnob* knob = nullptr;
};

} // namespace

TEST_F(KnobPaint, PointerAt64RunsFrom20_11To20_5WithHighlightBelowRight) {
    knob->SetPosition(64);
    const QImage image = Render(*knob);
    const QColor red(Qt::red);
    for (int y = 5; y <= 11; ++y)
        EXPECT_EQ(At(image, 20, y), red) << y;
    EXPECT_NE(At(image, 20, 4), red);
    EXPECT_NE(At(image, 20, 12), red);
    EXPECT_EQ(At(image, 21, 12), knob->palette().color(QPalette::Light));
}

TEST_F(KnobPaint, TurningMovesThePointerAndErasesTheOldOne) {
    knob->SetPosition(64);
    Render(*knob);
    knob->SetPosition(127);
    const QImage image = Render(*knob);
    EXPECT_EQ(At(image, 20, 8), knob->palette().color(QPalette::Button));
    const KnobScale::Line line = KnobScale::Pointer(-60, 20);
    EXPECT_GT(line.outer.x, line.inner.x);
    EXPECT_GT(line.outer.y, line.inner.y);
    EXPECT_EQ(At(image, line.inner.x, line.inner.y), QColor(Qt::red));
    EXPECT_EQ(At(image, line.outer.x, line.outer.y), QColor(Qt::red));
}

TEST_F(KnobPaint, CornersTakeTheParentColourAndTheRimShowsState) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::green);
    window.setPalette(palette);
    QImage image = Render(*knob);
    EXPECT_EQ(At(image, 0, 0), QColor(Qt::green));
    EXPECT_EQ(At(image, 39, 39), QColor(Qt::green));

    const int enabledRim = At(image, 39, 20).lightness();
    knob->setEnabled(false);
    image = Render(*knob);
    EXPECT_GT(At(image, 39, 20).lightness(), enabledRim);

    knob->setEnabled(true);
    const int unfocusedTop = At(Render(*knob), 20, 0).lightness();
    knob->setFocus();
    EXPECT_LT(At(Render(*knob), 20, 0).lightness(), unfocusedTop);
}
