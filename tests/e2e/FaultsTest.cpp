// What real use throws at the program: the JACK server killed in the middle of a paced send or
// of a reception, the device's program quitting, another program undoing a connection, a
// dump file of a gigabyte. The window stays alive, the status line says what happened, and the
// settings are what they were.
#include "Session.h"

#include "PlatformServices.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <QPushButton>
#include <QSpinBox>

#include <memory>
#include <unistd.h>

using namespace korv;
using test::Bytes;

namespace {

constexpr const char* ServerGone = "The JACK server went away: its MIDI ports no longer work";

class Faults : public test::Session {
protected:
    Faults() { startProgram(); }

    // The window's ports are the program's own, and the box is connected to them.
    void connectBoxToOwnPorts() {
        ui.pick("MIDIOutComboBox", QString::fromLatin1(midi::VirtualPortName));
        ui.pick("MIDIInComboBox", QString::fromLatin1(midi::VirtualPortName));
        const std::string out = std::string(midi::VirtualPortName) + ":Out";
        const std::string in = std::string(midi::VirtualPortName) + ":In";
        ASSERT_TRUE(box->connect(out, box->inPort()));
        ASSERT_TRUE(box->connect(box->outPort(), in));
        ASSERT_TRUE(box->waitConnected(out, box->inPort()));
        ASSERT_TRUE(box->waitConnected(box->outPort(), in));
    }
    bool statusBecomes(const char* text) {
        return test::WindowDriver::waitUntil(
            [&] { return ui.text("StatusLabel") == QLatin1String(text); }, 10000);
    }
    // The window still answers a user: the test knob turns with the keys.
    void windowStillAnswers() {
        ui.child("TestKnob")->setFocus();
        QTest::keyClick(ui.child("TestKnob"), Qt::Key_Up);
        EXPECT_EQ(ui.child("VantuURLLabel")->x(), 17);
    }

    std::unique_ptr<test::JackPeer> box = std::make_unique<test::JackPeer>(server, "box");
};

} // namespace

TEST_F(Faults, TheServerKilledDuringAPacedSendIsToldAndTheSettingsStay) {
    connectBoxToOwnPorts();
    ui.type("SysexSendSpeed", "1000");
    ui.click("SlowSendToKorvane");
    const Bytes settings = form->SettingsImage().Bytes();
    ASSERT_TRUE(box->waitForBytes(600));
    server.kill();
    ASSERT_TRUE(statusBecomes(ServerGone)) << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(ui.statusColor(), QColor(255, 0, 0));
    windowStillAnswers();
    // The send can be ended, and the ports closed, without waiting on the dead server.
    ui.click("CancelTransfer");
    EXPECT_TRUE(ui.text("StatusLabel").startsWith("Sysex Send cancelled after "))
        << ui.text("StatusLabel").toStdString();
    ui.pick("MIDIOutComboBox", QStringLiteral("None"));
    EXPECT_EQ(ui.text("StatusLabel"), "No MIDI OUT Port Selected");
    EXPECT_EQ(form->SettingsImage().Bytes(), settings);
}

TEST_F(Faults, TheServerKilledDuringAReceptionIsToldAndTheSettingsStay) {
    connectBoxToOwnPorts();
    const Bytes before = form->SettingsImage().Bytes();
    Bytes dump = test::defaultDump();
    dump[6 + 0x603] = 0x51;
    // The first half of the box's answer, then the server dies.
    for (std::size_t at = 0; at < 2048; at += 256)
        ASSERT_TRUE(box->send(Bytes(dump.begin() + std::ptrdiff_t(at),
                                    dump.begin() + std::ptrdiff_t(at + 256))));
    ASSERT_TRUE(test::WindowDriver::waitUntil(
        [&] { return ui.text("SysexReceiveCount") == "2055"; }))
        << ui.text("SysexReceiveCount").toStdString();
    server.kill();
    ASSERT_TRUE(statusBecomes(ServerGone)) << ui.text("StatusLabel").toStdString();
    windowStillAnswers();
    ui.click("CancelTransfer");
    EXPECT_EQ(ui.text("StatusLabel"), "Reception cancelled: the settings are as they were");
    EXPECT_EQ(form->SettingsImage().Bytes(), before);
}

TEST_F(Faults, ADevicePortThatGoesOrIsDisconnectedIsTold) {
    ui.pick("MIDIOutComboBox", QStringLiteral("box:in"));
    ui.pick("MIDIInComboBox", QStringLiteral("box:out"));
    ASSERT_EQ(form->MidiOut1().OpenResult(), 0);
    ASSERT_EQ(form->MidiIn1().OpenResult(), 0);
    ASSERT_TRUE(box->waitConnected(box->inPort()));
    ASSERT_TRUE(box->waitConnected(box->outPort()));

    // A patchbay undoes the connection to the device's input.
    const std::string own = std::string(midi::VirtualPortName) + ":to device 1";
    ASSERT_TRUE(box->disconnect(own, box->inPort()));
    ASSERT_TRUE(statusBecomes("The MIDI OUT port \"box:in\" was disconnected by another program: "
                              "pick it again to reconnect"))
        << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(ui.statusColor(), QColor(255, 0, 0));

    // The device's program quits: both of its ports go.
    box.reset();
    ASSERT_TRUE(statusBecomes("The MIDI OUT port \"box:in\" has gone: pick it again once it is "
                              "back, or pick another"))
        << ui.text("StatusLabel").toStdString();
    ASSERT_TRUE(statusBecomes("The MIDI IN port \"box:out\" has gone: pick it again once it is "
                              "back, or pick another"))
        << ui.text("StatusLabel").toStdString();
    windowStillAnswers();
    ui.pick("MIDIOutComboBox", QStringLiteral("box:in"));
    EXPECT_EQ(ui.text("StatusLabel"), "MIDI OUT Port not ready!");
}

TEST_F(Faults, TheOwnPortLeftWithoutConnectionsIsTold) {
    ui.pick("MIDIOutComboBox", QString::fromLatin1(midi::VirtualPortName));
    const std::string out = std::string(midi::VirtualPortName) + ":Out";
    // Nothing connected yet is the normal start: nothing is said.
    QTest::qWait(700);
    EXPECT_EQ(ui.text("StatusLabel"), "MIDI OUT Port Selected ...");
    ASSERT_TRUE(box->connect(out, box->inPort()));
    ASSERT_TRUE(box->waitConnected(out, box->inPort()));
    QTest::qWait(700);
    ASSERT_TRUE(box->disconnect(out, box->inPort()));
    ASSERT_TRUE(statusBecomes(
        "Nothing is connected to the MIDI OUT port \"Virtual Korvanette\" any more"))
        << ui.text("StatusLabel").toStdString();
}

TEST_F(Faults, AGigabyteFileLoadsItsFirstDumpAndSaysTheRestWasLeftOut) {
    const QString path = file("huge.syx");
    Bytes dump = test::defaultDump();
    dump[6 + 0x603] = 0x51;
    test::writeFile(path, dump);
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 1LL << 30), 0); // sparse
    dialogs.choose(path);
    ui.click("OpenSysex");
    EXPECT_EQ(form->SettingsImage().Bytes(), dump);
    EXPECT_EQ(ui.text("StatusLabel"),
              "huge.syx: 1,073,741,824 bytes: only the first 4,103 are read, the last "
              "1,073,737,721 bytes are left out");
}
