// The main window with a box played by a real JACK client on a private JACK server: the box
// answers "Request Sysex Dump" with its dump, a paced send reaches it byte for byte, and its
// controllers move the knobs of the surface, whose values go back to it.
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

#include <QLineEdit>

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
