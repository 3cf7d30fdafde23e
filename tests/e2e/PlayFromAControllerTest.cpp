// Playing the on-screen box from a DAW or a controller: with "Virtual Motorized Encs" ticked the
// DAW's controller messages move the knobs, whose values go back to it; "Learn Enc" takes an
// encoder's event from the DAW; a preset picked from the shipped presets file gives an encoder
// its event and label, and the DAW then plays that knob.
#include "Session.h"

#include "PlatformServices.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using namespace korv;
using test::Bytes;

namespace {

class PlayFromAController : public test::Session {
protected:
    // The shipped presets file, found where an installed program finds a user's own copy.
    PlayFromAController() {
        const QString data = folder.filePath("data");
        EXPECT_TRUE(QDir().mkpath(data + "/korvanettesim"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(KORV_SHIPPED_PRESETS),
                                data + "/korvanettesim/korvttpresets.ini"));
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        startProgram();
        home.isEmpty() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", home);
    }
    // The program's output goes to the DAW, the DAW's output is the program's input.
    void patchTheDaw() {
        ui.pick("MIDIOutComboBox", QString::fromLatin1(midi::VirtualPortName));
        ui.pick("MIDIInComboBox", QStringLiteral("daw:out"));
        ASSERT_TRUE(form->MidiOut1().Using());
        ASSERT_TRUE(form->MidiIn1().Using());
        const std::string out = std::string(midi::VirtualPortName) + ":Out";
        ASSERT_TRUE(daw.connect(out, daw.inPort()));
        ASSERT_TRUE(daw.waitConnected(out, daw.inPort()));
        ASSERT_TRUE(daw.waitConnected(daw.outPort()));
    }
    // Lets what the program sent so far reach the DAW, and forgets it.
    void quiet() {
        std::size_t before = 0;
        do {
            before = daw.receivedCount();
            QTest::qWait(50);
        } while (daw.receivedCount() != before);
        daw.clear();
    }
    // The DAW plays `message` and gets `echo` back.
    void playAndHear(const Bytes& message, const Bytes& echo) {
        quiet();
        ASSERT_TRUE(daw.send(message));
        ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return daw.receivedCount() >= echo.size(); }))
            << "no echo of " << int(message[1]);
        EXPECT_EQ(daw.receivedBytes(), echo);
    }
    // Opens the drop-down list, moves to the item and takes it with Return, as a user picks
    // one name among many (stepping the closed selector would apply every preset on the way).
    void pickFromTheList(const char* selector, const QString& item) {
        auto* box = ui.child<QComboBox>(selector);
        const int index = box->findText(item);
        ASSERT_GE(index, 0);
        box->showPopup();
        QAbstractItemView* view = box->view();
        ASSERT_TRUE(view->isVisible());
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
        ASSERT_FALSE(view->isVisible());
        ASSERT_EQ(box->currentText(), item);
    }
    controls::TKnob& knob(int index) { return *form->FaderDesk().KnobTable().at(index); }

    test::JackPeer daw{server, "daw"};
};

} // namespace

TEST_F(PlayFromAController, TheDawMovesKnobsTeachesAnEncoderAndPlaysAPreset) {
    patchTheDaw();
    ui.click("ShowFaderDesk");
    ASSERT_TRUE(form->FaderDesk().isVisible());
    ui.toggle("vMotPots");
    ASSERT_TRUE(ui.child<QCheckBox>("vMotPots")->isChecked());
    // The surface's own refresh of its 16 knobs (48 messages) has gone out before the DAW plays.
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return daw.receivedCount() >= 48 * 3; }));

    // Encoder n of bank 1 sends controller n on channel 1 in the default settings.
    playAndHear({0xB0, 0x05, 0x40}, {0xB0, 0x05, 0x40});
    EXPECT_EQ(knob(5).Position(), 64);
    playAndHear({0xB0, 0x0F, 0x7F}, {0xB0, 0x0F, 0x7F});
    EXPECT_EQ(knob(15).Position(), 127);
    EXPECT_EQ(form->SettingsImage().PotValue(5), 64);
    EXPECT_EQ(form->SettingsImage().PotValue(15), 127);
    EXPECT_EQ(form->FaderDesk().LcdLines()[3], "Value   : 127   ");

    // Learned from the DAW: encoder 0 now sends controller 74 on channel 3.
    ui.child<QTabWidget>("PageControl1")->setCurrentWidget(ui.child("PotSettings"));
    ui.toggle("LearnPot");
    ASSERT_TRUE(daw.send({0xB2, 0x4A, 0x11}));
    ASSERT_TRUE(test::WindowDriver::waitUntil(
        [&] { return form->SettingsImage().DataByte(0) == 0x32; }));
    EXPECT_EQ(form->SettingsImage().DataByte(1), 0x4A);
    EXPECT_EQ(ui.text("PotByte0HEX"), "B2");
    ui.toggle("LearnPot");

    // A preset of the shipped file: volume with its label.
    ASSERT_TRUE(ui.child<QCheckBox>("PresetCopiesNameCheckBox")->isChecked());
    pickFromTheList("PotPresetName", QStringLiteral("Volume (CC 7): Volume"));
    const Bytes image = form->SettingsImage().Bytes();
    const Bytes entry(image.begin() + 6, image.begin() + 10);
    EXPECT_EQ(entry, (Bytes{0x30, 0x07, 0x00, 0x7F}));
    EXPECT_EQ(form->SettingsImage().LabelText(0), "Volume");
    EXPECT_EQ(ui.child<QLineEdit>("PotLabel")->text(), "Volume");
    EXPECT_EQ(knob(0).toolTip(), "Volume");

    // The DAW's volume moves the first knob and the eighth, which sends volume by default, in
    // encoder order; both values go back as volume, and the LCD shows the last one moved.
    playAndHear({0xB0, 0x07, 0x55}, {0xB0, 0x07, 0x55, 0xB0, 0x07, 0x55});
    EXPECT_EQ(knob(0).Position(), 0x55);
    EXPECT_EQ(knob(7).Position(), 0x55);
    EXPECT_EQ(form->FaderDesk().LcdLines()[1], "Knob ID : 7     ");
    EXPECT_EQ(daw.dropped(), 0u);
}
