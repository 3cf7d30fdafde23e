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
using korv::surface::LcdScreens;
using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<Bytes>;

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

    // "Show Virtual Box", forgetting what the refresh sent.
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
        ASSERT_NE(button(caption), nullptr) << caption.toStdString();
        QTest::mouseClick(button(caption), mouseButton);
    }
    void clickLcd() { QTest::mouseClick(desk.BackLightLCDPanel(), Qt::LeftButton); }

    // Press inside the circle, drag far out along the angle of `value`, release there.
    void dragKnob(int k, int value) {
        TKnob* kb = knob(k);
        const double degrees = 240.0 - (value - kb->Min()) * 300.0 / (kb->Max() - kb->Min());
        const double t = degrees * std::numbers::pi / 180.0;
        auto along = [&](double r) {
            return QPoint(20 + int(std::lround(r * std::cos(t))),
                          20 - int(std::lround(r * std::sin(t))));
        };
        QTest::mousePress(kb, Qt::LeftButton, {}, along(10));
        QTest::mouseMove(kb, along(1000));
        QTest::mouseRelease(kb, Qt::LeftButton, {}, along(1000));
        ASSERT_EQ(kb->Position(), value);
    }
    Bytes lastMessage() const {
        const Messages m = loopback.sentMessages(0);
        return m.empty() ? Bytes{} : m.back();
    }
    std::string caption() const { return desk.BackLightLCDPanel()->Caption().toStdString(); }
    std::string line(int n) const { return desk.LcdLines()[n]; }

    korv::model::SettingsImage image;
    LoopbackService loopback;
    MidiSystem system;
    TMidiOut out;
    korv::surface::TFaderDesk desk;
};

std::vector<int> runTimeTags(const QObject& desk) {
    std::vector<int> tags;
    for (QObject* child : desk.children())
        if (korv::surface::HasTag(child) && korv::surface::Tag(child) >= 0)
            tags.push_back(korv::surface::Tag(child));
    return tags;
}

} // namespace

TEST_F(FaderDeskTest, EveryShowRebuildsTheSameSurfaceInOrderAndPlace) {
    EXPECT_FALSE(desk.isVisible());
    EXPECT_TRUE(runTimeTags(desk).empty());
    EXPECT_TRUE(desk.LCDPanel()->isHidden());
    auto* foreign = new QLabel("not built by the surface", &desk);

    std::vector<int> order;
    for (int i = 0; i < 16; ++i)
        order.insert(order.end(), {i, i}); // value label, knob
    for (int t : {1001, 1002, 17, 18, 19, 20})
        order.push_back(t);
    for (int t = 0; t <= 15; ++t)
        order.push_back(t);
    for (int t = 25; t <= 40; ++t)
        order.push_back(t);
    for (int round = 0; round < 2; ++round) {
        desk.ShowVirtualBox();
        EXPECT_TRUE(desk.isVisible());
        EXPECT_EQ(desk.size(), QSize(860, 320));
        EXPECT_EQ(runTimeTags(desk), order);
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(knob(k), desk.findChild<TKnob*>(QString("Knob%1").arg(k)));
    }
    EXPECT_EQ(foreign->parent(), &desk);
    EXPECT_EQ(desk.Label1()->text(), "Hint: Right-Click To Edit Faders");

    EXPECT_EQ(knob(15)->geometry(), QRect(780, 120, 40, 40));
    EXPECT_EQ(knob(5)->PositionLabel()->geometry(), QRect(280, 160, 40, 20));
    EXPECT_EQ(button("20")->geometry(), QRect(188, 30, 25, 25));
    EXPECT_EQ(button("0")->geometry(), QRect(38, 200, 25, 25));
    EXPECT_EQ(button("40")->geometry(), QRect(788, 250, 25, 25));
    EXPECT_EQ(button("Bank -")->geometry(), QRect(625, 54, 100, 25));
    EXPECT_EQ(desk.BackLightLCDPanel()->geometry(), QRect(336, 16, 188, 72));
    EXPECT_EQ(desk.LCDPanel()->geometry(), QRect(358, 16, 145, 81));

    desk.TearDownSurface();
    EXPECT_TRUE(runTimeTags(desk).empty());
    EXPECT_EQ(knob(0), nullptr);
}

TEST_F(FaderDeskTest, RefreshLoadsTheKnobsOfTheCurrentBankAndSendsFortyEightEvents) {
    desk.ShowVirtualBox();
    const Messages sent = loopback.sentMessages(0);
    ASSERT_EQ(sent.size(), 48u);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(sent[k * 3 + 2], (Bytes{0xB0, std::uint8_t(k), 0}));
        EXPECT_EQ(knob(k)->Max(), 127);
        EXPECT_EQ(knob(k)->PositionLabel()->text(), "0 ");
    }
    EXPECT_EQ(knob(0)->toolTip(), "CC #  0        ");
    EXPECT_EQ(knob(0)->accessibleDescription(), "CC #  0        "); // for screen readers
    EXPECT_EQ(caption(), "  Initialized       Virtual        Korvanette     korvanettesim ");

    for (int k = 0; k < 16; ++k) {
        image.SetPotValue(32 + k, std::uint8_t(20 + k));
        image.SetPotMin(32 + k, 10);
        image.SetPotMax(32 + k, std::uint8_t(100 + k));
    }
    image.SetPotValue(34, 3);   // below its minimum
    image.SetLabelText(35, ""); // no hover hint
    click("Bank +");
    click("Bank +");
    showBox();
    EXPECT_EQ(knob(1)->Position(), 21);
    EXPECT_EQ(knob(15)->Min(), 10);
    EXPECT_EQ(knob(15)->Max(), 115);
    EXPECT_EQ(knob(0)->toolTip(), "CC # 32        ");
    EXPECT_TRUE(knob(3)->toolTip().isEmpty());
    EXPECT_EQ(knob(2)->Position(), 10);
    EXPECT_EQ(image.PotValue(34), 10) << "the clamped position is stored";
}

TEST_F(FaderDeskTest, AKnobTurnStoresSendsAndShowsTheEncoderOfTheCurrentBank) {
    showBox();
    dragKnob(0, 64);
    EXPECT_EQ(image.PotValue(0), 64);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x00, 0x40}));

    click("Bank +");
    dragKnob(2, 100);
    EXPECT_EQ(image.PotValue(18), 100);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x12, 100}));
    EXPECT_EQ(desk.LastControlId(), 18);
    EXPECT_EQ(line(0), "Encoder Moved   ");
    EXPECT_EQ(line(1), "Knob ID : 18    ");
    EXPECT_EQ(line(2), "Knob Nr : 2.3   ");
    EXPECT_EQ(line(3), "Value   : 100   ");
    EXPECT_EQ(caption(), "Encoder Moved   Knob ID : 18    Knob Nr : 2.3   Value   : 100   ");

    // The knob keeps bank 1's range until the next show, but plays bank 2 already.
    image.SetPotByte1(16, 127);
    image.SetPotMax(16, 20);
    knob(0)->SetPosition(127);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x7F, 0x7F}));
    // Every programmatic write sends, with the position the new range leaves.
    knob(0)->SetMax(50);
    EXPECT_EQ(lastMessage(), (Bytes{0xB0, 0x7F, 50}));
    EXPECT_EQ(image.PotValue(16), 50);
    desk.ShowVirtualBox();
    EXPECT_EQ(knob(0)->Max(), 20);

    out.SetUsing(false);
    loopback.clearSent(0);
    dragKnob(1, 77);
    EXPECT_EQ(image.PotValue(17), 77);
    EXPECT_EQ(line(3), "Value   : 77    ");
    EXPECT_TRUE(loopback.sent(0).empty());
}

TEST_F(FaderDeskTest, DamagedBytesNeverReachTheWireAsDataOrTheImageAsValues) {
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
    const auto before = desk.LcdLines();
    image.SetButtMode(5, 2); // TOGGLE: a setting for the box only
    for (const char* caption : {"0", "0", "17", "5", "5", "5"})
        click(caption);
    // "17" holds a meta event of the box: it goes out as stored, status and both data bytes.
    EXPECT_EQ(loopback.sentMessages(0), (std::vector<Bytes>{{0x90, 0x3C, 0x7F},
                                                            {0x90, 0x3C, 0x7F},
                                                            {0xFF, 0x08, 0x40},
                                                            {0x95, 0x3C, 0x7F},
                                                            {0x95, 0x3C, 0x7F},
                                                            {0x95, 0x3C, 0x7F}}));
    EXPECT_EQ(desk.LastControlId(), 1005);
    EXPECT_EQ(desk.LcdLines(), before);
}

TEST_F(FaderDeskTest, BankButtonsStepWithinOneToEightAndWriteTheBankScreenInEveryMode) {
    showBox();
    const int lastControl = desk.LastControlId();
    click("Bank -");
    EXPECT_EQ(desk.CurrentBank(), 1);
    EXPECT_EQ(line(1), " Bank Nr 1      ");
    for (int i = 0; i < 10; ++i)
        click("Bank +");
    EXPECT_EQ(desk.CurrentBank(), 8);
    EXPECT_EQ(caption(), "                 Bank Nr 8       Selected                       ");
    EXPECT_TRUE(loopback.sent(0).empty());
    EXPECT_EQ(desk.LastControlId(), lastControl);

    clickLcd();
    ASSERT_EQ(desk.DisplayMode(), 2);
    click("Bank -");
    EXPECT_EQ(desk.CurrentBank(), 7);
    EXPECT_EQ(line(1), " Bank Nr 7      ");
}

TEST_F(FaderDeskTest, ModesTwoAndThreeDrawBarsAndTheNoticeOnEveryTurn) {
    showBox();
    click("5"); // the last control now, yet mode 2 shows bars
    clickLcd();
    ASSERT_EQ(desk.DisplayMode(), 2);
    std::string noBars;
    for (int l = 0; l < 4; ++l)
        noBars += std::string(15, '\x01') + ' ';
    EXPECT_EQ(caption(), noBars);
    dragKnob(0, 127);
    const std::string bars = caption();
    EXPECT_EQ(bars[0], 15);
    EXPECT_EQ(bars[1], 1);
    for (int i = 0; i < 4; ++i)
        click("Bank +");
    dragKnob(1, 127); // bank 5 has no bar
    EXPECT_EQ(caption(), bars);

    clickLcd();
    ASSERT_EQ(desk.DisplayMode(), 3);
    desk.SetLcdLine(0, "overwritten");
    dragKnob(3, 30);
    EXPECT_EQ(desk.LcdLines(),
              (korv::surface::LcdScreen{" Display Mode 3 ", "Not Implemented ", "   Yet !!!!!!   ",
                                        std::string(16, ' ')}));
}

TEST_F(FaderDeskTest, LcdClicksCycleOntoThePlainPanelAndBackAcrossRebuilds) {
    showBox();
    click("25");
    for (int i = 0; i < 3; ++i)
        clickLcd();
    EXPECT_EQ(desk.DisplayMode(), 0);
    EXPECT_TRUE(desk.BackLightLCDPanel()->isHidden());
    EXPECT_TRUE(desk.LCDPanel()->isVisible());
    EXPECT_EQ(desk.LCDLine(0)->text(), "Button Pushed   ");
    EXPECT_EQ(desk.LCDLine(2)->text(), "Number : 1.25   ");

    desk.ShowVirtualBox();
    EXPECT_EQ(desk.DisplayMode(), 0);
    EXPECT_TRUE(desk.LCDPanel()->isVisible());
    dragKnob(6, 91);
    EXPECT_EQ(desk.LCDLine(3)->text(), "Value   : 91    ");

    // A click on a line inside the panel is one click: back to mode 1 with the same text.
    QTest::mouseClick(desk.LCDLine(2), Qt::LeftButton);
    EXPECT_EQ(desk.DisplayMode(), 1);
    EXPECT_TRUE(desk.LCDPanel()->isHidden());
    EXPECT_TRUE(desk.BackLightLCDPanel()->isVisible());
    EXPECT_EQ(caption(), "Encoder Moved   Knob ID : 6     Knob Nr : 1.7   Value   : 91    ");
}

TEST_F(FaderDeskTest, SetLcdLineKeepsEveryLineInItsRowBeforeTheFirstBuild) {
    desk.SetLcdLine(1, "a much longer line than sixteen");
    desk.SetLcdLine(2, std::string_view("cut\0here", 8));
    EXPECT_EQ(line(1), "a much longer li");
    EXPECT_EQ(caption(), std::string(16, ' ') + "a much longer licut" + std::string(29, ' '));
    // There are four lines, 0 to 3.
    desk.SetLcdLine(4, "no fifth line");
    desk.SetLcdLine(-1, "nor one before");
    EXPECT_EQ(caption(), std::string(16, ' ') + "a much longer licut" + std::string(29, ' '));
}

TEST_F(FaderDeskTest, RightClicksHandEncoderAndButtonIdsToTheEditor) {
    std::vector<int> encoders;
    std::vector<int> buttons;
    desk.OnEditEncoder = [&](int id) { encoders.push_back(id); };
    desk.OnEditButton = [&](int id) { buttons.push_back(id); };
    showBox();
    click("Bank +");
    QTest::mouseClick(knob(3), Qt::RightButton);
    click("25", Qt::RightButton);
    QTest::mouseClick(knob(3), Qt::LeftButton);
    click("25");
    click("Bank -", Qt::RightButton);
    EXPECT_EQ(encoders, std::vector<int>{19});
    EXPECT_EQ(buttons, std::vector<int>{25});
    EXPECT_EQ(loopback.sentMessages(0).size(), 2u) << "the left clicks only";
    EXPECT_EQ(desk.CurrentBank(), 2);
}

TEST_F(FaderDeskTest, TheWindowAndItsStartUpScreens) {
    EXPECT_EQ(desk.windowTitle(), "Virtual Korvane : Vantu's FaderDesk");
    EXPECT_EQ(desk.objectName(), "FaderDesk");
    // Built but not yet shown: the initializing screen.
    desk.BuildSurface();
    EXPECT_EQ(desk.LcdLines(), (korv::surface::LcdScreen{"  Initializing  ", "    Virtual     ",
                                                         "   Korvanette   ", "  korvanettesim "}));
    EXPECT_EQ(caption(), "  Initializing      Virtual        Korvanette     korvanettesim ");
    desk.TearDownSurface();
    desk.ShowVirtualBox();
    EXPECT_EQ(desk.LcdLines(), (korv::surface::LcdScreen{"  Initialized   ", "    Virtual     ",
                                                         "   Korvanette   ", "  korvanettesim "}));
}

// The refresh of bank 2 with a real range: position, then minimum, then maximum of each knob
// pass through the engine, 48 messages in knob order.
TEST_F(FaderDeskTest, TheRefreshOfABankSendsFortyEightEventsByteForByte) {
    for (int k = 0; k < 16; ++k) {
        image.SetPotStatus(16 + k, 0xB2);
        image.SetPotByte1(16 + k, std::uint8_t(0x20 + k));
        image.SetPotValue(16 + k, 5);
        image.SetPotMin(16 + k, 10);
        image.SetPotMax(16 + k, 100);
    }
    image.SetPotValue(17, 0x40);
    image.SetPotValue(18, 0x70); // above its maximum
    image.SetPotStatus(19, 0x95);
    desk.BankUp();
    desk.ShowVirtualBox();
    const Messages sent = loopback.sentMessages(0);
    ASSERT_EQ(sent.size(), 48u);
    // Per knob: position, minimum and maximum written, each sending the position it leaves:
    // a position below the minimum is raised, one above the maximum pulled down.
    const Messages expected{
        {0xB2, 0x20, 0x05}, {0xB2, 0x20, 0x0A}, {0xB2, 0x20, 0x0A}, // 5, then raised to 10
        {0xB2, 0x21, 0x40}, {0xB2, 0x21, 0x40}, {0xB2, 0x21, 0x40},
        {0xB2, 0x22, 0x70}, {0xB2, 0x22, 0x70}, {0xB2, 0x22, 0x64}, // pulled down to 100
        {0x95, 0x23, 0x05}, {0x95, 0x23, 0x0A}, {0x95, 0x23, 0x0A},
        {0xB2, 0x24, 0x05}, {0xB2, 0x24, 0x0A}, {0xB2, 0x24, 0x0A},
        {0xB2, 0x25, 0x05}, {0xB2, 0x25, 0x0A}, {0xB2, 0x25, 0x0A},
        {0xB2, 0x26, 0x05}, {0xB2, 0x26, 0x0A}, {0xB2, 0x26, 0x0A},
        {0xB2, 0x27, 0x05}, {0xB2, 0x27, 0x0A}, {0xB2, 0x27, 0x0A},
        {0xB2, 0x28, 0x05}, {0xB2, 0x28, 0x0A}, {0xB2, 0x28, 0x0A},
        {0xB2, 0x29, 0x05}, {0xB2, 0x29, 0x0A}, {0xB2, 0x29, 0x0A},
        {0xB2, 0x2A, 0x05}, {0xB2, 0x2A, 0x0A}, {0xB2, 0x2A, 0x0A},
        {0xB2, 0x2B, 0x05}, {0xB2, 0x2B, 0x0A}, {0xB2, 0x2B, 0x0A},
        {0xB2, 0x2C, 0x05}, {0xB2, 0x2C, 0x0A}, {0xB2, 0x2C, 0x0A},
        {0xB2, 0x2D, 0x05}, {0xB2, 0x2D, 0x0A}, {0xB2, 0x2D, 0x0A},
        {0xB2, 0x2E, 0x05}, {0xB2, 0x2E, 0x0A}, {0xB2, 0x2E, 0x0A},
        {0xB2, 0x2F, 0x05}, {0xB2, 0x2F, 0x0A}, {0xB2, 0x2F, 0x0A},
    };
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(image.PotValue(16), 10);
    EXPECT_EQ(image.PotValue(18), 100);
    EXPECT_EQ(knob(2)->PositionLabel()->text(), "100 ");
    EXPECT_EQ(knob(15)->Min(), 10);
    EXPECT_EQ(knob(15)->Max(), 100);
    EXPECT_EQ(desk.LastControlId(), 31);
}

// F0 and F7 on the wire would open or close a SysEx for every receiver: such an entry shows its
// screen and stores its value, but sends nothing. Other meta statuses go out as stored.
TEST_F(FaderDeskTest, MetaEntriesWithSysExStatusesSendNothing) {
    image.SetPotStatus(0, 0xF0);
    image.SetPotStatus(1, 0xF7);
    image.SetPotStatus(2, 0xF8);
    image.SetButtStatus(0, 0xF0);
    image.SetButtStatus(1, 0xF7);
    showBox();
    dragKnob(0, 50);
    dragKnob(1, 60);
    EXPECT_EQ(image.PotValue(0), 50);
    EXPECT_EQ(image.PotValue(1), 60);
    EXPECT_EQ(line(1), "Knob ID : 1     ");
    EXPECT_EQ(line(3), "Value   : 60    ");
    click("0");
    click("1");
    EXPECT_EQ(desk.LastControlId(), 1001);
    EXPECT_TRUE(loopback.sent(0).empty());
    dragKnob(2, 70);
    EXPECT_EQ(lastMessage(), (Bytes{0xF8, 0x02, 70}));
    click("17");
    EXPECT_EQ(lastMessage(), (Bytes{0xFF, 0x08, 0x40}));
}

// A damaged dump may hold bounds above 127: the knob gets 127 at most, so what it shows is what
// is stored and sent.
TEST_F(FaderDeskTest, BoundsAbove127AreClampedWhenTheKnobsAreLoaded) {
    image.SetDataByte(2, 150); // Min of encoder 0
    image.SetDataByte(3, 250); // Max of encoder 0
    image.SetDataByte(4 + 3, 200);
    image.SetPotValue(1, 90);
    desk.ShowVirtualBox();
    EXPECT_EQ(knob(0)->Min(), 127);
    EXPECT_EQ(knob(0)->Max(), 127);
    EXPECT_EQ(knob(0)->Position(), 127);
    EXPECT_EQ(knob(0)->PositionLabel()->text(), "127 ");
    EXPECT_EQ(image.PotValue(0), 127);
    EXPECT_EQ(loopback.sentMessages(0)[2], (Bytes{0xB0, 0x00, 0x7F}));
    EXPECT_EQ(knob(1)->Max(), 127);
    EXPECT_EQ(knob(1)->PositionLabel()->text(), "90 ");
}

TEST_F(FaderDeskTest, TheButtonScreenAndTheBankScreenInModeZero) {
    showBox();
    click("5");
    for (int i = 0; i < 3; ++i)
        clickLcd();
    ASSERT_EQ(desk.DisplayMode(), 0);
    EXPECT_EQ(desk.LCDLine(0)->text(), "Button Pushed   ");
    EXPECT_EQ(desk.LCDLine(1)->text(), "                ");
    EXPECT_EQ(desk.LCDLine(2)->text(), "Number : 1.5    ");
    EXPECT_EQ(desk.LCDLine(3)->text(), "--------------- ");

    click("Bank +");
    EXPECT_EQ(desk.LCDLine(0)->text(), "                ");
    EXPECT_EQ(desk.LCDLine(1)->text(), " Bank Nr 2      ");
    EXPECT_EQ(desk.LCDLine(2)->text(), " Selected       ");
    EXPECT_EQ(desk.LCDLine(3)->text(), "                ");
    EXPECT_TRUE(desk.BackLightLCDPanel()->isHidden());
    click("Bank -");
    EXPECT_EQ(desk.LCDLine(1)->text(), " Bank Nr 1      ");
}

// The design of the window: the dot-matrix LCD as the box's display, the plain panel with its
// four lines, and the names a screen reader and the tests find the controls by.
TEST_F(FaderDeskTest, TheDesignTimeLcdsAndTheNamesOfEveryControl) {
    const korv::controls::TLCDLabel* lcd = desk.BackLightLCDPanel();
    EXPECT_EQ(lcd->DotMatrix(), korv::controls::TDotMatrix::Hitachi);
    EXPECT_EQ(lcd->PixelSize(), korv::controls::TPixelSize::pix1x1);
    EXPECT_EQ(lcd->PixelSpacing(), 1);
    EXPECT_EQ(lcd->CharSpacing(), 2);
    EXPECT_EQ(lcd->LineSpacing(), 2);
    EXPECT_EQ(lcd->BorderSpace(), 6);
    EXPECT_EQ(lcd->TextLines(), 4);
    EXPECT_EQ(lcd->NoOfChars(), 16);
    EXPECT_EQ(lcd->BackGround(), QColor(0, 0, 128));
    EXPECT_EQ(lcd->PixelOn(), QColor(255, 255, 0));
    EXPECT_EQ(lcd->PixelOff(), QColor(128, 0, 128));
    EXPECT_EQ(lcd->geometry(), QRect(336, 16, 188, 72));
    EXPECT_EQ(lcd->objectName(), "BackLightLCDPanel");
    EXPECT_EQ(korv::surface::Tag(lcd), -10);
    EXPECT_EQ(korv::surface::Tag(desk.Label1()), -1);
    EXPECT_EQ(desk.Label1()->pos(), QPoint(0, 0));
    EXPECT_EQ(desk.Label1()->text(), "Hint: Right-Click To Edit Faders");
    EXPECT_EQ(desk.Label1()->accessibleName(), "Hint: Right-Click To Edit Faders");

    QFrame* panel = desk.LCDPanel();
    EXPECT_EQ(panel->objectName(), "LCDPanel");
    EXPECT_EQ(korv::surface::Tag(panel), -10);
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(panel->frameShape(), QFrame::Box);
    EXPECT_EQ(panel->lineWidth(), 1);
    for (int n = 0; n < 4; ++n) {
        QLabel* line = desk.LCDLine(n);
        EXPECT_EQ(line->objectName(), QString("LCDLine%1").arg(n));
        EXPECT_EQ(line->accessibleName(), QString("LCD line %1").arg(n + 1));
        EXPECT_EQ(line->geometry(), QRect(9, 8 + 16 * n, 135, 16));
        EXPECT_EQ(line->font().pixelSize(), 12);
        EXPECT_TRUE(line->font().fixedPitch());
    }

    desk.ShowVirtualBox();
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(knob(k)->accessibleName(), QString("Knob %1").arg(k + 1));
        EXPECT_EQ(knob(k)->PositionLabel()->objectName(), QString("ValueLabel%1").arg(k));
        EXPECT_EQ(knob(k)->PositionLabel()->accessibleName(), QString("Knob %1 value").arg(k + 1));
    }
    for (int id : {0, 17, 20, 25, 40}) {
        const QPushButton* b = button(QString::number(id));
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->objectName(), QString("EventButton%1").arg(id));
        EXPECT_EQ(b->accessibleName(), QString::number(id));
        EXPECT_EQ(korv::surface::Tag(b), id);
    }
    EXPECT_EQ(button("Bank +")->objectName(), "BankUpButton");
    EXPECT_EQ(button("Bank -")->objectName(), "BankDownButton");
    EXPECT_EQ(korv::surface::Tag(button("Bank +")), 1001);
    EXPECT_EQ(korv::surface::Tag(button("Bank -")), 1002);
    EXPECT_EQ(button("Bank +")->geometry(), QRect(625, 22, 100, 25));
}
