// Playing the on-screen box into a DAW: the program's own port and the DAW's JACK port are picked
// on the File page, "Show Virtual Box" opens the surface, knobs are dragged in two banks and
// buttons clicked with the mouse; the DAW receives exactly the events of the default settings.
#include "Session.h"

#include "PlatformServices.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <QTest>

using namespace korv;
using test::Bytes;

namespace {

class PlayTheSurface : public test::Session {
protected:
    PlayTheSurface() { startProgram(); }

    surface::TFaderDesk& desk() { return form->FaderDesk(); }
    void clickOnSurface(const char* name) {
        auto* w = desk().findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        QTest::mouseClick(w, Qt::LeftButton);
    }
    // Points at `from` on the 40 x 40 knob, presses, drags to `to` and lets go there.
    void drag(int knobIndex, QPoint from, QPoint to) {
        controls::TKnob* knob = desk().KnobTable().at(knobIndex);
        ASSERT_NE(knob, nullptr);
        QTest::mouseMove(knob, from);
        QTest::mousePress(knob, Qt::LeftButton, {}, from);
        QTest::mouseMove(knob, to);
        QTest::mouseRelease(knob, Qt::LeftButton, {}, to);
    }
    bool dawReceived(std::size_t count) {
        return test::WindowDriver::waitUntil([&] { return daw.receivedCount() >= count; });
    }

    test::JackPeer daw{server, "daw"};
};

// Straight up on the knob is 63 of 0 to 127, straight right 102, straight left 25.
const QPoint Up(20, 4), Right(36, 20), Left(4, 20);

} // namespace

TEST_F(PlayTheSurface, KnobsInTwoBanksAndButtonsReachTheDawAsTheDefaultSettingsSay) {
    const QString own = QString::fromLatin1(midi::VirtualPortName);
    ui.pick("MIDIOutComboBox", own);
    EXPECT_EQ(ui.text("StatusLabel"), "MIDI OUT Port Selected ...");
    ui.pick("MIDIInComboBox", QStringLiteral("daw:out"));
    EXPECT_EQ(ui.text("StatusLabel"), "MIDI IN Port Selected ...");
    ASSERT_TRUE(form->MidiOut1().Using());
    ASSERT_TRUE(form->MidiIn1().Using());
    // The DAW takes the program's output, as a user patches it in the DAW.
    const std::string out = std::string(midi::VirtualPortName) + ":Out";
    ASSERT_TRUE(daw.connect(out, daw.inPort()));
    ASSERT_TRUE(daw.waitConnected(out, daw.inPort()));
    ASSERT_TRUE(daw.waitConnected(daw.outPort()));

    ui.click("ShowFaderDesk");
    ASSERT_TRUE(desk().isVisible());
    // Each of the 16 knobs gets position, minimum and maximum, and sends its event each time.
    Bytes refresh;
    for (std::uint8_t k = 0; k < 16; ++k)
        for (int write = 0; write < 3; ++write)
            refresh.insert(refresh.end(), {0xB0, k, 0x00});
    ASSERT_TRUE(dawReceived(refresh.size()));
    EXPECT_EQ(daw.receivedBytes(), refresh);
    daw.clear();

    drag(0, Up, Right);             // bank 1, knob 1: controller 0
    clickOnSurface("EventButton0"); // note on, channel 1, note 60
    clickOnSurface("EventButton17");
    clickOnSurface("BankUpButton"); // sends nothing
    ASSERT_EQ(desk().CurrentBank(), 2);
    drag(4, Up, Left); // bank 2, knob 5: encoder 20, controller 20
    clickOnSurface("EventButton25");
    clickOnSurface("EventButton20");
    clickOnSurface("EventButton0");

    const Bytes expected{
        0xB0, 0x00, 0x3F, 0xB0, 0x00, 0x66, // press at 63, drag to 102; the release adds nothing
        0x90, 0x3C, 0x7F,                   // button 0
        0xFF, 0x08, 0x40,                   // button 17: a meta event entry goes out unchanged
        0xB0, 0x14, 0x3F, 0xB0, 0x14, 0x19, // 63, then 25
        0xFF, 0x7F, 0x7F,                   // button 25
        0x90, 0x40, 0x7F,                   // button 20: note 64
        0x90, 0x3C, 0x7F,                   // button 0 again, the same message
    };
    ASSERT_TRUE(dawReceived(expected.size()));
    QTest::qWait(50); // nothing more may follow
    EXPECT_EQ(daw.receivedBytes(), expected);
    EXPECT_EQ(daw.events().size(), expected.size() / 3) << "one event per message";
    EXPECT_EQ(daw.dropped(), 0u);

    // The values are in the settings and the LCD shows the last knob.
    const Bytes settings = form->SettingsImage().Bytes();
    EXPECT_EQ(settings[6 + 0x600 + 0], 102);
    EXPECT_EQ(settings[6 + 0x600 + 20], 25);
    EXPECT_EQ(desk().LcdLines()[1], "Knob ID : 20    ");
    EXPECT_EQ(desk().LcdLines()[2], "Knob Nr : 2.5   ");
    EXPECT_EQ(desk().LcdLines()[3], "Value   : 25    ");
    EXPECT_EQ(desk().findChild<QLabel*>("ValueLabel4")->text(), "25 ");
}
