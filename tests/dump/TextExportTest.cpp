// The packdump text export: its lines byte for byte from rows as the editor pages show them,
// and the whole file of the default settings against the hand-written golden file.
#include "TextExport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace korv::dump;

namespace {

// 32 LED words per pattern, steps 1 to 32, as the default settings hold them.
const std::array<const char*, 3> DefaultPatterns = {
    "0001 0001 0003 0003 0003 0007 0007 0007 000F 000F 000F 001F 001F 001F 003F 003F "
    "003F 003F 007F 007F 007F 00FF 00FF 00FF 01FF 01FF 01FF 03FF 03FF 03FF 07FF 07FF",
    "003F 003F 003E 003E 003E 003C 003C 003C 0038 0038 0038 0030 0030 0030 0020 0020 "
    "0020 0020 0060 0060 0060 00E0 00E0 00E0 01E0 01E0 01E0 03E0 03E0 03E0 07E0 07E0",
    "0001 0001 0002 0002 0002 0004 0004 0004 0008 0008 0008 0010 0010 0010 0020 0020 "
    "0020 0020 0040 0040 0040 0080 0080 0080 0100 0100 0100 0200 0200 0200 0400 0400",
};

QString hex2(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

EncoderExportRow defaultEncoder(int id) {
    return {id / 16 + 1,
            id % 16 + 1,
            QStringLiteral("B0"),
            hex2(id),
            QStringLiteral("00"),
            QStringLiteral("7F"),
            0,
            0,
            0,
            QStringLiteral("CC #%1        ").arg(id, 3),
            QStringLiteral("DEC|")};
}

// What the editor pages show for the built-in default settings.
TextExportData defaultData() {
    TextExportData data;
    data.releaseText = QStringLiteral("Release 1.004 : Feb  2 2003 : 16:02:05");
    data.generatedOn = QStringLiteral("01/02/2003 16:04:05");
    data.box.bankName = QStringLiteral("Sample Bank     ");
    data.box.autoSnapshot = true;
    data.box.touchsensorSensitivity = 3;
    data.box.srOutMap = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int id = 0; id < 128; ++id)
        data.encoders.push_back(defaultEncoder(id));
    for (int m = 0; m < 64; ++m) {
        ButtonExportRow row{m + 1, QStringLiteral("FF"), QStringLiteral("7F"), QStringLiteral("7F"),
                            0};
        if (m < 16)
            row = {m + 1, hex2(0x90 + m), QStringLiteral("3C"), QStringLiteral("7F"), 0};
        else if (m >= 20 && m < 24)
            row = {m + 1, QStringLiteral("90"), hex2(0x40 + m - 20), QStringLiteral("7F"), 0};
        data.buttons.push_back(row);
    }
    const char* meta[4][3] = {
        {"FF", "03", "13"}, {"FF", "08", "40"}, {"FF", "08", "11"}, {"FF", "08", "21"}};
    for (int i = 0; i < 4; ++i)
        data.buttons[16 + i] = {17 + i, QString::fromLatin1(meta[i][0]),
                                QString::fromLatin1(meta[i][1]), QString::fromLatin1(meta[i][2]),
                                0};
    for (int pattern = 1; pattern <= 4; ++pattern) {
        const QStringList words =
            QString::fromLatin1(DefaultPatterns[std::min(pattern, 3) - 1]).split(u' ');
        for (int step = 1; step <= 32; ++step) {
            PatternExportRow row{pattern, step, {}};
            const unsigned word = words[step - 1].toUInt(nullptr, 16);
            for (int led = 1; led <= 16; ++led)
                row.leds[led - 1] = (word >> (led - 1)) & 1;
            data.patterns.push_back(row);
        }
    }
    return data;
}

QList<QByteArray> linesOf(const QByteArray& text) {
    return text.split('\n');
}

// The line that follows the line `after`, CR included.
QByteArray lineAfter(const QByteArray& text, const QByteArray& after) {
    const QList<QByteArray> lines = linesOf(text);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == after + '\r')
            return lines[i + 1];
    return "(none)";
}

QByteArray golden() {
    QFile file(QStringLiteral(KORV_DUMP_GOLDEN_DIR "/default-export.INI"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(TextExport, TrimTrailingSpaceCutsOnlyTrailingWhiteSpace) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("CC #  0        "), QStringLiteral("CC #  0")},
        {QStringLiteral("  a b \t\n\v\f\r "), QStringLiteral("  a b")},
        {QStringLiteral("               "), QString()},
        {QString(), QString()},
        {QStringLiteral("x"), QStringLiteral("x")},
    };
    for (auto [text, expected] : cases) {
        TrimTrailingSpace(text);
        EXPECT_EQ(text, expected);
    }
}

TEST(TextExport, TheDefaultSettingsGiveTheGoldenFile) {
    QByteArray expected = golden();
    expected.replace("@RELEASE@", "Release 1.004 : Feb  2 2003 : 16:02:05");
    expected.replace("@GENERATED_ON@", "01/02/2003 16:04:05");
    const QByteArray written = FormatTextExport(defaultData());
    // Line by line first, so that a difference shows where it is.
    const QList<QByteArray> got = linesOf(written), want = linesOf(expected);
    for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
        ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(written, expected);
}

TEST(TextExport, EncoderLinesFollowTheWorkedExamples) {
    TextExportData data = defaultData();
    data.encoders[16].label = QStringLiteral("               ");
    data.encoders[127].encMode = 7;
    data.encoders[127].encSpeed = 2;
    data.encoders[127].ledMode = 3;
    data.encoders[127].labelMode = QStringLiteral("+-HEX|");
    data.encoders[126].encMode = 1;
    data.encoders[126].encSpeed = 1;
    data.encoders[126].ledMode = 2;
    data.encoders[125].encMode = -1;
    data.encoders[125].encSpeed = -1;
    data.encoders[125].ledMode = -1;
    const QList<QByteArray> lines = linesOf(FormatTextExport(data));
    const auto encLine = [&](int id) { return lines[lines.indexOf("[ENCS]\r") + 1 + id]; };

    EXPECT_EQ(encLine(0),
              "   1.1  = B0 00 [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   \"CC #  0\" "
              "DEC|\r");
    EXPECT_EQ(encLine(16),
              "   2.1  = B0 10 [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   \"\" DEC|\r");
    EXPECT_EQ(encLine(31), "   2.16 = B0 1F [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   "
                           "\"CC # 31\" DEC|\r");
    EXPECT_EQ(encLine(112), "   8.1  = B0 70 [00-7F]   ENC_MODE_ABSOLUTE&NORMAL   LED_PATTERN_0   "
                            "\"CC #112\" DEC|\r");
    EXPECT_EQ(encLine(125), "   8.14 = B0 7D [00-7F]   ENC_MODE_UNKNOWN &UNKNOWN   "
                            "LED_PATTERN_UNKNOWN   \"CC #125\" DEC|\r");
    EXPECT_EQ(encLine(126), "   8.15 = B0 7E [00-7F]   ENC_MODE_40SPEED &FAST     LED_PATTERN_2   "
                            "\"CC #126\" DEC|\r");
    EXPECT_EQ(encLine(127), "   8.16 = B0 7F [00-7F]   ENC_MODE_HOUSTON &SLOW     LED_PATTERN_3   "
                            "\"CC #127\" +-HEX|\r");
}

TEST(TextExport, KeywordsOfEverySelectorPosition) {
    const QByteArray modes[] = {"ENC_MODE_ABSOLUTE", "ENC_MODE_40SPEED ", "ENC_MODE_00SPEED ",
                                "ENC_MODE_40_1    ", "ENC_MODE_00_1    ", "ENC_MODE_INCDEC  ",
                                "ENC_MODE_LCEMU   ", "ENC_MODE_HOUSTON "};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(EncModeKeyword(i), modes[i]);
    EXPECT_EQ(EncModeKeyword(8), "ENC_MODE_UNKNOWN ");
    EXPECT_EQ(EncSpeedKeyword(0), "NORMAL");
    EXPECT_EQ(EncSpeedKeyword(1), "FAST  ");
    EXPECT_EQ(EncSpeedKeyword(2), "SLOW  ");
    EXPECT_EQ(EncSpeedKeyword(3), "UNKNOWN");
    EXPECT_EQ(LedPatternKeyword(0), "LED_PATTERN_0");
    EXPECT_EQ(LedPatternKeyword(3), "LED_PATTERN_3");
    EXPECT_EQ(LedPatternKeyword(4), "LED_PATTERN_UNKNOWN");
    EXPECT_EQ(ButtModeKeyword(0), "@OnOff");
    EXPECT_EQ(ButtModeKeyword(1), "@OnOnly");
    EXPECT_EQ(ButtModeKeyword(2), "@Toggle");
    EXPECT_EQ(ButtModeKeyword(-1), "@Unknown");
    EXPECT_EQ(MergerKeyword(0), "disabled");
    EXPECT_EQ(MergerKeyword(1), "enabled");
    EXPECT_EQ(MergerKeyword(2), "kvlink_ep");
    EXPECT_EQ(MergerKeyword(3), "kvlink_fp");
    EXPECT_EQ(MergerKeyword(-1), "unknown");
}

TEST(TextExport, BoxSectionsTakeTheirValuesFromTheBoxPage) {
    TextExportData data = defaultData();
    data.box.bankName = QStringLiteral("My \"Live\" Set");
    data.box.snapShotAtPowerOn = true;
    data.box.autoSnapshot = false;
    data.box.mergerMode = 1;
    data.box.midiLeds = true;
    data.box.sendPCOnBankChange = true;
    data.box.receivePCForBankChange = true;
    data.box.touchsensorSensitivity = 1;
    data.box.lcEmulationId = 127;
    data.box.disableMenuNavigation = true;
    data.box.srOutMap = {0, 9, 10, 23, 16, 11, -1, 8};
    data.buttons[5].mode = 1;
    data.buttons[6].mode = 2;
    const QByteArray text = FormatTextExport(data);
    EXPECT_EQ(lineAfter(text, "[BANKNAME]"), "   \"My \"Live\" Set\"\r");
    EXPECT_EQ(lineAfter(text, "[SNAPSHOT_AT_POWERON]"), "   enabled\r");
    EXPECT_EQ(lineAfter(text, "[AUTO_SNAPSHOT]"), "   disabled\r");
    EXPECT_EQ(lineAfter(text, "[MIDI_MERGER]"), "   enabled\r");
    EXPECT_EQ(lineAfter(text, "[MIDI_LEDS]"), " enabled\r");
    EXPECT_EQ(lineAfter(text, "[SEND_PC_ON_BANKCHANGE]"), "   enabled\r");
    EXPECT_EQ(lineAfter(text, "[RECEIVE_PC_FOR_BANKCHANGE]"), "   enabled\r");
    EXPECT_EQ(lineAfter(text, "[TOUCHSENSOR_SENSITIVITY]"), "   1\r");
    EXPECT_EQ(lineAfter(text, "[LC_EMULATION_ID]"), "   7F\r");
    EXPECT_EQ(lineAfter(text, "[NAVIGATION_BUTTONS]"), "   disabled\r");
    EXPECT_TRUE(text.contains("[LED_MAP]\r\n   LED_SR1 = 0\r\n   LED_SR2 = 9\r\n   LED_SR3 = 10\r\n"
                              "   LED_SR4 = 23\r\n   LED_SR5 = 16\r\n   LED_SR6 = 11\r\n"
                              "   LED_SR7 = -1\r\n   LED_SR8 = 8\r\n\r\n[ENCS]\r\n"));
    EXPECT_TRUE(text.contains("\r\n   6 = 95 3C 7F @OnOnly\r\n   7 = 96 3C 7F @Toggle\r\n"));

    data.box.mergerMode = 2;
    EXPECT_EQ(lineAfter(FormatTextExport(data), "[MIDI_MERGER]"), "   kvlink_ep\r");
    data.box.mergerMode = 3;
    EXPECT_EQ(lineAfter(FormatTextExport(data), "[MIDI_MERGER]"), "   kvlink_fp\r");
}

TEST(TextExport, PatternLinesAreNumberedFromZeroWithTheStepInHexAndLed16First) {
    TextExportData data = defaultData();
    data.patterns[4 * 32 - 1].leds = {};
    data.patterns[4 * 32 - 1].leds[15] = true; // LED 16
    data.patterns[4 * 32 - 1].leds[1] = true;  // LED 2
    const QByteArray text = FormatTextExport(data);
    EXPECT_TRUE(text.contains("\r\n\r\n[LED_PATTERNS]\r\n   0.00 = 0000000000000001\r\n"));
    EXPECT_TRUE(text.contains("\r\n   1.1F = 0000011111100000\r\n   2.00 = "));
    EXPECT_TRUE(text.endsWith("\r\n   3.1E = 0000010000000000\r\n   3.1F = 1000000000000010\r\n"));
}

TEST(TextExport, WritingReplacesTheFileWholeOrNotAtAll) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("custom.INI"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer export\r\n");
    }
    const TextExportData data = defaultData();
    const FileResult result = WriteTextExport(file, data);
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QByteArray expected = golden();
    expected.replace("@RELEASE@", "Release 1.004 : Feb  2 2003 : 16:02:05");
    expected.replace("@GENERATED_ON@", "01/02/2003 16:04:05");
    EXPECT_EQ(written.readAll(), expected);

    const FileResult failed =
        WriteTextExport(dir.filePath(QStringLiteral("gone/custom.INI")), data);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
}
