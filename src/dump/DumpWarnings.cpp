#include "DumpWarnings.h"

#include "SettingsImage.h"

#include <algorithm>
#include <array>

namespace korv::dump {
namespace {

constexpr std::array<std::uint8_t, 5> Header{0xF0, 0x00, 0x00, 0x7E, 0x45};
constexpr int EndOffset = model::DumpSize - 1;

QString hexBytes(const std::uint8_t* bytes, int count) {
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QString::asprintf("%02X", bytes[i]);
    return texts.join(QLatin1Char(' '));
}

QString sizeWarning(std::int64_t size) {
    const QString bytes =
        GroupedNumber(size) + (size == 1 ? QStringLiteral(" byte: ") : QStringLiteral(" bytes: "));
    if (size == 0)
        return QStringLiteral("0 bytes: the settings keep their old values");
    if (size < model::DumpSize) {
        const std::int64_t kept = model::DumpSize - size;
        return bytes + (kept == 1 ? QStringLiteral("the last byte keeps its old value")
                                  : QStringLiteral("the last ") + GroupedNumber(kept) +
                                        QStringLiteral(" bytes keep their old values"));
    }
    const std::int64_t extra = size - model::DumpSize;
    return bytes + QStringLiteral("only the first 4,103 are read, ") +
           (extra == 1 ? QStringLiteral("the last byte is left out")
                       : QStringLiteral("the last ") + GroupedNumber(extra) +
                             QStringLiteral(" bytes are left out"));
}

} // namespace

QString GroupedNumber(std::int64_t value) {
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QStringList DumpWarnings(const std::uint8_t* loaded, int loadedCount, std::int64_t size) {
    QStringList warnings;
    if (size != model::DumpSize)
        warnings << sizeWarning(size);

    const int headerCount = std::min(loadedCount, static_cast<int>(Header.size()));
    if (!std::equal(loaded, loaded + headerCount, Header.begin()))
        warnings << QStringLiteral("the header is ") + hexBytes(loaded, headerCount) +
                        QStringLiteral(", not ") + hexBytes(Header.data(), headerCount) +
                        QStringLiteral(": these may not be the settings of this box");

    if (loadedCount > EndOffset && loaded[EndOffset] != 0xF7)
        warnings << QStringLiteral("the last byte is ") + hexBytes(loaded + EndOffset, 1) +
                        QStringLiteral(", not F7: the dump may be cut off or shifted");

    // Inside a SysEx message a byte of 80 or more ends it: a box would stop reading there.
    int high = 0;
    int first = 0;
    for (int i = 1; i < std::min(loadedCount, EndOffset); ++i) {
        if (loaded[i] & 0x80) {
            if (high++ == 0)
                first = i;
        }
    }
    if (high == 1)
        warnings << QStringLiteral("byte ") + GroupedNumber(first + 1) +
                        QStringLiteral(" has its top bit set: sent to a box, it would end the "
                                       "dump there");
    else if (high > 1)
        warnings << GroupedNumber(high) +
                        QStringLiteral(" bytes have their top bit set, the first is byte ") +
                        GroupedNumber(first + 1) +
                        QStringLiteral(": sent to a box, the dump would end there");
    return warnings;
}

} // namespace korv::dump
