// A dump round trip with a box played by a JACK client: the box's own ports are picked on the
// File page, the box answers "Request Sysex Dump" with its dump in pieces of 200 bytes, the
// pages show its settings, an encoder, a button and the box page are edited, and a paced send
// at speed 1000 brings back to the box exactly its dump with those edits, the same bytes a
// store to a .syx file writes.
#include "Session.h"

#include "TMidiIn.h"
#include "TMidiOut.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

using namespace korv;
using test::Bytes;
using test::patch;

namespace {

class DumpRoundTrip : public test::Session {
protected:
    DumpRoundTrip() { startProgram(); }

    test::JackPeer box{server, "box"};
};

// The box holds the default settings with a few of its own, at image offsets (data + 6).
Bytes boxSettings() {
    Bytes dump = test::defaultDump();
    EXPECT_EQ(dump.size(), 4103u);
    patch(dump, 6 + 17 * 4 + 1, {0x33}); // encoder 17 sends controller 0x33
    patch(dump, 6 + 0x800 + 17 * 16,     // its label, "DEC"
          {'B', 'C', 'u', 't', 'o', 'f', 'f', 0x00, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});
    patch(dump, 6 + 0x200 + 9 * 4, {0x39, 0x30, 0x50, 0x01}); // button 9: B9 30 50, ON ONLY
    patch(dump, 6 + 0x696,                                    // bank name
          {'L', 'i', 'v', 'e', ' ', 'S', 'e', 't', 0x00, ' ', ' ', ' ', ' ', ' ', ' ', ' '});
    patch(dump, 6 + 0x6B6, {0x07, 0x00}); // touch sensitivity 8
    patch(dump, 6 + 0x603, {0x51});       // encoder 3 stands at 81
    return dump;
}

} // namespace

TEST_F(DumpRoundTrip, TheBoxGetsBackItsDumpWithTheEditsMadeOnThePages) {
    ui.pick("MIDIOutComboBox", QStringLiteral("box:in"));
    ui.pick("MIDIInComboBox", QStringLiteral("box:out"));
    ASSERT_TRUE(form->MidiOut1().Using());
    ASSERT_TRUE(form->MidiIn1().Using());
    ASSERT_TRUE(box.waitConnected(box.inPort()));
    ASSERT_TRUE(box.waitConnected(box.outPort()));

    ui.click("RequestSysexDump");
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return box.receivedCount() >= 7; }));
    EXPECT_EQ(box.receivedBytes(), (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7}));
    box.clear();

    // The box answers in pieces; only the first holds F0, only the last F7.
    const Bytes answer = boxSettings();
    for (std::size_t at = 0; at < answer.size(); at += 200) {
        const auto end = std::min(answer.size(), at + 200);
        ASSERT_TRUE(box.send(
            Bytes(answer.begin() + std::ptrdiff_t(at), answer.begin() + std::ptrdiff_t(end))));
    }
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] {
        return ui.text("SysexReceiveCount") == "Done !!";
    })) << ui.text("SysexReceiveCount").toStdString();
    EXPECT_EQ(ui.text("StatusLabel"), "Receiving Korvanette data !");

    // The pages show the box's settings.
    ui.type("PotNumber", "17");
    EXPECT_EQ(ui.text("PotByte1HEX"), "33");
    EXPECT_EQ(ui.child<QLineEdit>("PotLabel")->text(), "Cutoff");
    ui.type("ButtNumber", "9");
    EXPECT_EQ(ui.text("ButtByte0HEX"), "B9");
    EXPECT_EQ(ui.text("ButtByte1HEX"), "30");
    EXPECT_EQ(ui.text("ButtByte2HEX"), "50");
    EXPECT_EQ(ui.child<QLineEdit>("BankNameEdit")->text(), "Live Set");
    EXPECT_EQ(ui.child<QSpinBox>("TouchsensorSensitivity")->value(), 8);

    // Edits on three pages.
    ui.type("PotNumber", "17");
    ui.type("PotMax", "100");
    ui.type("ButtNumber", "9");
    ui.type("ButtByte2", "100");
    ui.type("TouchsensorSensitivity", "16");
    ui.toggle("MIDILeds");
    ASSERT_TRUE(ui.child<QCheckBox>("MIDILeds")->isChecked());

    ui.type("SysexSendSpeed", "1000");
    ui.click("SlowSendToKorvane");
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return box.receivedCount() >= 4103; }, 60000));
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return ui.text("BytesToSend") == "0"; }));

    Bytes expected = answer;
    patch(expected, 6 + 17 * 4 + 3, {0x64});        // encoder 17's maximum 100
    patch(expected, 6 + 0x200 + 9 * 4 + 2, {0x64}); // button 9's second data byte 100
    patch(expected, 6 + 0x690, {0x47, 0x11});       // the stamp of a save
    patch(expected, 6 + 0x693, {0x02});             // MIDI LEDs on
    patch(expected, 6 + 0x6B6, {0x0F, 0x00});       // sensitivity 16 is stored as 15
    const Bytes received = box.receivedBytes();
    ASSERT_EQ(received.size(), 4103u);
    EXPECT_EQ(received, expected);
    EXPECT_EQ(box.dropped(), 0u);
    // The paced send goes out in pieces: the 6 header bytes, then 3 bytes a piece, 5 at the end.
    const auto events = box.events();
    ASSERT_EQ(events.size(), 1u + 1364u + 1u);
    EXPECT_EQ(events.front().bytes, (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}));
    EXPECT_EQ(events.back().bytes.size(), 5u);

    const QString stored = file("box.syx");
    dialogs.choose(stored);
    ui.click("StoreSysex");
    EXPECT_EQ(test::readFile(stored), expected);
}
