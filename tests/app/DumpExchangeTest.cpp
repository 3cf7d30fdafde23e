// The File page's dump commands with real files and the loopback MIDI service: open and store
// through the file dialogs, the text export walked through the editor pages, the paced send,
// the dump request and the reception of dumps and notices.
#include "TForm1.h"

#include "LoopbackService.h"
#include "MidiSystem.h"
#include "RecordingDialogs.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "TTempoTimer.h"
#include "WindowDriver.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

namespace {

const QColor Red(255, 0, 0);
const QColor Teal(0, 128, 128);

QByteArray toQt(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// The default dump with some settings of another box.
Bytes anotherDump(std::uint8_t commandByte = 0x02) {
    model::SettingsImage other;
    other.SetDeviceByte(commandByte);
    other.SetPotByte1(0, 0x42);
    other.SetLabelText(0, "From the box");
    other.SetButtByte1(0, 0x24);
    other.SetBankName("Box Bank");
    return other.Bytes();
}

class DumpExchange : public ::testing::Test {
protected:
    DumpExchange() {
        loopback.addInput("Box In");
        loopback.addOutput("Box Out");
        system = std::make_unique<midi::MidiSystem>(std::vector<midi::MidiService*>{&loopback});
        form = std::make_unique<app::TForm1>(*system);
        ui.window = form.get();
    }
    void openPorts() {
        ui.pick("MIDIOutComboBox", "Box Out");
        ui.pick("MIDIInComboBox", "Box In");
        ASSERT_TRUE(form->MidiOut1().Using());
        ASSERT_TRUE(form->MidiIn1().Using());
    }
    Bytes image() { return form->SettingsImage().Bytes(); }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void waitForReceiveCount(const char* text) {
        ASSERT_TRUE(test::WindowDriver::waitUntil([&] {
            return ui.text("SysexReceiveCount") == QLatin1String(text);
        })) << "shows "
            << ui.text("SysexReceiveCount").toStdString();
    }

    test::RecordingDialogs dialogs;
    midi::LoopbackService loopback;
    std::unique_ptr<midi::MidiSystem> system;
    std::unique_ptr<app::TForm1> form;
    test::WindowDriver ui;
    QTemporaryDir dir;
};

} // namespace

TEST_F(DumpExchange, StoreRewritesHeaderAndSwitchesEvenWhenTheDialogIsCancelled) {
    ui.type("DeviceID", "3");
    ASSERT_EQ(image()[6 + 0x693], 0x00);
    ui.toggle("MIDILeds"); // a switch of the Box Config page: in the image only once saved
    ASSERT_EQ(image()[6 + 0x693], 0x00);
    ui.click("StoreSysex");
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    const auto& asked = dialogs.saveDialogs[0];
    EXPECT_EQ(asked.title, "Save Sysex File To ...");
    EXPECT_EQ(asked.filters,
              (QStringList{"KORVANETTE sysex file (*.syx)", "packdump INI file (*.INI)"}));
    EXPECT_EQ(asked.defaultSuffix, "syx");
    EXPECT_EQ(asked.fileName, "custom.syx");
    EXPECT_EQ(asked.folder, QCoreApplication::applicationDirPath());

    const Bytes after = image();
    EXPECT_EQ(after[5], 0x32);
    EXPECT_EQ(after[6 + 0x690], 0x47);
    EXPECT_EQ(after[6 + 0x691], 0x11);
    EXPECT_EQ(after[6 + 0x693], 0x02); // MIDI Leds
    EXPECT_EQ(ui.text("StatusLabel"), "No MIDI Out Port Selected");
}

TEST_F(DumpExchange, StoreWritesTheDumpAndTheSaveDialogKeepsTheProgramsFolder) {
    const QString path = file("custom.syx");
    put(path, "an older file");
    dialogs.choose(path);
    ui.click("StoreSysex");
    QByteArray written = contents(path);
    ASSERT_EQ(written.size(), 4103);
    EXPECT_EQ(written.left(6), QByteArray::fromHex("F000007E4502"));
    EXPECT_EQ(static_cast<std::uint8_t>(written.back()), 0xF7);
    EXPECT_EQ(written, toQt(image()));
    EXPECT_EQ(ui.text("StatusLabel"), "Stored To File : custom.syx");
    EXPECT_EQ(ui.statusColor(), Teal);

    ui.type("DeviceID", "3");
    dialogs.choose(path);
    ui.click("StoreSysex");
    EXPECT_EQ(static_cast<std::uint8_t>(contents(path).at(5)), 0x32);
    EXPECT_EQ(dialogs.saveDialogs.back().folder, QCoreApplication::applicationDirPath());
}

TEST_F(DumpExchange, AFailedStoreSaysSoInRedAndOnStandardError) {
    const QString path = file("missing folder/custom.syx");
    dialogs.choose(path);
    testing::internal::CaptureStderr();
    ui.click("StoreSysex");
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(error, "Cannot open output file.\n");
    EXPECT_EQ(ui.text("StatusLabel"), "Cannot open output file.");
    EXPECT_EQ(ui.statusColor(), Red);
    EXPECT_FALSE(ui.child<QLabel>("StatusLabel")->toolTip().isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(DumpExchange, OpeningAFileReplacesTheImageAndRefreshesCaptionEditorAndSurface) {
    const Bytes dump = anotherDump(0x52);
    const QString path = file("other.syx");
    put(path, toQt(dump));
    ui.click("ShowFaderDesk");
    dialogs.choose(path);
    ui.click("OpenSysex");

    ASSERT_EQ(dialogs.openDialogs.size(), 1u);
    const auto& asked = dialogs.openDialogs[0];
    EXPECT_EQ(asked.title, "Open Sysex File");
    EXPECT_EQ(asked.filters, (QStringList{"KORVANETTE sysex file (*.syx)", "Any File (*.*)"}));
    EXPECT_EQ(asked.defaultSuffix, "syx");
    EXPECT_EQ(asked.fileName, "korvanette.syx");
    EXPECT_EQ(asked.folder, QCoreApplication::applicationDirPath());

    EXPECT_EQ(image(), dump); // another device's command byte included
    EXPECT_EQ(form->windowTitle(), "Virtual Korvanette : other.syx");
    EXPECT_EQ(ui.text("PotByte1HEX"), "42");
    EXPECT_EQ(ui.child<QLineEdit>("PotLabel")->text(), "From the box");
    EXPECT_EQ(ui.child<QLineEdit>("BankNameEdit")->text(), "Box Bank");
    EXPECT_FALSE(form->FaderDesk().isVisible());
    ASSERT_NE(form->FaderDesk().KnobTable()[0], nullptr);
    EXPECT_EQ(form->FaderDesk().KnobTable()[0]->toolTip(), "From the box");

    // The next open starts in the file's folder; a file missing by then changes nothing.
    dialogs.choose(file("gone.syx"));
    ui.click("OpenSysex");
    EXPECT_EQ(dialogs.openDialogs[1].folder, dir.path());
    EXPECT_EQ(form->windowTitle(), "Virtual Korvanette : other.syx");
    dialogs.cancel();
    ui.click("OpenSysex");
    EXPECT_EQ(image(), dump);
    EXPECT_TRUE(dialogs.okCancelBoxes.isEmpty());
}

TEST_F(DumpExchange, ShortFilesReplaceOnlyTheirOwnLengthAndAnUnreadableOneShowsTheBox) {
    const Bytes before = image();
    put(file("empty.syx"), {});
    dialogs.choose(file("empty.syx"));
    ui.click("OpenSysex");
    EXPECT_EQ(image(), before);
    EXPECT_EQ(form->windowTitle(), "Virtual Korvanette : empty.syx");

    const Bytes dump = anotherDump();
    put(file("short.syx"), toQt(Bytes(dump.begin(), dump.begin() + 100)));
    dialogs.choose(file("short.syx"));
    ui.click("OpenSysex");
    Bytes expected = before;
    std::copy(dump.begin(), dump.begin() + 100, expected.begin());
    EXPECT_EQ(image(), expected);
    EXPECT_EQ(ui.text("PotByte1HEX"), "42");
    EXPECT_TRUE(dialogs.okCancelBoxes.isEmpty());

    // A pipe with no writer: refused at once as unreadable, the image stays.
    const QString fifo = file("pipe.syx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    dialogs.choose(fifo);
    ui.click("OpenSysex");
    EXPECT_EQ(dialogs.okCancelBoxes, QStringList{"File Error | Can't perform Sysex File Read..."});
    EXPECT_EQ(image(), expected);
    EXPECT_EQ(form->windowTitle(), "Virtual Korvanette : pipe.syx");
}

TEST_F(DumpExchange, TheTextExportOfTheDefaultSettingsIsTheGoldenFile) {
    // Selections the export must give back.
    ui.type("PotNumber", "5");
    ui.type("ButtNumber", "9");
    ui.type("LEDPattern_Nr", "2");
    ui.type("LEDPattern_Entry", "7");
    dialogs.cancel();
    ui.click("StoreSysex"); // the save step alone
    const Bytes saved = image();

    const QString path = file("custom.INI");
    dialogs.choose(path, 1);
    ui.click("StoreSysex");
    EXPECT_EQ(image(), saved);
    EXPECT_EQ(ui.child<QSpinBox>("PotNumber")->value(), 5);
    EXPECT_EQ(ui.text("PotByte1HEX"), "05");
    EXPECT_EQ(ui.child<QSpinBox>("ButtNumber")->value(), 9);
    EXPECT_EQ(ui.text("ButtByte0HEX"), "99");
    EXPECT_EQ(ui.child<QSpinBox>("LEDPattern_Nr")->value(), 2);
    EXPECT_EQ(ui.child<QSpinBox>("LEDPattern_Entry")->value(), 7);

    QFile golden(QStringLiteral(KORV_DUMP_GOLDEN_DIR "/default-export.INI"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    QByteArray expected = golden.readAll();
    expected.replace("@RELEASE@", ui.text("TestReleaseLabel").toLatin1());
    const QList<QByteArray> want = expected.split('\n');
    const QList<QByteArray> got = contents(path).split('\n');
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        const QByteArray dateLine = "# Data Generated on : ";
        if (want[i].startsWith(dateLine)) // the local date and time of now, then CR
            EXPECT_TRUE(got[i].startsWith(dateLine) && got[i].endsWith('\r') &&
                        got[i].size() > dateLine.size() + 1)
                << got[i].constData();
        else
            ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
    }
}

TEST_F(DumpExchange, TheTextExportWritesWhatThePagesShow) {
    ui.type("LCEmulationID", "127");
    ui.pick("MIDIMergerMode", "Korvane Link FP");
    ui.toggle("MIDILeds");
    ui.toggle("DisableMenuNavigation");
    ui.toggle("LEDPattern_CB16");
    ui.toggle("SnapShotAtPowerOn");
    ui.toggle("AutoSnapshot");
    ui.toggle("SendPCOnBankChange");
    ui.toggle("ReceivePCForBankChange");
    ASSERT_TRUE(ui.child<QCheckBox>("DisableMenuNavigation")->isChecked());
    auto* label = ui.child<QLineEdit>("PotLabel");
    label->selectAll();
    QTest::keyClicks(label, "  Lead  ");

    const QString path = file("custom.INI");
    dialogs.choose(path, 1);
    ui.click("StoreSysex");
    const QByteArray text = contents(path);
    EXPECT_TRUE(text.contains("[MIDI_MERGER]\r\n   kvlink_fp\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("[MIDI_LEDS]\r\n enabled\r\n"));
    EXPECT_TRUE(text.contains("[LC_EMULATION_ID]\r\n   7F\r\n"));
    EXPECT_TRUE(text.contains("[NAVIGATION_BUTTONS]\r\n   disabled\r\n"));
    EXPECT_TRUE(text.contains("[SNAPSHOT_AT_POWERON]\r\n   enabled\r\n"));
    EXPECT_TRUE(text.contains("[AUTO_SNAPSHOT]\r\n   disabled\r\n"));
    EXPECT_TRUE(text.contains("[SEND_PC_ON_BANKCHANGE]\r\n   enabled\r\n"));
    EXPECT_TRUE(text.contains("[RECEIVE_PC_FOR_BANKCHANGE]\r\n   enabled\r\n"));
    EXPECT_TRUE(text.contains("\r\n   1.1  = B0 00 [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   "
                              "LED_PATTERN_0   \"  Lead\" DEC|\r\n"));
    EXPECT_TRUE(text.contains("\r\n   0.00 = 1000000000000001\r\n"));
}

TEST_F(DumpExchange, RequestAndReceptionShowWhatTheBoxSends) {
    openPorts();
    ui.click("RequestSysexDump");
    ui.type("DeviceID", "7");
    ui.click("RequestSysexDump");
    EXPECT_EQ(loopback.sentMessages(0),
              (std::vector<Bytes>{{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7},
                                  {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x71, 0xF7}}));

    loopback.inject(0, {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x7F, 0xF7});
    ASSERT_TRUE(test::WindowDriver::waitUntil(
        [&] { return ui.text("StatusLabel") == "Korvanette Detected !"; }));
    EXPECT_EQ(ui.statusColor(), Teal);

    // A dump longer than 4,103 bytes is refused.
    const Bytes before = image();
    Bytes tooLong = anotherDump();
    tooLong.insert(tooLong.end() - 1, 0x00);
    loopback.inject(0, tooLong);
    waitForReceiveCount("Sysex 2 Large ?!");
    EXPECT_EQ(image(), before);

    const Bytes dump = anotherDump();
    loopback.inject(0, dump);
    waitForReceiveCount("Done !!");
    EXPECT_EQ(image(), dump);
    EXPECT_EQ(ui.text("StatusLabel"), "Receiving Korvanette data !");
    EXPECT_EQ(ui.text("PotByte1HEX"), "42");
    EXPECT_EQ(ui.child<QLineEdit>("PotLabel")->text(), "From the box");
    EXPECT_TRUE(form->windowTitle().startsWith("Virtual Korvanette : Version Compiled on "));
}

// One whole paced send at the fastest speed, with everything a user may try meanwhile.
TEST_F(DumpExchange, APacedSendGoesOutInPiecesAndNothingElseGetsInItsWay) {
    openPorts();
    ui.type("SysexSendSpeed", "1000");
    ui.type("DeviceID", "1");
    loopback.clearSent(0);
    ui.click("SlowSendToKorvane");
    const Bytes sent = image(); // as the save step left it
    EXPECT_EQ(sent[5], 0x12);
    EXPECT_EQ(loopback.sentMessages(0).front(), (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x12}));

    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return ui.text("BytesToSend") != "0"; }));
    EXPECT_LE(ui.text("BytesToSend").toInt(), 4094);

    ui.click("SlowSendToKorvane");
    EXPECT_EQ(ui.text("StatusLabel"), "Sysex Send still running !");
    EXPECT_EQ(ui.statusColor(), Red);
    ui.child<QLabel>("StatusLabel")->clear();
    ui.click("RequestSysexDump");
    EXPECT_EQ(ui.text("StatusLabel"), "Sysex Send still running !");
    ui.child<QLabel>("StatusLabel")->clear();
    dialogs.choose(file("none.syx"));
    ui.click("OpenSysex");
    EXPECT_EQ(ui.text("StatusLabel"), "Sysex Send still running !");
    EXPECT_TRUE(dialogs.openDialogs.empty());

    // A dump from the box meanwhile waits until the send is over.
    const Bytes dump = anotherDump();
    loopback.inject(0, dump);
    waitForReceiveCount("Done !!");
    EXPECT_EQ(ui.text("StatusLabel"), "Dump received : loaded when the Sysex Send is done");
    EXPECT_EQ(image(), sent);

    ASSERT_TRUE(test::WindowDriver::waitUntil(
        [&] { return ui.text("BytesToSend") == "0" && image() == dump; }));
    const auto pieces = loopback.sentMessages(0);
    ASSERT_EQ(pieces.size(), 1u + 1364u + 1u);
    EXPECT_EQ(pieces[1].size(), 3u);
    EXPECT_EQ(pieces.back().size(), 5u);
    Bytes wire;
    for (const auto& piece : pieces)
        wire.insert(wire.end(), piece.begin(), piece.end());
    EXPECT_EQ(wire, sent);
    EXPECT_EQ(ui.text("PotByte1HEX"), "42");
    EXPECT_FALSE(form->SysexTimer().Enabled());

    // Now the fast send may go: the whole image in one buffer.
    loopback.clearSent(0);
    form->findChild<QWidget*>("SendToKorvane")->show();
    ui.click("SendToKorvane");
    ASSERT_EQ(loopback.sentMessages(0).size(), 1u);
    EXPECT_EQ(loopback.sentMessages(0)[0].size(), 4103u);
}

// Each damaged file is loaded exactly as before, and the status line says what was wrong.
TEST_F(DumpExchange, DamagedFilesLoadAsBeforeAndTheStatusLineWarnsInPlainWords) {
    const Bytes dump = anotherDump();
    struct Case {
        const char* name;
        Bytes bytes;
        const char* status;
    };
    Bytes header = dump;
    header[4] = 0x46;
    Bytes end = dump;
    end[4102] = 0x00;
    Bytes high = dump;
    high[500] = 0xC5;
    Bytes longer = dump;
    longer.insert(longer.end(), 97, 0x00);
    const std::vector<Case> cases{
        {"short.syx", Bytes(dump.begin(), dump.begin() + 3900),
         "short.syx: 3,900 bytes: the last 203 bytes keep their old values"},
        {"long.syx", longer,
         "long.syx: 4,200 bytes: only the first 4,103 are read, the last 97 bytes are left out"},
        {"header.syx", header,
         "header.syx: the header is F0 00 00 7E 46, not F0 00 00 7E 45: these may not be the "
         "settings of this box"},
        {"end.syx", end,
         "end.syx: the last byte is 00, not F7: the dump may be cut off or shifted"},
        {"high.syx", high,
         "high.syx: byte 501 has its top bit set: sent to a box, it would end the dump there"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->SettingsImage().LoadDefault();
        Bytes expected = model::SettingsImage::DefaultImage();
        std::copy(c.bytes.begin(), c.bytes.begin() + std::min<std::size_t>(c.bytes.size(), 4103),
                  expected.begin());
        put(file(c.name), toQt(c.bytes));
        dialogs.choose(file(c.name));
        ui.click("OpenSysex");
        EXPECT_EQ(ui.text("StatusLabel"), QString::fromLatin1(c.status));
        EXPECT_EQ(ui.statusColor(), Red);
        EXPECT_EQ(form->windowTitle(), "Virtual Korvanette : " + QString::fromLatin1(c.name));
        EXPECT_EQ(ui.text("PotByte1HEX"), "42");
        EXPECT_EQ(image(), expected);
    }
    EXPECT_TRUE(dialogs.okCancelBoxes.isEmpty());

    // A sound file says nothing.
    ui.child<QLabel>("StatusLabel")->setText("before");
    put(file("good.syx"), toQt(dump));
    dialogs.choose(file("good.syx"));
    ui.click("OpenSysex");
    EXPECT_EQ(ui.text("StatusLabel"), "before");
}

TEST_F(DumpExchange, AReceivedDumpWithAForeignHeaderLoadsAndWarns) {
    openPorts();
    Bytes foreign = anotherDump();
    foreign[3] = 0x7D;
    loopback.inject(0, foreign);
    waitForReceiveCount("Done !!");
    EXPECT_EQ(image(), foreign);
    EXPECT_EQ(ui.text("StatusLabel"), "Received dump: the header is F0 00 00 7D 45, not F0 00 00 "
                                      "7E 45: these may not be the settings of this box");
    EXPECT_EQ(ui.statusColor(), Red);
    EXPECT_EQ(ui.child<QProgressBar>("ReceiveProgress")->value(), 4103);
}

// A reception that stalls half-way is abandoned with Cancel: the settings stay, the rest of
// the message is ignored, and the next dump is received as usual.
TEST_F(DumpExchange, AnAbandonedReceptionLeavesTheSettingsAsTheyWere) {
    openPorts();
    auto* cancel = ui.child<QPushButton>("CancelTransfer");
    EXPECT_FALSE(cancel->isEnabled());
    const Bytes before = image();
    const Bytes dump = anotherDump();
    loopback.inject(0, Bytes(dump.begin(), dump.begin() + 2000));
    waitForReceiveCount("2183"); // 15 buffers of 128 bytes
    EXPECT_EQ(ui.child<QProgressBar>("ReceiveProgress")->value(), 1920);
    EXPECT_TRUE(cancel->isEnabled());

    ui.click("CancelTransfer");
    EXPECT_EQ(ui.text("StatusLabel"), "Reception cancelled: the settings are as they were");
    EXPECT_EQ(ui.text("SysexReceiveCount"), "0");
    EXPECT_EQ(ui.child<QProgressBar>("ReceiveProgress")->value(), 0);
    EXPECT_FALSE(cancel->isEnabled());
    loopback.inject(0, Bytes(dump.begin() + 2000, dump.end()));
    QTest::qWait(100);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(ui.text("SysexReceiveCount"), "0");
    EXPECT_EQ(ui.text("StatusLabel"), "Reception cancelled: the settings are as they were");

    loopback.inject(0, dump);
    waitForReceiveCount("Done !!");
    EXPECT_EQ(image(), dump);
}

TEST_F(DumpExchange, APacedSendShowsItsProgressAndVerifyNeedsAnInputPort) {
    ui.pick("MIDIOutComboBox", "Box Out");
    ui.type("SysexSendSpeed", "1000");
    EXPECT_FALSE(ui.child<QCheckBox>("VerifyAfterSend")->isChecked());
    ui.toggle("VerifyAfterSend");
    ui.click("SlowSendToKorvane");
    auto* progress = ui.child<QProgressBar>("SendProgress");
    EXPECT_EQ(progress->value(), 6);
    EXPECT_EQ(progress->maximum(), 4103);
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] { return progress->value() == 4103; }));
    EXPECT_EQ(ui.text("BytesToSend"), "0");
    EXPECT_EQ(ui.text("SendTimeLeft"), "");
    EXPECT_EQ(ui.text("StatusLabel"),
              "Verify after send: no MIDI IN port is open to read the box's dump back");
    EXPECT_EQ(ui.statusColor(), Red);
    // Only the dump went out: no request that nobody could hear.
    EXPECT_EQ(loopback.sentMessages(0).size(), 1u + 1364u + 1u);
    EXPECT_FALSE(ui.child<QPushButton>("CancelTransfer")->isEnabled());
}
