// The main window with a box played by a real JACK client on a private JACK server: the box
// answers "Request Sysex Dump" with its dump, a paced send reaches it byte for byte, a cancelled
// send leaves it out of its SysEx, a verify reads the box back, and the box's controllers move
// the knobs of the surface, whose values go back to it.
#include "TForm1.h"

#include "JackTestServer.h"
#include "MidiSystem.h"
#include "PlatformServices.h"
#include "RecordingDialogs.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "WindowDriver.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

namespace {

class DumpJack : public ::testing::Test {
protected:
    DumpJack() {
        system = midi::MidiSystem::createDefault();
        form = std::make_unique<app::TForm1>(*system);
        ui.window = form.get();
    }
    // The window uses the program's own port; the box is connected to it.
    void connectBox() {
        ui.pick("MIDIOutComboBox", QString::fromLatin1(midi::VirtualPortName));
        ui.pick("MIDIInComboBox", QString::fromLatin1(midi::VirtualPortName));
        ASSERT_EQ(form->MidiOut1().OpenResult(), 0);
        ASSERT_EQ(form->MidiIn1().OpenResult(), 0);
        const std::string out = std::string(midi::VirtualPortName) + ":Out";
        const std::string in = std::string(midi::VirtualPortName) + ":In";
        ASSERT_TRUE(box.connect(out, box.inPort()));
        ASSERT_TRUE(box.connect(box.outPort(), in));
        ASSERT_TRUE(box.waitConnected(out, box.inPort()));
        ASSERT_TRUE(box.waitConnected(box.outPort(), in));
    }
    // Lets the window run while the box's bytes come in.
    bool boxReceived(std::size_t count) {
        return test::WindowDriver::waitUntil([&] { return box.receivedCount() >= count; });
    }

    // A paced send at the fastest speed; returns the bytes as the save step left them.
    Bytes sendFast() {
        ui.type("SysexSendSpeed", "1000");
        ui.click("SlowSendToKorvane");
        return form->SettingsImage().Bytes();
    }
    // The box takes the dump and then the verify's request, and answers with `answer`.
    void answerVerify(const Bytes& sent, Bytes answer) {
        ASSERT_TRUE(boxReceived(4103 + 7));
        const Bytes got = box.receivedBytes();
        EXPECT_EQ(Bytes(got.begin(), got.begin() + 4103), sent);
        EXPECT_EQ(Bytes(got.begin() + 4103, got.end()),
                  (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7}));
        EXPECT_EQ(ui.text("StatusLabel"), "Verify: asking the box for its dump ...");
        box.clear();
        ASSERT_TRUE(box.send(answer));
    }
    bool statusIs(const char* text) {
        return test::WindowDriver::waitUntil(
            [&] { return ui.text("StatusLabel") == QLatin1String(text); });
    }

    test::JackTestServer server;
    test::JackPeer box{server, "box"};
    test::RecordingDialogs dialogs;
    std::unique_ptr<midi::MidiSystem> system;
    std::unique_ptr<app::TForm1> form;
    test::WindowDriver ui;
};

} // namespace

TEST_F(DumpJack, TheBoxAnswersADumpRequestAndTheEditorShowsItsSettings) {
    connectBox();
    ui.click("RequestSysexDump");
    ASSERT_TRUE(boxReceived(7));
    EXPECT_EQ(box.receivedBytes(), (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7}));

    model::SettingsImage boxSettings;
    boxSettings.SetPotByte1(17, 0x33);
    boxSettings.SetLabelText(0, "Box Label");
    boxSettings.SetBankName("Live Set");
    const Bytes dump = boxSettings.Bytes();
    ASSERT_TRUE(box.send(dump));
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] {
        return ui.text("SysexReceiveCount") == "Done !!";
    })) << ui.text("SysexReceiveCount").toStdString();
    EXPECT_EQ(form->SettingsImage().Bytes(), dump);
    EXPECT_EQ(ui.text("StatusLabel"), "Receiving Korvanette data !");
    EXPECT_EQ(ui.child<QLineEdit>("PotLabel")->text(), "Box Label");
    EXPECT_EQ(ui.child<QLineEdit>("BankNameEdit")->text(), "Live Set");
    ui.type("PotNumber", "17");
    EXPECT_EQ(ui.text("PotByte1HEX"), "33");
}

TEST_F(DumpJack, APacedSendAtSpeed1000ArrivesByteForByte) {
    connectBox();
    ui.type("SysexSendSpeed", "1000");
    ui.type("DeviceID", "5");
    ui.type("PotNumber", "3");
    ui.type("PotMax", "100");
    ui.click("SlowSendToKorvane");
    const Bytes sent = form->SettingsImage().Bytes();
    EXPECT_EQ(sent[5], 0x52);
    EXPECT_EQ(sent[6 + 3 * 4 + 3], 100);

    ASSERT_TRUE(boxReceived(4103));
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return ui.text("BytesToSend") == "0"; }));
    EXPECT_EQ(box.receivedBytes(), sent);
    EXPECT_EQ(box.dropped(), 0u);
}

TEST_F(DumpJack, AControllerFromTheBoxMovesItsKnobAndTheValueGoesBack) {
    connectBox();
    ui.click("ShowFaderDesk");
    ui.toggle("vMotPots");
    // Building the surface sends every knob of bank 1 three times.
    ASSERT_TRUE(boxReceived(48 * 3));
    EXPECT_EQ(box.receivedCount(), 48U * 3);
    box.clear();

    ASSERT_TRUE(box.send({0xB0, 0x05, 0x40}));
    ASSERT_TRUE(boxReceived(3));
    EXPECT_EQ(box.receivedBytes(), (Bytes{0xB0, 0x05, 0x40}));
    EXPECT_EQ(form->FaderDesk().KnobTable()[5]->Position(), 64);
    EXPECT_EQ(form->SettingsImage().PotValue(5), 64);
}

// Half-way through a send the user turns two knobs, which the output holds back, and presses
// Escape: the box gets no further piece, an F7 that ends its SysEx, and then the two knobs.
TEST_F(DumpJack, ACancelHalfWayClosesTheSysExWithF7AndThenSendsTheHeldKnobs) {
    // An opened file builds the surface's knobs (the surface stays hidden).
    QTemporaryDir dir;
    const QString path = dir.filePath("start.syx");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const Bytes dump = model::SettingsImage::DefaultImage();
        f.write(reinterpret_cast<const char*>(dump.data()), static_cast<qsizetype>(dump.size()));
    }
    dialogs.choose(path);
    ui.click("OpenSysex");
    connectBox();

    const Bytes sent = sendFast();
    EXPECT_TRUE(ui.child<QPushButton>("CancelTransfer")->isEnabled());
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] {
        const int left = ui.text("BytesToSend").toInt();
        return left > 0 && left <= 2051;
    }));
    const QRegularExpression timeLeft(QStringLiteral("^0:[0-5][0-9] left$"));
    EXPECT_TRUE(timeLeft.match(ui.text("SendTimeLeft")).hasMatch())
        << ui.text("SendTimeLeft").toStdString();
    EXPECT_GE(ui.child<QProgressBar>("SendProgress")->value(), 2052);

    QTest::keyClick(form->FaderDesk().KnobTable()[2], Qt::Key_Up); // encoder 1.3: B0 02 01
    QTest::keyClick(form->FaderDesk().KnobTable()[3], Qt::Key_Up); // encoder 1.4: B0 03 01
    QTest::keyClick(ui.child("SlowSendToKorvane"), Qt::Key_Escape);

    ASSERT_TRUE(test::WindowDriver::waitUntil([&] {
        const auto events = box.events();
        return !events.empty() && events.back().bytes == Bytes{0xB0, 0x03, 0x01};
    }));
    QTest::qWait(300); // nothing more may come
    const auto events = box.events();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[events.size() - 3].bytes, (Bytes{0xF7}));
    EXPECT_EQ(events[events.size() - 2].bytes, (Bytes{0xB0, 0x02, 0x01}));
    EXPECT_EQ(events[events.size() - 1].bytes, (Bytes{0xB0, 0x03, 0x01}));
    Bytes sysex;
    for (std::size_t i = 0; i + 3 < events.size(); ++i)
        sysex.insert(sysex.end(), events[i].bytes.begin(), events[i].bytes.end());
    ASSERT_GE(sysex.size(), 2052u);
    ASSERT_LT(sysex.size(), 4103u);
    EXPECT_EQ(sysex, Bytes(sent.begin(), sent.begin() + static_cast<long>(sysex.size())));

    const QString count = QString::number(sysex.size()).insert(1, QLatin1Char(','));
    EXPECT_EQ(ui.text("StatusLabel"), "Sysex Send cancelled after " + count +
                                          " of 4,103 bytes: the box's settings are now partly "
                                          "old, partly new");
    EXPECT_EQ(ui.statusColor(), QColor(255, 0, 0));
    EXPECT_EQ(ui.text("BytesToSend"), "0");
    EXPECT_EQ(ui.text("SendTimeLeft"), "");
    EXPECT_FALSE(ui.child<QPushButton>("CancelTransfer")->isEnabled());
}

TEST_F(DumpJack, AVerifyAgainstABoxThatHoldsWhatWasSentSaysSo) {
    connectBox();
    ASSERT_FALSE(ui.child<QCheckBox>("VerifyAfterSend")->isChecked());
    ui.toggle("VerifyAfterSend");
    ui.type("PotNumber", "36");
    ui.type("PotMin", "10");
    const Bytes sent = sendFast();
    Bytes answer = sent;
    answer[6 + 0x690] = 0x12; // the box's own save stamp is no difference
    answerVerify(sent, answer);
    ASSERT_TRUE(statusIs("Verify: the box holds what was sent"))
        << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(ui.statusColor(), QColor(0, 128, 128));
    EXPECT_FALSE(ui.child<QPushButton>("VerifyDifferences")->isEnabled());
    EXPECT_EQ(form->SettingsImage().Bytes(), sent); // the answer is compared, not loaded
}

TEST_F(DumpJack, AVerifyNamesTheFieldTheBoxChangedAndListsItOnRequest) {
    connectBox();
    ui.toggle("VerifyAfterSend");
    ui.type("PotNumber", "36"); // encoder 3.5
    ui.type("PotMin", "10");
    const Bytes sent = sendFast();
    Bytes answer = sent;
    answer[6 + 36 * 4 + 2] = 0;
    answerVerify(sent, answer);
    ASSERT_TRUE(statusIs("Verify: the box differs in 1 field: Encoder 3.5 Min: sent 10, box 0"))
        << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(ui.statusColor(), QColor(255, 0, 0));
    EXPECT_EQ(form->SettingsImage().Bytes(), sent);
    EXPECT_EQ(ui.child<QSpinBox>("PotMin")->value(), 10);

    ui.click("VerifyDifferences");
    ASSERT_EQ(dialogs.lists.size(), 1u);
    EXPECT_EQ(dialogs.lists[0].caption, "Verify after send");
    EXPECT_EQ(dialogs.lists[0].heading, "The box differs from what was sent in 1 field:");
    EXPECT_EQ(dialogs.lists[0].lines, QStringList{"Encoder 3.5 Min: sent 10, box 0"});
}

TEST_F(DumpJack, AVerifyWithoutAnAnswerSaysSoAndALateAnswerIsComparedNeverLoaded) {
    connectBox();
    ui.toggle("VerifyAfterSend");
    ui.type("PotNumber", "36"); // encoder 3.5
    ui.type("PotMin", "10");
    const Bytes sent = sendFast();
    ASSERT_TRUE(boxReceived(4103 + 7));
    EXPECT_TRUE(ui.child<QPushButton>("CancelTransfer")->isEnabled());
    ASSERT_TRUE(statusIs("Verify: no answer from the box within 5 seconds"))
        << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(ui.statusColor(), QColor(255, 0, 0));
    EXPECT_FALSE(ui.child<QPushButton>("CancelTransfer")->isEnabled());

    // The box answers after all, with other settings: they must not replace the ones sent.
    Bytes late = sent;
    late[6 + 36 * 4 + 2] = 0;
    ASSERT_TRUE(box.send(late));
    ASSERT_TRUE(statusIs("Verify, late answer: the box differs in 1 field: Encoder 3.5 Min: "
                         "sent 10, box 0"))
        << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(form->SettingsImage().Bytes(), sent);

    // The next verify is cancelled while it waits; its answer is still only compared.
    box.clear();
    sendFast();
    ASSERT_TRUE(boxReceived(4103 + 7));
    ASSERT_TRUE(statusIs("Verify: asking the box for its dump ..."));
    ui.click("CancelTransfer");
    EXPECT_EQ(ui.text("StatusLabel"), "Verify cancelled");
    ASSERT_TRUE(box.send(late));
    ASSERT_TRUE(statusIs("Verify, late answer: the box differs in 1 field: Encoder 3.5 Min: "
                         "sent 10, box 0"));
    EXPECT_EQ(ui.child<QSpinBox>("PotMin")->value(), 10);

    // What answers a request of the user's own is loaded.
    ui.click("RequestSysexDump");
    ASSERT_TRUE(box.send(late));
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return form->SettingsImage().Bytes() == late; }));
    EXPECT_EQ(ui.child<QSpinBox>("PotMin")->value(), 0);
}
