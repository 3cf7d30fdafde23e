#include "TKnob.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using korv::controls::TKnob;

namespace {

struct Press {
    Qt::MouseButton button;
    QPoint pos;
};

class KnobWidget : public ::testing::Test {
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
        knob->OnChange = [this](TKnob& sender) {
            EXPECT_EQ(&sender, knob);
            ++changes;
        };
        knob->OnMouseDown = [this](TKnob&, Qt::MouseButton b, QPoint p) {
            presses.push_back({b, p});
        };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void Key(Qt::Key key) { QTest::keyClick(knob, key); }

    QWidget window;
    TKnob* knob = nullptr;
    QLabel* label = nullptr;
    QLineEdit* other = nullptr;
    int changes = 0;
    std::vector<Press> presses;
};

} // namespace

TEST_F(KnobWidget, StartsAs40x40KnobOver0To127) {
    EXPECT_EQ(knob->size(), QSize(40, 40));
    EXPECT_EQ(knob->Radius(), 20);
    EXPECT_EQ(knob->Min(), 0);
    EXPECT_EQ(knob->Max(), 127);
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(knob->PageSize(), 10);
    EXPECT_FALSE(knob->SpringLoaded());
    EXPECT_EQ(knob->LineColor(), knob->palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_TRUE(knob->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(label->text(), "0 ");
}

TEST_F(KnobWidget, EveryWriteRaisesOnChangeEvenWhenNothingChanged) {
    knob->SetPosition(0);
    knob->SetMin(0);
    knob->SetMax(127);
    knob->SetParams(0, 0, 127);
    EXPECT_EQ(changes, 4);
    knob->SetSpringLoaded(true);
    EXPECT_EQ(changes, 5);
    knob->SetSpringLoaded(false);
    EXPECT_EQ(changes, 5);
}

TEST_F(KnobWidget, LabelShowsValueAndCaptionLiterally) {
    knob->SetCaption("Vol");
    EXPECT_EQ(label->text(), "0 Vol");
    EXPECT_EQ(knob->accessibleName(), "Vol");
    knob->SetCaption("50% %d");
    knob->SetPosition(64);
    EXPECT_EQ(label->text(), "64 50% %d");
    EXPECT_EQ(knob->PositionAngle(), 89);
}

TEST_F(KnobWidget, LeftDragFollowsTheAngleIntoTheDeadZone) {
    QTest::mousePress(knob, Qt::LeftButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 63);
    EXPECT_TRUE(knob->hasFocus());
    QTest::mouseMove(knob, {25, 39});
    EXPECT_EQ(knob->Position(), 127);
    QTest::mouseMove(knob, {15, 39});
    EXPECT_EQ(knob->Position(), 0);
    QTest::mouseMove(knob, {39, 1});
    EXPECT_EQ(knob->Position(), 83);
    QTest::mouseMove(knob, {20, 39}); // straight down
    EXPECT_EQ(knob->Position(), 0);
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {39, 20});
    EXPECT_EQ(knob->Position(), 102);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].button, Qt::LeftButton);
    EXPECT_EQ(presses[0].pos, QPoint(20, 3));
}

TEST_F(KnobWidget, PressOutsideTheCircleOrWithOtherButtonsOnlyReportsIt) {
    other->setFocus();
    QTest::mousePress(knob, Qt::LeftButton, {}, {1, 1});
    QTest::mouseMove(knob, {39, 20});
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(label->text(), "102 "); // hovering still shows the value under the mouse
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {39, 20});
    QTest::mouseClick(knob, Qt::RightButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(knob->hasFocus());
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].pos, QPoint(1, 1));
    EXPECT_EQ(presses[1].button, Qt::RightButton);
}

TEST_F(KnobWidget, HoverShowsValueUnderMouseAndLeavingRestoresIt) {
    knob->SetPosition(5);
    QTest::mouseMove(knob, {39, 20});
    EXPECT_EQ(label->text(), "102 ");
    EXPECT_EQ(knob->Position(), 5);
    QTest::mouseMove(&window, {150, 100});
    EXPECT_EQ(label->text(), "5 ");
}

TEST_F(KnobWidget, KeysWriteEvenAtTheLimits) {
    knob->setFocus();
    knob->SetPosition(50);
    changes = 0;
    const struct {
        Qt::Key key;
        int position;
    } steps[] = {
        {Qt::Key_PageUp, 60},  {Qt::Key_PageDown, 50}, {Qt::Key_Up, 51},   {Qt::Key_Right, 52},
        {Qt::Key_Left, 51},    {Qt::Key_Down, 50},     {Qt::Key_End, 127}, {Qt::Key_Up, 127},
        {Qt::Key_PageUp, 127}, {Qt::Key_Home, 0},      {Qt::Key_Down, 0},  {Qt::Key_Home, 0},
    };
    for (const auto& step : steps) {
        Key(step.key);
        EXPECT_EQ(knob->Position(), step.position) << step.key;
    }
    EXPECT_EQ(changes, static_cast<int>(std::size(steps)));
}

TEST_F(KnobWidget, KeysAtTheEndsOfTheIntRangeDoNotWrapAround) {
    knob->setFocus();
    knob->SetPageSize(100000);
    EXPECT_EQ(knob->PageSize(), 65535);
    knob->SetParams(INT_MAX, INT_MIN, INT_MAX);
    Key(Qt::Key_Up);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(knob->Position(), INT_MAX);
    knob->SetPosition(INT_MIN);
    Key(Qt::Key_Down);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(knob->Position(), INT_MIN);
}

TEST_F(KnobWidget, ReversedRangeStopsAtItsEndsInsteadOfJumpingAcross) {
    knob->setFocus();
    knob->SetParams(100, 100, 20);
    Key(Qt::Key_Up);
    EXPECT_EQ(knob->Position(), 100);
    Key(Qt::Key_Down);
    EXPECT_EQ(knob->Position(), 99);
    Key(Qt::Key_End);
    Key(Qt::Key_Down);
    EXPECT_EQ(knob->Position(), 20);
}

TEST_F(KnobWidget, ResizeKeepsItSquare) {
    knob->resize(60, 50);
    EXPECT_EQ(knob->size(), QSize(60, 60));
    EXPECT_EQ(knob->Radius(), 30);
    knob->resize(60, 30);
    EXPECT_EQ(knob->size(), QSize(30, 30));
    EXPECT_EQ(knob->Radius(), 15);
}

TEST_F(KnobWidget, SpringLoadedReturnsToMinAfterDragAndOnFocusLoss) {
    knob->SetParams(15, 10, 20);
    knob->SetSpringLoaded(true);
    EXPECT_EQ(knob->Position(), 10); // 0 limited into 10...20
    QTest::mousePress(knob, Qt::LeftButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 15);
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 10);

    QTest::mousePress(knob, Qt::LeftButton, {}, {20, 3});
    EXPECT_EQ(knob->Position(), 15);
    Key(Qt::Key_Tab);
    EXPECT_FALSE(knob->hasFocus());
    EXPECT_EQ(knob->Position(), 10);
    // The drag ended with the focus: a late release changes nothing more.
    changes = 0;
    QTest::mouseRelease(knob, Qt::LeftButton, {}, {39, 20});
    EXPECT_EQ(changes, 0);
}

TEST_F(KnobWidget, LabelFollowsVisibleAndEnabledAndIsForgottenWhenDestroyed) {
    knob->hide();
    EXPECT_TRUE(label->isHidden());
    knob->show();
    EXPECT_FALSE(label->isHidden());
    knob->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    knob->setEnabled(true);
    EXPECT_TRUE(label->isEnabled());

    auto second = std::make_unique<QLabel>(&window);
    knob->setEnabled(false);
    knob->SetPositionLabel(second.get());
    EXPECT_FALSE(second->isEnabled());
    second.reset();
    EXPECT_EQ(knob->PositionLabel(), nullptr);
    knob->SetPosition(7);
    knob->hide();
    EXPECT_EQ(knob->Position(), 7);
}

TEST_F(KnobWidget, LineColorRefusesTheButtonFaceColour) {
    const QColor face = knob->palette().color(QPalette::Button);
    const QColor before = knob->LineColor();
    knob->SetLineColor(face);
    EXPECT_EQ(knob->LineColor(), before);
    knob->SetLineColor(Qt::red);
    EXPECT_EQ(knob->LineColor(), QColor(Qt::red));
}
