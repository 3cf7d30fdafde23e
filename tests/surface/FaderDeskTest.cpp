#include "LoopbackService.h"
#include "MidiSystem.h"
#include "SettingsImage.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TLCDLabel.h"
#include "TMidiOut.h"
#include "Tag.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using korv::controls::TKnob;
using korv::midi::LoopbackService;
using korv::midi::MidiSystem;
using korv::midi::TMidiOut;
using korv::model::SettingsImage;
using korv::surface::LcdScreen;
using korv::surface::LcdScreens;
using korv::surface::TFaderDesk;
using Bytes = std::vector<std::uint8_t>;

namespace {

LoopbackService& withOutput(LoopbackService& service) {
    service.addOutput("Loop Out");
    return service;
}

class FaderDeskTest : public ::testing::Test {
protected:
    FaderDeskTest()
        : system({&withOutput(loopback)})
        , out(system)
        , desk(image, out) {
        out.SetUsing(true);
    }

    // Shows the surface as "Show Virtual Box" does and forgets what the refresh sent.
    void showBox() {
        desk.ShowVirtualBox();
        loopback.clearSent(0);
    }

    TKnob* knob(int k) const { return desk.KnobTable()[k]; }

    QPushButton* button(const QString& caption) const {
        for (QPushButton* b : desk.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
            if (b->text() == caption)
                return b;
        return nullptr;
    }

    void click(const QString& caption, Qt::MouseButton mouseButton = Qt::LeftButton) {
        QPushButton* b = button(caption);
        ASSERT_NE(b, nullptr) << caption.toStdString();
        QTest::mouseClick(b, mouseButton);
    }

    // Drags knob k with the mouse until it stands on `value`: press inside the circle, move
    // far out along the value's angle, release there.
    void dragKnob(int k, int value) {
        TKnob* kb = knob(k);
        const double span = kb->Max() - kb->Min();
        const double degrees = 240.0 - (value - kb->Min()) * 300.0 / span;
        const double t = degrees * std::numbers::pi / 180.0;
        const QPoint centre(kb->width() / 2, kb->height() / 2);
        auto along = [&](double r) {
            return centre +
                   QPoint(int(std::lround(r * std::cos(t))), -int(std::lround(r * std::sin(t))));
        };
        QTest::mousePress(kb, Qt::LeftButton, {}, along(10));
        QTest::mouseMove(kb, along(1000));
        QTest::mouseRelease(kb, Qt::LeftButton, {}, along(1000));
        ASSERT_EQ(kb->Position(), value);
    }

    Bytes lastMessage() const {
        const auto messages = loopback.sentMessages(0);
        return messages.empty() ? Bytes{} : messages.back();
    }

    std::string caption() const { return desk.BackLightLCDPanel()->Caption().toStdString(); }

    SettingsImage image;
    LoopbackService loopback;
    MidiSystem system;
    TMidiOut out;
    TFaderDesk desk;
};

std::vector<int> tagsOf(const QObjectList& children) {
    std::vector<int> tags;
    for (QObject* child : children)
        if (korv::surface::HasTag(child) && korv::surface::Tag(child) >= 0)
            tags.push_back(korv::surface::Tag(child));
    return tags;
}

} // namespace

TEST_F(FaderDeskTest, StartsHiddenWithOnlyItsDesignTimeChildren) {
    EXPECT_EQ(desk.objectName(), "FaderDesk");
    EXPECT_EQ(desk.windowTitle(), "Virtual Korvane : Vantu's FaderDesk");
    EXPECT_FALSE(desk.isVisible());
    EXPECT_EQ(desk.Label1()->text(), "Hint: Right-Click To Edit Faders");
    EXPECT_FALSE(desk.BackLightLCDPanel()->isHidden());
    EXPECT_TRUE(desk.LCDPanel()->isHidden());
    EXPECT_EQ(desk.BackLightLCDPanel()->size(), QSize(188, 72));
    EXPECT_EQ(desk.LCDPanel()->size(), QSize(145, 81));
    EXPECT_TRUE(tagsOf(desk.children()).empty());
    for (const auto& slot : desk.KnobTable())
        EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(desk.CurrentBank(), 1);
    EXPECT_EQ(desk.DisplayMode(), 1);
    EXPECT_EQ(desk.LastControlId(), 0);
}

TEST_F(FaderDeskTest, ShowVirtualBoxBuildsTheSurfaceInOrderAndTwiceLeavesNoDuplicates) {
    std::vector<int> expectedOrder;
    for (int i = 0; i < 16; ++i) {
        expectedOrder.push_back(i); // value label
        expectedOrder.push_back(i); // knob
    }
    for (int t : {1001, 1002, 17, 18, 19, 20})
        expectedOrder.push_back(t);
    for (int t = 0; t <= 15; ++t)
        expectedOrder.push_back(t);
    for (int t = 25; t <= 40; ++t)
        expectedOrder.push_back(t);

    for (int round = 0; round < 2; ++round) {
        desk.ShowVirtualBox();
        EXPECT_TRUE(desk.isVisible());
        EXPECT_EQ(desk.size(), QSize(860, 320));
        EXPECT_EQ(tagsOf(desk.children()), expectedOrder);
        EXPECT_EQ(desk.findChildren<TKnob*>().size(), 16);
        EXPECT_EQ(desk.findChildren<QPushButton*>().size(), 38);
        for (int k = 0; k < 16; ++k) {
            ASSERT_NE(knob(k), nullptr);
            EXPECT_EQ(knob(k)->parent(), &desk);
            EXPECT_EQ(korv::surface::Tag(knob(k)), k);
        }
        // Design-time controls survive every teardown.
        EXPECT_EQ(desk.Label1()->parent(), &desk);
        EXPECT_EQ(desk.LCDPanel()->parent(), &desk);
    }
}

TEST_F(FaderDeskTest, ControlsSitWhereTheLayoutPutsThem) {
    desk.ShowVirtualBox();
    EXPECT_EQ(knob(0)->geometry(), QRect(30, 120, 40, 40));
    EXPECT_EQ(knob(15)->geometry(), QRect(780, 120, 40, 40));
    QLabel* valueLabel = knob(5)->PositionLabel();
    ASSERT_NE(valueLabel, nullptr);
    EXPECT_EQ(valueLabel->geometry(), QRect(280, 160, 40, 20));
    EXPECT_EQ(button("17")->geometry(), QRect(38, 30, 25, 25));
    EXPECT_EQ(button("20")->geometry(), QRect(188, 30, 25, 25));
    EXPECT_EQ(button("0")->geometry(), QRect(38, 200, 25, 25));
    EXPECT_EQ(button("15")->geometry(), QRect(788, 200, 25, 25));
    EXPECT_EQ(button("25")->geometry(), QRect(38, 250, 25, 25));
    EXPECT_EQ(button("40")->geometry(), QRect(788, 250, 25, 25));
    EXPECT_EQ(button("Bank +")->geometry(), QRect(625, 22, 100, 25));
    EXPECT_EQ(button("Bank -")->geometry(), QRect(625, 54, 100, 25));
    EXPECT_EQ(desk.BackLightLCDPanel()->geometry(), QRect(336, 16, 188, 72));
    EXPECT_EQ(desk.LCDPanel()->geometry(), QRect(358, 16, 145, 81));
    for (int id : {16, 21, 24, 41})
        EXPECT_EQ(button(QString::number(id)), nullptr) << id;
}

TEST_F(FaderDeskTest, DefaultImageInBankOneLoadsEveryKnobAndSendsFortyEightEvents) {
    desk.ShowVirtualBox();
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(knob(k)->Position(), 0);
        EXPECT_EQ(knob(k)->Min(), 0);
        EXPECT_EQ(knob(k)->Max(), 127);
        EXPECT_EQ(knob(k)->PositionLabel()->text(), "0 ");
    }
    EXPECT_EQ(knob(0)->toolTip(), "CC #  0        ");
    EXPECT_EQ(knob(15)->toolTip(), "CC # 15        ");

    // Position, Min and Max of every knob pass through the engine.
    const auto messages = loopback.sentMessages(0);
    ASSERT_EQ(messages.size(), 48u);
    for (int k = 0; k < 16; ++k)
        for (int step = 0; step < 3; ++step)
            EXPECT_EQ(messages[k * 3 + step], (Bytes{0xB0, std::uint8_t(k), 0x00}));
    EXPECT_EQ(desk.LcdLines(), LcdScreens::StartupScreen(true));
    EXPECT_EQ(caption(), LcdScreens::Joined(LcdScreens::StartupScreen(true)));
}

TEST_F(FaderDeskTest, BankThreeLoadsEncodersThirtyTwoOnwardWithTheirLabelsAndRanges) {
    for (int k = 0; k < 16; ++k) {
        image.SetPotValue(32 + k, std::uint8_t(20 + k));
        image.SetPotMin(32 + k, 10);
        image.SetPotMax(32 + k, std::uint8_t(100 + k));
        image.SetLabelText(32 + k, "Enc " + std::to_string(32 + k));
    }
    image.SetPotValue(34, 3);   // below its minimum: stored as the clamped position
    image.SetLabelText(35, ""); // no hover hint
    showBox();
    click("Bank +");
    click("Bank +");
    ASSERT_EQ(desk.CurrentBank(), 3);
    showBox();
    for (int k = 0; k < 16; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(knob(k)->Min(), 10);
        EXPECT_EQ(knob(k)->Max(), 100 + k);
        if (k != 2) {
            EXPECT_EQ(knob(k)->Position(), 20 + k);
        }
        if (k != 3) {
            EXPECT_EQ(knob(k)->toolTip().trimmed().toStdString(), "Enc " + std::to_string(32 + k));
        }
    }
    EXPECT_EQ(knob(2)->Position(), 10);
    EXPECT_EQ(image.PotValue(34), 10);
    EXPECT_TRUE(knob(3)->toolTip().isEmpty());
    // Bank 1 was not touched by the refresh.
    EXPECT_EQ(image.PotValue(0), 0);
}

TEST_F(FaderDeskTest, TurningKnobOneSendsTheEncoderOfTheCurrentBank) {
    showBox();
    dragKnob(0, 64);
    EXPECT_EQ(image.PotValue(0), 64);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x00, 0x40}));
    EXPECT_EQ(knob(0)->PositionLabel()->text(), "64 ");
    EXPECT_EQ(desk.LastControlId(), 0);
    EXPECT_EQ(desk.LcdLines(), LcdScreens::KnobScreen(0, 64));

    click("Bank +");
    dragKnob(0, 10);
    dragKnob(0, 64);
    EXPECT_EQ(image.PotValue(16), 64);
    EXPECT_EQ(image.PotValue(0), 64) << "bank 1 keeps its value";
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x10, 0x40}));

    dragKnob(2, 100);
    EXPECT_EQ(desk.LastControlId(), 18);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x12, 100}));
    EXPECT_EQ(desk.LcdLines()[1], "Knob ID : 18    ");
    EXPECT_EQ(desk.LcdLines()[2], "Knob Nr : 2.3   ");
    EXPECT_EQ(desk.LcdLines()[3], "Value   : 100   ");
    EXPECT_EQ(caption(), LcdScreens::Joined(desk.LcdLines()));
}

TEST_F(FaderDeskTest, EveryProgrammaticWriteSendsAndHighBytesAreSentExactly) {
    image.SetPotByte1(0, 127);
    showBox();
    knob(0)->SetPosition(127);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x7F, 0x7F}));
    loopback.clearSent(0);
    // Narrowing the range moves the knob, and the clamped value goes out.
    knob(0)->SetMax(50);
    EXPECT_EQ(loopback.sentMessages(0), (std::vector<Bytes>{{0xB0, 0x7F, 50}}));
    EXPECT_EQ(image.PotValue(0), 50);
    // A write of the same value still sends.
    knob(0)->SetPosition(50);
    EXPECT_EQ(loopback.sentMessages(0).size(), 2u);
}

TEST_F(FaderDeskTest, WithTheOutputClosedAKnobStoresAndShowsButSendsNothing) {
    showBox();
    out.SetUsing(false);
    dragKnob(1, 77);
    EXPECT_EQ(image.PotValue(1), 77);
    EXPECT_EQ(desk.LcdLines()[3], "Value   : 77    ");
    EXPECT_TRUE(loopback.sent(0).empty());
}

TEST_F(FaderDeskTest, AKnobTurnRepaintsTheLcdOnce) {
    showBox();
    const int before = desk.BackLightLCDPanel()->PaintCount();
    knob(4)->SetPosition(99);
    EXPECT_EQ(desk.BackLightLCDPanel()->PaintCount(), before + 1);
}

TEST_F(FaderDeskTest, DamagedRangeNeverPutsAStatusByteIntoDataOrImage) {
    // A dump file may carry bytes with the top bit set; they must not reach the wire as data.
    image.SetPotMax(0, 200);
    image.SetButtByte1(3, 0x90);
    image.SetButtByte2(3, 0xC5);
    showBox();
    knob(0)->SetPosition(200);
    EXPECT_EQ(image.PotValue(0), 127);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x00, 0x7F}));
    click("3");
    EXPECT_EQ(lastMessage(), (Bytes{0x93, 0x10, 0x45}));
}

TEST_F(FaderDeskTest, EventButtonsSendTheirEntryOnEveryClickAndLeaveTheLcdAlone) {
    showBox();
    const LcdScreen before = desk.LcdLines();
    click("0");
    click("0");
    EXPECT_EQ(loopback.sentMessages(0),
              (std::vector<Bytes>{{0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0x7F}}));
    EXPECT_EQ(desk.LastControlId(), 1000);

    image.SetButtMode(5, 2); // TOGGLE changes nothing on the surface
    loopback.clearSent(0);
    for (int i = 0; i < 3; ++i)
        click("5");
    EXPECT_EQ(loopback.sentMessages(0), std::vector<Bytes>(3, Bytes{0x95, 0x3C, 0x7F}));
    EXPECT_EQ(desk.LastControlId(), 1005);
    EXPECT_EQ(desk.LcdLines(), before);
}

TEST_F(FaderDeskTest, AMetaEntryIsHandedOnUnchanged) {
    // The output decides how many bytes a status carries; the surface must give it all three.
    LoopbackService reference;
    reference.addOutput("Reference");
    MidiSystem referenceSystem({&reference});
    TMidiOut referenceOut(referenceSystem);
    referenceOut.SetUsing(true);
    referenceOut.Put(0xFF, 0x08, 0x40);

    showBox();
    click("17");
    EXPECT_EQ(loopback.sent(0), reference.sent(0));
    ASSERT_FALSE(loopback.sent(0).empty());
    EXPECT_EQ(loopback.sent(0)[0], 0xFF);
    EXPECT_EQ(desk.LastControlId(), 1017);
}

TEST_F(FaderDeskTest, BankButtonsStepWithinOneToEightAndAlwaysWriteTheBankScreen) {
    showBox();
    const int lastControl = desk.LastControlId();
    click("Bank -");
    EXPECT_EQ(desk.CurrentBank(), 1);
    EXPECT_EQ(desk.LcdLines(), LcdScreens::BankScreen(1));
    for (int i = 0; i < 10; ++i)
        click("Bank +");
    EXPECT_EQ(desk.CurrentBank(), 8);
    EXPECT_EQ(desk.LcdLines()[1], " Bank Nr 8      ");
    EXPECT_EQ(caption(), LcdScreens::Joined(LcdScreens::BankScreen(8)));
    EXPECT_TRUE(loopback.sent(0).empty());
    EXPECT_EQ(desk.LastControlId(), lastControl);

    // Also over the level bars of mode 2.
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    ASSERT_EQ(desk.DisplayMode(), 2);
    click("Bank -");
    EXPECT_EQ(desk.CurrentBank(), 7);
    EXPECT_EQ(desk.LcdLines(), LcdScreens::BankScreen(7));
}

TEST_F(FaderDeskTest, KnobsKeepTheirRangeAfterABankChangeUntilTheNextShow) {
    image.SetPotMin(16, 5);
    image.SetPotMax(16, 20);
    showBox();
    dragKnob(0, 64);
    click("Bank +");
    EXPECT_EQ(knob(0)->Max(), 127);
    EXPECT_EQ(knob(0)->Position(), 64);
    loopback.clearSent(0);
    knob(0)->SetPosition(64);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x10, 64}));

    desk.ShowVirtualBox();
    EXPECT_EQ(knob(0)->Min(), 5);
    EXPECT_EQ(knob(0)->Max(), 20);
}

TEST_F(FaderDeskTest, ModeTwoDrawsLevelBarsOfBanksOneToFour) {
    showBox();
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    ASSERT_EQ(desk.DisplayMode(), 2);
    for (const std::string& line : desk.LcdLines())
        EXPECT_EQ(line, std::string(15, '\x01') + ' ');

    dragKnob(0, 127);
    const std::string bars = caption();
    EXPECT_EQ(bars[0], 15);
    EXPECT_EQ(bars.substr(1, 15), std::string(14, '\x01') + ' ');
    for (int i = 0; i < 4; ++i)
        click("Bank +");
    dragKnob(1, 127); // bank 5 has no bar
    EXPECT_EQ(caption(), bars);
}

TEST_F(FaderDeskTest, ModeThreeRewritesItsNoticeOnEveryTurn) {
    showBox();
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    ASSERT_EQ(desk.DisplayMode(), 3);
    EXPECT_EQ(desk.LcdLines()[0], " Display Mode 3 ");
    desk.SetLcdLine(0, "overwritten");
    dragKnob(3, 30);
    EXPECT_EQ(desk.LcdLines()[0], " Display Mode 3 ");
    EXPECT_EQ(desk.LcdLines()[1], "Not Implemented ");
    EXPECT_EQ(image.PotValue(3), 30);
}

TEST_F(FaderDeskTest, LcdClicksCycleToThePlainPanelAndBackKeepingTheText) {
    showBox();
    dragKnob(6, 90);
    click("5"); // not redrawn now, but the last control from here on
    const LcdScreen buttonScreen = LcdScreens::ButtonScreen(1005);

    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    EXPECT_EQ(desk.LcdLines(), LcdScreens::LevelBars(image)) << "mode 2 shows bars, not the button";
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    EXPECT_EQ(desk.DisplayMode(), 0);
    EXPECT_TRUE(desk.BackLightLCDPanel()->isHidden());
    EXPECT_TRUE(desk.LCDPanel()->isVisible());
    EXPECT_EQ(desk.LcdLines(), buttonScreen);
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(desk.LCDLine(n)->text().toStdString(), buttonScreen[n]);

    // Mode 0 writes the panel; the dot-matrix caption waits.
    dragKnob(6, 91);
    EXPECT_EQ(desk.LCDLine(3)->text(), "Value   : 91    ");

    QTest::mouseClick(desk.LCDLine(2), Qt::LeftButton);
    EXPECT_EQ(desk.DisplayMode(), 1);
    EXPECT_TRUE(desk.LCDPanel()->isHidden());
    EXPECT_TRUE(desk.BackLightLCDPanel()->isVisible());
    EXPECT_EQ(caption(), LcdScreens::Joined(LcdScreens::KnobScreen(6, 91)));
}

TEST_F(FaderDeskTest, DisplayModeAndVisibleLcdSurviveARebuild) {
    showBox();
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    ASSERT_EQ(desk.DisplayMode(), 0);
    desk.ShowVirtualBox();
    EXPECT_EQ(desk.DisplayMode(), 0);
    EXPECT_TRUE(desk.LCDPanel()->isVisible());
    EXPECT_EQ(desk.LCDLine(0)->text(), "  Initialized   ");

    QTest::mouseClick(desk.LCDPanel(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(desk.DisplayMode(), 1);
    // Exactly one step per click, even on a line inside the panel.
    QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton);
    EXPECT_EQ(desk.DisplayMode(), 2);
}

TEST_F(FaderDeskTest, SetLcdLineFitsTheTextAndKeepsEveryLineInItsRow) {
    // Before anything was written the other lines are empty; line 1 must still land in row 1.
    desk.SetLcdLine(1, "a much longer line than sixteen");
    desk.SetLcdLine(2, std::string_view("cut\0here", 8));
    EXPECT_EQ(desk.LcdLines()[1], "a much longer li");
    EXPECT_EQ(desk.LcdLines()[2], "cut             ");
    EXPECT_EQ(caption().size(), 64u);
    EXPECT_EQ(caption().substr(0, 48), std::string(16, ' ') + "a much longer licut             ");
}

TEST_F(FaderDeskTest, RightClicksHandTheEncoderAndButtonIdsToTheEditor) {
    std::vector<int> encoders;
    std::vector<int> buttons;
    desk.OnEditEncoder = [&](int id) { encoders.push_back(id); };
    desk.OnEditButton = [&](int id) { buttons.push_back(id); };
    showBox();
    click("Bank +");
    QTest::mouseClick(knob(3), Qt::RightButton);
    click("25", Qt::RightButton);
    EXPECT_EQ(encoders, std::vector<int>{19});
    EXPECT_EQ(buttons, std::vector<int>{25});
    EXPECT_TRUE(loopback.sent(0).empty()) << "a right click is no button click";

    // Left clicks and the bank buttons open nothing.
    QTest::mouseClick(knob(3), Qt::LeftButton);
    click("25");
    click("Bank -", Qt::RightButton);
    EXPECT_EQ(encoders.size(), 1u);
    EXPECT_EQ(buttons.size(), 1u);
    EXPECT_EQ(desk.CurrentBank(), 2);
}

TEST_F(FaderDeskTest, TeardownKeepsControlsItDidNotBuild) {
    auto* foreign = new QLabel("not a surface control", &desk);
    showBox();
    desk.TearDownSurface();
    EXPECT_EQ(foreign->parent(), &desk);
    EXPECT_TRUE(desk.findChildren<TKnob*>().isEmpty());
    EXPECT_TRUE(desk.findChildren<QPushButton*>().isEmpty());
    for (const auto& slot : desk.KnobTable())
        EXPECT_EQ(slot, nullptr);
}
