// What differs between two dumps, field by field, named as the editor pages name them
// ("Encoder 3.5 Min: sent 10, box 0"), so that a verify after a send can tell the user what
// the box holds that was not sent.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace korv::dump {

struct FieldDifference {
    QString field; // "Encoder 3.5 Min", "Button 12 Mode", "Bank Name", "Data byte 0x685"
    QString sent;
    QString box;

    QString Text() const; // "<field>: sent <sent>, box <box>"
    bool operator==(const FieldDifference&) const = default;
};

// Compares two 4,103-byte dumps. The save stamp is left aside: every save rewrites it. Fields
// come in the order of the editor pages (encoders, buttons, box settings); bits that no page
// shows (top bits, unused flag bits, bytes after a label's end, reserved stretches) follow as
// data bytes, so no differing byte goes unreported. Empty when the dumps agree.
std::vector<FieldDifference> DumpDifferences(const std::vector<std::uint8_t>& sent,
                                             const std::vector<std::uint8_t>& box);

// The texts of all differences, one per line.
QStringList DifferenceTexts(const std::vector<FieldDifference>& differences);

// The status line after a verify: that the box holds what was sent, or how many fields differ
// with the first two of them.
QString VerifySummary(const std::vector<FieldDifference>& differences);

} // namespace korv::dump
