#include "TKnob.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using korv::controls::KnobScale;
using korv::controls::TKnob;

namespace {

class Knob : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(220, 120);
        knob = new TKnob(&window);
        knob->move(10, 10);
        label = new QLabel(&window);
        label->setGeometry(100, 10, 100, 20);
        other = new QLineEdit(&window);
        other->setGeometry(100, 60, 100, 20);
        knob->SetPositionLabel(label);
        knob->OnChange = [this](TKnob&) { ++changes; };
        knob->OnMouseDown = [this](TKnob&, Qt::MouseButton b, QPoint p) {
            pressed.push_back({b, p});
        };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        other->setFocus();
    }

    void Key(Qt::Key key) { QTest::keyClick(knob, key); }
    QColor Pixel(int x, int y) { return knob->grab().toImage().pixelColor(x, y); }

    QWidget window;
    TKnob* knob = nullptr;
    QLabel* label = nullptr;
    QLineEdit* other = nullptr;
    int changes = 0;
    std::vector<std::pair<Qt::MouseButton, QPoint>> pressed;
};

} // namespace

TEST_F(Knob, EveryWriteRaisesOnChangeAndShowsValueWithCaption) {
    EXPECT_EQ(knob->size(), QSize(40, 40));
    EXPECT_EQ(label->text(), "0 ");
    knob->SetPosition(0);
    knob->SetMin(0);
    knob->SetMax(127);
    knob->SetParams(0, 0, 127);
    knob->SetSpringLoaded(true);
    knob->SetSpringLoaded(false);
    EXPECT_EQ(changes, 5);
    // A '%' in the caption is text, not a format directive.
    knob->SetCaption("50% %d");
    knob->SetPosition(64);
    EXPECT_EQ(label->text(), "64 50% %d");
    EXPECT_EQ(knob->accessibleName(), "50% %d");
}

TEST_F(Knob, LeftDragFollowsTheAngleIntoTheDeadZone) {
    QTest::mousePress(knob, Qt::LeftButton, {}, {20, 3}); // straight up
    EXPECT_EQ(knob->Position(), 63);
    EXPECT_TRUE(knob->hasFocus());
    const std::pair<QPoint, int> moves[] = {
        {{25, 39}, 127}, {{15, 39}, 0}, {{39, 1}, 83}, {{20, 39}, 0}, // ..., straight down
    };
    for (const auto& [pos, value] : moves) {
        QTest::mouseMove(knob, pos);
        EXPECT_EQ(knob->Position(), value) << pos.x() << "," << pos.y();
    }
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {39, 20});
    EXPECT_EQ(knob->Position(), 102);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0], std::make_pair(Qt::LeftButton, QPoint(20, 3)));
}

TEST_F(Knob, PressOutsideTheCircleOrWithOtherButtonsOnlyHoversAndReports) {
    knob->SetPosition(5);
    changes = 0;
    QTest::mousePress(knob, Qt::LeftButton, {}, {1, 1});
    QTest::mouseMove(knob, {39, 20});
    EXPECT_EQ(label->text(), "102 "); // the value under the mouse
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {39, 20});
    QTest::mouseClick(knob, Qt::RightButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 5);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(knob->hasFocus());
    ASSERT_EQ(pressed.size(), 2u);
    EXPECT_EQ(pressed[1], std::make_pair(Qt::RightButton, QPoint(20, 3)));

    QTest::mouseMove(knob, {20, 3});
    EXPECT_EQ(label->text(), "63 ");
    QTest::mouseMove(&window, {150, 100}); // leaving restores the knob's value
    EXPECT_EQ(label->text(), "5 ");
}

TEST_F(Knob, EveryKeyWritesEvenAtTheLimit) {
    knob->SetPosition(50);
    changes = 0;
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_PageUp, 60}, {Qt::Key_PageDown, 50}, {Qt::Key_Up, 51},      {Qt::Key_Right, 52},
        {Qt::Key_Left, 51},   {Qt::Key_Down, 50},     {Qt::Key_End, 127},    {Qt::Key_Up, 127},
        {Qt::Key_Home, 0},    {Qt::Key_Down, 0},      {Qt::Key_PageDown, 0}, {Qt::Key_Home, 0},
    };
    for (const auto& [key, position] : steps) {
        Key(key);
        EXPECT_EQ(knob->Position(), position) << key;
    }
    EXPECT_EQ(changes, static_cast<int>(std::size(steps)));
}

TEST_F(Knob, KeysStopAtTheEndsInsteadOfWrappingOrJumpingAcross) {
    knob->SetPageSize(100000);
    EXPECT_EQ(knob->PageSize(), 65535);
    knob->SetParams(INT_MAX, INT_MIN, INT_MAX);
    Key(Qt::Key_Up);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(knob->Position(), INT_MAX);
    knob->SetPosition(INT_MIN);
    Key(Qt::Key_Down);
    EXPECT_EQ(knob->Position(), INT_MIN);

    knob->SetParams(100, 100, 20); // reversed: Up moves towards Min
    Key(Qt::Key_Up);
    EXPECT_EQ(knob->Position(), 100);
    Key(Qt::Key_End);
    Key(Qt::Key_Down);
    EXPECT_EQ(knob->Position(), 20);
}

TEST_F(Knob, ResizeKeepsItSquare) {
    knob->resize(60, 50);
    EXPECT_EQ(knob->size(), QSize(60, 60));
    EXPECT_EQ(knob->Radius(), 30);
    knob->resize(60, 30);
    EXPECT_EQ(knob->size(), QSize(30, 30));
    EXPECT_EQ(knob->Radius(), 15);
}

// A hidden knob gets no resize events: the rule still starts from the 40 x 40 it was made with.
TEST(KnobSize, AKnobResizedBeforeItIsFirstShownComesUpSquare) {
    QWidget window;
    window.resize(200, 200);
    auto* shrunk = new TKnob(&window);
    shrunk->resize(30, 20);
    auto* grown = new TKnob(&window);
    grown->resize(60, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(shrunk->size(), QSize(20, 20));
    EXPECT_EQ(shrunk->Radius(), 10);
    EXPECT_EQ(grown->size(), QSize(60, 60));
    EXPECT_EQ(grown->Radius(), 30);

    auto* later = new TKnob(&window);
    later->hide();
    later->resize(50, 45);
    later->show();
    EXPECT_EQ(later->size(), QSize(50, 50));
    EXPECT_EQ(later->sizeHint(), QSize(50, 50));
}

TEST_F(Knob, SpringLoadedReturnsToMinAfterDragAndOnFocusLoss) {
    knob->SetParams(15, 10, 20);
    knob->SetSpringLoaded(true);
    EXPECT_EQ(knob->Position(), 10); // 0 limited into 10...20
    QTest::mousePress(knob, Qt::LeftButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 15);
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 10);

    QTest::mousePress(knob, Qt::LeftButton, {}, {20, 3});
    Key(Qt::Key_Tab);
    EXPECT_EQ(knob->Position(), 10);
    changes = 0;
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {39, 20}); // the drag ended with the focus
    EXPECT_EQ(changes, 0);
}

TEST_F(Knob, LabelFollowsVisibleAndEnabledAndIsForgottenWhenDestroyed) {
    knob->hide();
    EXPECT_TRUE(label->isHidden());
    knob->show();
    EXPECT_FALSE(label->isHidden());
    knob->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());

    auto second = std::make_unique<QLabel>(&window);
    knob->SetPositionLabel(second.get());
    EXPECT_FALSE(second->isEnabled());
    second.reset();
    EXPECT_EQ(knob->PositionLabel(), nullptr);
    knob->SetPosition(7);
    knob->hide();
    EXPECT_EQ(knob->Position(), 7);
}

TEST_F(Knob, PointerIsDrawnInLineColorAndMovesWithThePosition) {
    knob->SetLineColor(knob->palette().color(QPalette::Button)); // would be invisible
    EXPECT_EQ(knob->LineColor(), knob->palette().color(QPalette::Active, QPalette::Highlight));
    const QColor red(Qt::red);
    knob->SetLineColor(red);
    knob->SetPosition(64);
    const QImage image = knob->grab().toImage();
    for (int y = 5; y <= 11; ++y)
        EXPECT_EQ(image.pixelColor(20, y), red) << y;
    EXPECT_NE(image.pixelColor(20, 4), red);
    EXPECT_NE(image.pixelColor(20, 12), red);
    EXPECT_EQ(image.pixelColor(21, 12), knob->palette().color(QPalette::Light));

    knob->SetPosition(127);
    EXPECT_EQ(Pixel(20, 8), knob->palette().color(QPalette::Button));
    const KnobScale::Line line = KnobScale::Pointer(-60, 20);
    EXPECT_EQ(Pixel(line.inner.x, line.inner.y), red);
    EXPECT_EQ(Pixel(line.outer.x, line.outer.y), red);
}

TEST_F(Knob, CornersTakeTheParentColourAndTheRimShowsEnabledAndFocus) {
    EXPECT_NE(Pixel(0, 0), QColor(Qt::green)); // the face is cached now
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::green);
    window.setPalette(palette);
    EXPECT_EQ(Pixel(0, 0), QColor(Qt::green));
    EXPECT_EQ(Pixel(39, 39), QColor(Qt::green));

    const int enabledRim = Pixel(39, 20).lightness();
    knob->setEnabled(false);
    EXPECT_GT(Pixel(39, 20).lightness(), enabledRim);
    knob->setEnabled(true);
    const int unfocusedTop = Pixel(20, 0).lightness();
    knob->setFocus();
    EXPECT_LT(Pixel(20, 0).lightness(), unfocusedTop);
}
