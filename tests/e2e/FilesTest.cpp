// A .syx file from elsewhere is opened, stored again as .syx and as a packdump text export; both
// files hold exactly what the opened settings say.
#include "Session.h"

#include <QFile>

using namespace korv;
using test::Bytes;
using test::patch;

namespace {

class Files : public test::Session {
protected:
    Files() { startProgram(); }
};

// Replaces the one line of `text` that equals `from` (CR LF cut off) by `to`.
void replaceLine(QList<QByteArray>& lines, const QByteArray& from, const QByteArray& to) {
    int found = 0;
    for (QByteArray& line : lines)
        if (line == from + '\r') {
            line = to + '\r';
            ++found;
        }
    EXPECT_EQ(found, 1) << from.constData();
}

} // namespace

TEST_F(Files, AnOpenedFileIsStoredAgainAndExportedAsItsBytesSay) {
    // Settings of another box with device ID 5, at image offsets (data + 6).
    Bytes theirs = test::defaultDump();
    ASSERT_EQ(theirs.size(), 4103u);
    patch(theirs, 5, {0x52});
    patch(theirs, 6 + 0, {0x30, 0x10, 0x05, 0x70}); // encoder 0: controller 16, range 5 to 112
    patch(theirs, 6 + 0x300, {0x13, 0x02});         // "send 40 +/- 1", fast, pattern 3
    patch(theirs, 6 + 0x603, {0x40});               // encoder 3 stands at 64
    patch(theirs, 6 + 0x800 + 127 * 16,             // encoder 127: "Master", "+-DEC"
          {'C', 'M', 'a', 's', 't', 'e', 'r', 0x00, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});
    patch(theirs, 6 + 0x200 + 5 * 4, {0x22, 0x24, 0x65, 0x02}); // button 5: A2 24 65, TOGGLE
    patch(theirs, 6 + 0x480, {0x00, 0x01, 0x01, 0x00});         // pattern 2, step 1: LEDs 16 and 1
    patch(theirs, 6 + 0x692, {0x00});                           // merger on
    patch(theirs, 6 + 0x696,
          {'S', 't', 'u', 'd', 'i', 'o', ' ', 'A', 0x00, ' ', ' ', ' ', ' ', ' ', ' ', ' '});
    patch(theirs, 6 + 0x6B6, {0x0F, 0x01}); // touch sensitivity 32
    const QString opened = file("theirs.syx");
    test::writeFile(opened, theirs);

    dialogs.choose(opened);
    ui.click("OpenSysex");
    EXPECT_EQ(form->windowTitle(), "Virtual Korvanette : theirs.syx");
    EXPECT_TRUE(dialogs.okCancelBoxes.isEmpty());

    const QString stored = file("again.syx");
    dialogs.choose(stored);
    ui.click("StoreSysex");
    Bytes expected = theirs;
    patch(expected, 5, {0x02});               // the program's device ID, 0
    patch(expected, 6 + 0x690, {0x47, 0x11}); // the stamp of a save
    // Opening rebuilds the surface, whose knob 1 takes the range 5 to 112: its value 0 is
    // raised to the minimum.
    patch(expected, 6 + 0x600, {0x05});
    EXPECT_EQ(test::readFile(stored), expected);

    const QString exported = file("theirs.INI");
    dialogs.choose(exported, 1);
    ui.click("StoreSysex");

    QFile golden(QStringLiteral(KORV_DUMP_GOLDEN_DIR "/default-export.INI"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    QByteArray text = golden.readAll();
    text.replace("@RELEASE@", ui.text("TestReleaseLabel").toLatin1());
    QList<QByteArray> want = text.split('\n');
    replaceLine(want, R"(   "Sample Bank     ")", R"(   "Studio A")");
    replaceLine(want, "   3", "   32");
    replaceLine(
        want,
        R"(   1.1  = B0 00 [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   "CC #  0" DEC|)",
        R"(   1.1  = B0 10 [05-70]   ENC_MODE_40_1    &FAST     LED_PATTERN_2   "CC #  0" DEC|)");
    replaceLine(
        want,
        R"(   8.16 = B0 7F [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   "CC #127" DEC|)",
        R"(   8.16 = B0 7F [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   "Master" +-DEC)");
    replaceLine(want, "   6 = 95 3C 7F @OnOff", "   6 = A2 24 65 @Toggle");
    replaceLine(want, "   1.00 = 0000000000111111", "   1.00 = 1000000000000001");
    // The merger section is the one "disabled" right after its heading.
    for (qsizetype i = 0; i + 1 < want.size(); ++i)
        if (want[i] == "[MIDI_MERGER]\r")
            want[i + 1] = "   enabled\r";

    QFile out(exported);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QList<QByteArray> got = out.readAll().split('\n');
    ASSERT_EQ(got.size(), want.size());
    const QByteArray dateLine = "# Data Generated on : ";
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (want[i].startsWith(dateLine)) // the local date and time of now
            EXPECT_TRUE(got[i].startsWith(dateLine) && got[i].endsWith('\r')) << got[i].data();
        else
            EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    }
    // The export only reads: the settings are as stored.
    EXPECT_EQ(form->SettingsImage().Bytes(), expected);
}
