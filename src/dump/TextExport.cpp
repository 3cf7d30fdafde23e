#include "TextExport.h"

#include <QLocale>

#include <cstdarg>
#include <cstdio>

namespace korv::dump {
namespace {

const char* const LatestVersionLine =
    "# Latest version of korvanettesim : https://korvanettesim.example.org/\r\n";
const char* const ConsumerLine =
    "# This format is read by the packdump script, which builds a Korvanette dump from it\r\n";
const char* const MoreInfoLine =
    "# More information : https://korvanettesim.example.org/packdump\r\n\r\n";

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void appendf(QByteArray& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    const qsizetype at = out.size();
    out.resize(at + length + 1); // vsnprintf writes a terminating NUL
    va_start(args, format);
    std::vsnprintf(out.data() + at, static_cast<std::size_t>(length) + 1, format, args);
    va_end(args);
    out.chop(1);
}

QByteArray latin1(const QString& text) {
    return text.toLatin1();
}

const char* enabled(bool on) {
    return on ? "enabled" : "disabled";
}

template <std::size_t N>
QByteArray keyword(const char* const (&words)[N], int position, const char* unknown) {
    if (position < 0 || position >= static_cast<int>(N))
        return unknown;
    return words[position];
}

} // namespace

QString GeneratedOnText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::LongFormat);
}

void TrimTrailingSpace(QString& text) {
    qsizetype end = text.size();
    while (end > 0) {
        const QChar c = text.at(end - 1);
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\v' && c != u'\f' && c != u'\r')
            break;
        --end;
    }
    text.truncate(end);
}

QByteArray EncModeKeyword(int position) {
    // Padded to one width so that the columns after it line up.
    static const char* const words[] = {
        "ENC_MODE_ABSOLUTE", "ENC_MODE_40SPEED ", "ENC_MODE_00SPEED ", "ENC_MODE_40_1    ",
        "ENC_MODE_00_1    ", "ENC_MODE_INCDEC  ", "ENC_MODE_LCEMU   ", "ENC_MODE_HOUSTON ",
    };
    return keyword(words, position, "ENC_MODE_UNKNOWN ");
}

QByteArray EncSpeedKeyword(int position) {
    static const char* const words[] = {"NORMAL", "FAST  ", "SLOW  "};
    return keyword(words, position, "UNKNOWN");
}

QByteArray LedPatternKeyword(int position) {
    static const char* const words[] = {"LED_PATTERN_0", "LED_PATTERN_1", "LED_PATTERN_2",
                                        "LED_PATTERN_3"};
    return keyword(words, position, "LED_PATTERN_UNKNOWN");
}

QByteArray ButtModeKeyword(int position) {
    static const char* const words[] = {"@OnOff", "@OnOnly", "@Toggle"};
    return keyword(words, position, "@Unknown");
}

QByteArray MergerKeyword(int position) {
    static const char* const words[] = {"disabled", "enabled", "kvlink_ep", "kvlink_fp"};
    return keyword(words, position, "unknown");
}

QByteArray FormatTextExport(const TextExportData& data) {
    QByteArray out;
    const QByteArray release = latin1(data.releaseText);
    appendf(out, "# Export from korvanettesim : %s\r\n", release.constData());
    appendf(out, "# INI Export still under construction %s\r\n", release.constData());
    out.append(LatestVersionLine);
    appendf(out, "# Data Generated on : %s\r\n", latin1(data.generatedOn).constData());
    out.append(ConsumerLine);
    out.append(MoreInfoLine);

    const BoxExportRow& box = data.box;
    out.append("[TYPE]\r\n   korvanette\r\n\r\n");
    appendf(out, "[BANKNAME]\r\n   \"%s\"\r\n\r\n", latin1(box.bankName).constData());
    appendf(out, "[SNAPSHOT_AT_POWERON]\r\n   %s\r\n\r\n", enabled(box.snapShotAtPowerOn));
    appendf(out, "[AUTO_SNAPSHOT]\r\n   %s\r\n\r\n", enabled(box.autoSnapshot));
    appendf(out, "[MIDI_MERGER]\r\n   %s\r\n\r\n", MergerKeyword(box.mergerMode).constData());
    appendf(out, "[MIDI_LEDS]\r\n %s\r\n\r\n", enabled(box.midiLeds));
    appendf(out, "[SEND_PC_ON_BANKCHANGE]\r\n   %s\r\n\r\n", enabled(box.sendPCOnBankChange));
    appendf(out, "[RECEIVE_PC_FOR_BANKCHANGE]\r\n   %s\r\n\r\n",
            enabled(box.receivePCForBankChange));
    appendf(out, "[TOUCHSENSOR_SENSITIVITY]\r\n   %d\r\n\r\n", box.touchsensorSensitivity);
    appendf(out, "[LC_EMULATION_ID]\r\n   %02X\r\n\r\n", static_cast<unsigned>(box.lcEmulationId));
    // The box names the navigation, the page names its switching off.
    appendf(out, "[NAVIGATION_BUTTONS]\r\n   %s\r\n\r\n", enabled(!box.disableMenuNavigation));

    out.append("[LED_MAP]\r\n");
    for (int sr = 0; sr < 8; ++sr)
        appendf(out, "   LED_SR%d = %d\r\n", sr + 1, box.srOutMap[sr]);
    out.append("\r\n");

    out.append("[ENCS]\r\n");
    for (const EncoderExportRow& enc : data.encoders) {
        QString label = enc.label;
        TrimTrailingSpace(label);
        appendf(out, "   %d.%-2d = %s %s [%s-%s]   %s&%s   %s   \"%s\" %s\r\n", enc.bank,
                enc.numberInBank, latin1(enc.byte0Hex).constData(),
                latin1(enc.byte1Hex).constData(), latin1(enc.minHex).constData(),
                latin1(enc.maxHex).constData(), EncModeKeyword(enc.encMode).constData(),
                EncSpeedKeyword(enc.encSpeed).constData(),
                LedPatternKeyword(enc.ledMode).constData(), latin1(label).constData(),
                latin1(enc.labelMode).constData());
    }

    out.append("\r\n[BUTTONS]\r\n");
    for (const ButtonExportRow& butt : data.buttons)
        appendf(out, "   %d = %s %s %s %s\r\n", butt.numberInBank,
                latin1(butt.byte0Hex).constData(), latin1(butt.byte1Hex).constData(),
                latin1(butt.byte2Hex).constData(), ButtModeKeyword(butt.mode).constData());

    out.append("\r\n[LED_PATTERNS]\r\n");
    for (const PatternExportRow& row : data.patterns) {
        appendf(out, "   %d.%02X = ", row.pattern - 1, static_cast<unsigned>(row.step - 1));
        // LED 16 first, LED 1 last.
        for (int led = 16; led >= 1; --led)
            out.append(row.leds[led - 1] ? '1' : '0');
        out.append("\r\n");
    }
    return out;
}

FileResult WriteTextExport(const QString& path, const TextExportData& data) {
    return SaveBytes(path, FormatTextExport(data));
}

} // namespace korv::dump
