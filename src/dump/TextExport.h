// The sectioned text export read by the packdump script: header comments, twelve short sections,
// the LED map, 128 encoder lines, 64 button lines and 128 LED pattern lines, CR LF throughout.
// The window fills TextExportData from what its editor pages show; this writes the bytes.
#pragma once

#include "SaveFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

namespace korv::dump {

// Selector positions are item indices; -1 stands for a selector that shows no item.
struct BoxExportRow {
    QString bankName;
    bool snapShotAtPowerOn = false;
    bool autoSnapshot = false;
    int mergerMode = 0; // "MIDI Merger off", "MIDI Merger on", "Korvane Link EP", "... FP"
    bool midiLeds = false;
    bool sendPCOnBankChange = false;
    bool receivePCForBankChange = false;
    int touchsensorSensitivity = 1;
    int lcEmulationId = 0;
    bool disableMenuNavigation = false;
    std::array<int, 8> srOutMap{}; // SR #1 to SR #8
};

// One encoder as the encoder page shows it; the hexadecimal fields are the texts of the HEX
// displays ("B0", "00", ...).
struct EncoderExportRow {
    int bank = 1;
    int numberInBank = 1;
    QString byte0Hex, byte1Hex, minHex, maxHex;
    int encMode = 0;
    int encSpeed = 0;
    int ledMode = 0;
    QString label;     // as shown; trailing white space is cut when written
    QString labelMode; // the shown item: "HEX", "+-HEX", ..., "+-DEC|"
};

struct ButtonExportRow {
    int numberInBank = 1; // 1..64
    QString byte0Hex, byte1Hex, byte2Hex;
    int mode = 0; // "ON/OFF", "ON ONLY", "TOGGLE"
};

struct PatternExportRow {
    int pattern = 1;             // 1..4
    int step = 1;                // 1..32
    std::array<bool, 16> leds{}; // leds[0] is LED 1
};

struct TextExportData {
    QString releaseText; // the release and build line of the File page
    QString generatedOn; // see GeneratedOnText
    BoxExportRow box;
    std::vector<EncoderExportRow> encoders; // encoder IDs 0..127 in order
    std::vector<ButtonExportRow> buttons;   // button IDs 0..63 in order
    std::vector<PatternExportRow> patterns; // pattern 1 step 1 .. pattern 4 step 32
};

// The local date and time in the locale's short date and long time formats.
QString GeneratedOnText(const QDateTime& when);

// Cuts every trailing space, tab, line feed, vertical tab, form feed and carriage return.
void TrimTrailingSpace(QString& text);

// Keywords of the selector positions. A mode without a keyword of its own ("send Houston type
// event") writes ENC_MODE_HOUSTON; a selector showing no item writes a word with UNKNOWN in it,
// so that no missing setting passes for a real one.
QByteArray EncModeKeyword(int position);
QByteArray EncSpeedKeyword(int position);
QByteArray LedPatternKeyword(int position);
QByteArray ButtModeKeyword(int position);
QByteArray MergerKeyword(int position);

QByteArray FormatTextExport(const TextExportData& data);
FileResult WriteTextExport(const QString& path, const TextExportData& data);

} // namespace korv::dump
