#include "DumpDifferences.h"

#include "EventEntries.h"
#include "SettingsImage.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace korv::dump {
namespace {

using model::SettingsImage;
namespace offsets = model::offsets;

constexpr int Data = model::HeaderSize; // image offset of data offset 0

QString hex(int value) {
    return QString::asprintf("%02X", value);
}

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString quoted(const std::string& text) {
    return QLatin1Char('"') + QString::fromLatin1(text) + QLatin1Char('"');
}

// A selector's item, or the number when the selector would show no item.
template <std::size_t N> QString item(const std::array<std::string_view, N>& items, int index) {
    if (index >= 0 && index < static_cast<int>(N))
        return QString::fromLatin1(
            items[static_cast<std::size_t>(index)].data(),
            static_cast<qsizetype>(items[static_cast<std::size_t>(index)].size()));
    return QStringLiteral("no item (%1)").arg(index);
}

// Bits that a field shows, in `count` image bytes from `imageOffset` on.
struct Bits {
    int imageOffset;
    std::uint8_t mask;
    int count = 1;
};

class Comparer {
public:
    Comparer(const std::vector<std::uint8_t>& sent, const std::vector<std::uint8_t>& box) {
        sent_.Write(sent.data(), sent.size());
        box_.Write(box.data(), box.size());
        // Rewritten by every save: never a difference worth telling.
        covered_[Data + offsets::SaveStamp] = 0xFF;
        covered_[Data + offsets::SaveStamp + 1] = 0xFF;
    }

    const SettingsImage& sent() const { return sent_; }
    const SettingsImage& box() const { return box_; }

    // Reported when the two texts differ; its bits then count as told.
    void Field(const QString& name, std::initializer_list<Bits> bits, const QString& sentText,
               const QString& boxText) {
        if (sentText == boxText)
            return;
        differences_.push_back({name, sentText, boxText});
        for (const Bits& b : bits)
            for (int i = 0; i < b.count; ++i)
                covered_[static_cast<std::size_t>(b.imageOffset + i)] |= b.mask;
    }

    // Every differing bit that no reported field showed, as data bytes in image order.
    std::vector<FieldDifference> Finish() {
        for (int i = 0; i < model::DumpSize; ++i) {
            const int s = sent_.ImageByte(i);
            const int b = box_.ImageByte(i);
            if (((s ^ b) & ~covered_[static_cast<std::size_t>(i)]) != 0)
                differences_.push_back(
                    {QString::asprintf("Data byte 0x%03X", i - Data), hex(s), hex(b)});
        }
        return std::move(differences_);
    }

private:
    SettingsImage sent_;
    SettingsImage box_;
    std::array<std::uint8_t, model::DumpSize> covered_{};
    std::vector<FieldDifference> differences_;
};

void compareHeader(Comparer& c) {
    const auto header = [](const SettingsImage& image) {
        QStringList bytes;
        for (int i = 0; i < model::HeaderSize; ++i)
            bytes << hex(i == 5 ? (image.ImageByte(i) & 0x8F) : image.ImageByte(i));
        return bytes.join(QLatin1Char(' '));
    };
    c.Field(QStringLiteral("Header"), {{0, 0xFF, 5}, {5, 0x8F}}, header(c.sent()), header(c.box()));
    c.Field(QStringLiteral("Sysex Device ID"), {{5, 0x70}},
            QString::number((c.sent().DeviceByte() >> 4) & 7),
            QString::number((c.box().DeviceByte() >> 4) & 7));
}

void compareEncoder(Comparer& c, int n) {
    const QString name =
        QStringLiteral("Encoder %1.%2 ").arg(model::BankOfEncoder(n)).arg(model::NumberInBank(n));
    const int entry = Data + offsets::PotEntries + 4 * n;
    const SettingsImage& s = c.sent();
    const SettingsImage& b = c.box();
    c.Field(name + QStringLiteral("Byte 0"), {{entry, 0x7F}}, QString::number(s.PotStatus(n)),
            QString::number(b.PotStatus(n)));
    c.Field(name + QStringLiteral("Byte 1"), {{entry + 1, 0xFF}}, QString::number(s.PotByte1(n)),
            QString::number(b.PotByte1(n)));
    c.Field(name + QStringLiteral("Min"), {{entry + 2, 0xFF}}, QString::number(s.PotMin(n)),
            QString::number(b.PotMin(n)));
    c.Field(name + QStringLiteral("Max"), {{entry + 3, 0xFF}}, QString::number(s.PotMax(n)),
            QString::number(b.PotMax(n)));

    const int label = Data + offsets::PotLabels + 16 * n;
    c.Field(name + QStringLiteral("Label"), {{label + 1, 0xFF, model::LabelTextLength}},
            quoted(s.LabelText(n)), quoted(b.LabelText(n)));
    c.Field(name + QStringLiteral("Label Mode"), {{label, 0xFF}},
            item(model::LabelModeItems(), s.LabelMode(n)),
            item(model::LabelModeItems(), b.LabelMode(n)));

    const int modes = Data + offsets::PotModes + 2 * n;
    c.Field(name + QStringLiteral("Enc Mode"), {{modes, 0x0F}},
            item(model::EncModeItems(), s.EncMode(n)), item(model::EncModeItems(), b.EncMode(n)));
    c.Field(name + QStringLiteral("Enc Speed"), {{modes, 0xF0}},
            item(model::EncSpeedItems(), s.EncSpeed(n)),
            item(model::EncSpeedItems(), b.EncSpeed(n)));
    c.Field(name + QStringLiteral("Led Ring"), {{modes + 1, 0xFF}},
            item(model::LedPatternItems(), s.LedMode(n)),
            item(model::LedPatternItems(), b.LedMode(n)));
    c.Field(name + QStringLiteral("Value"), {{Data + offsets::PotValues + n, 0xFF}},
            QString::number(s.PotValue(n)), QString::number(b.PotValue(n)));
}

void compareButton(Comparer& c, int m) {
    const QString name = QStringLiteral("Button %1 ").arg(m + 1);
    const int entry = Data + offsets::ButtEntries + 4 * m;
    const SettingsImage& s = c.sent();
    const SettingsImage& b = c.box();
    c.Field(name + QStringLiteral("Byte 0"), {{entry, 0x7F}}, QString::number(s.ButtStatus(m)),
            QString::number(b.ButtStatus(m)));
    c.Field(name + QStringLiteral("Byte 1"), {{entry + 1, 0xFF}}, QString::number(s.ButtByte1(m)),
            QString::number(b.ButtByte1(m)));
    c.Field(name + QStringLiteral("Byte 2"), {{entry + 2, 0xFF}}, QString::number(s.ButtByte2(m)),
            QString::number(b.ButtByte2(m)));
    c.Field(name + QStringLiteral("Mode"), {{entry + 3, 0xFF}},
            item(model::ButtModeItems(), s.ButtMode(m)),
            item(model::ButtModeItems(), b.ButtMode(m)));
}

void compareBox(Comparer& c) {
    const SettingsImage& s = c.sent();
    const SettingsImage& b = c.box();
    c.Field(QStringLiteral("Bank Name"), {{Data + offsets::BankName, 0xFF, model::BankNameLength}},
            quoted(s.BankName()), quoted(b.BankName()));
    c.Field(QStringLiteral("MIDI Merger"),
            {{Data + offsets::MergerByte, 0x01}, {Data + offsets::BankFlagsByte, 0x04}},
            item(model::MergerModeItems(), s.MergerMode()),
            item(model::MergerModeItems(), b.MergerMode()));

    struct FlagField {
        const char* name;
        model::BoxFlag flag;
        int offset;
        std::uint8_t bit;
    };
    static constexpr FlagField flags[] = {
        {"SnapShot at PowerOn", model::BoxFlag::SnapShotAtPowerOn, offsets::SnapshotByte, 0x01},
        {"Auto Snapshot", model::BoxFlag::AutoSnapshot, offsets::SnapshotByte, 0x04},
        {"MIDI Leds", model::BoxFlag::MidiLeds, offsets::LedFlagsByte, 0x02},
        {"Send PC On Bank Change", model::BoxFlag::SendPCOnBankChange, offsets::BankFlagsByte,
         0x01},
        {"Receive PC For Bank Change", model::BoxFlag::ReceivePCForBankChange,
         offsets::BankFlagsByte, 0x02},
        {"Disable Menu Navigation", model::BoxFlag::DisableMenuNavigation, offsets::BankFlagsByte,
         0x08},
    };
    for (const FlagField& f : flags)
        c.Field(QString::fromLatin1(f.name), {{Data + f.offset, f.bit}}, onOff(s.Flag(f.flag)),
                onOff(b.Flag(f.flag)));

    c.Field(QStringLiteral("LC Emulation ID"),
            {{Data + offsets::LcEmulationId, 0x0F}, {Data + offsets::LcEmulationId + 1, 0x0F}},
            QString::number(s.LcEmulationId()), QString::number(b.LcEmulationId()));
    c.Field(
        QStringLiteral("Touchsensor Sensitivity"),
        {{Data + offsets::TouchSensitivity, 0x0F}, {Data + offsets::TouchSensitivity + 1, 0x0F}},
        QString::number(s.TouchSensitivity()), QString::number(b.TouchSensitivity()));

    for (int pattern = 1; pattern <= model::LedPatternCount; ++pattern) {
        for (int step = 1; step <= model::LedStepCount; ++step) {
            const int at = Data + offsets::LedPatterns + (pattern - 1) * 128 + (step - 1) * 4;
            for (int led = 1; led <= model::LedCount; ++led) {
                // LEDs 1-7 in byte 2, LED 8 in byte 3, LEDs 9-15 in byte 0, LED 16 in byte 1.
                const Bits bit = led <= 7 ? Bits{at + 2, static_cast<std::uint8_t>(1 << (led - 1))}
                                 : led == 8  ? Bits{at + 3, 0x01}
                                 : led <= 15 ? Bits{at, static_cast<std::uint8_t>(1 << (led - 9))}
                                             : Bits{at + 1, 0x01};
                c.Field(
                    QStringLiteral("Pattern #%1 Entry #%2 LED %3").arg(pattern).arg(step).arg(led),
                    {bit}, onOff(s.Led(pattern, step, led)), onOff(b.Led(pattern, step, led)));
            }
        }
    }

    for (int sr = 1; sr <= model::SrOutCount; ++sr) {
        const int at = Data + offsets::SrOutMap + 2 * (sr - 1);
        c.Field(QStringLiteral("SR #%1").arg(sr), {{at, 0x0F}, {at + 1, 0x0F}},
                item(model::SrOutMapItems(), s.SrOutMap(sr)),
                item(model::SrOutMapItems(), b.SrOutMap(sr)));
    }
}

} // namespace

QString FieldDifference::Text() const {
    return field + QStringLiteral(": sent ") + sent + QStringLiteral(", box ") + box;
}

std::vector<FieldDifference> DumpDifferences(const std::vector<std::uint8_t>& sent,
                                             const std::vector<std::uint8_t>& box) {
    Comparer c(sent, box);
    compareHeader(c);
    for (int n = 0; n < model::EncoderCount; ++n)
        compareEncoder(c, n);
    for (int m = 0; m < model::ButtonCount; ++m)
        compareButton(c, m);
    compareBox(c);
    const int end = model::DumpSize - 1;
    c.Field(QStringLiteral("End byte"), {{end, 0xFF}}, hex(c.sent().ImageByte(end)),
            hex(c.box().ImageByte(end)));
    return c.Finish();
}

QStringList DifferenceTexts(const std::vector<FieldDifference>& differences) {
    QStringList texts;
    for (const FieldDifference& d : differences)
        texts << d.Text();
    return texts;
}

QString VerifySummary(const std::vector<FieldDifference>& differences) {
    const auto count = static_cast<qsizetype>(differences.size());
    if (count == 0)
        return QStringLiteral("Verify: the box holds what was sent");
    QStringList shown;
    for (qsizetype i = 0; i < std::min<qsizetype>(count, 2); ++i)
        shown << differences[static_cast<std::size_t>(i)].Text();
    if (count > 2)
        shown << QStringLiteral("and %1 more").arg(count - 2);
    return QStringLiteral("Verify: the box differs in %1 %2: ")
               .arg(count)
               .arg(count == 1 ? QStringLiteral("field") : QStringLiteral("fields")) +
           shown.join(QStringLiteral("; "));
}

} // namespace korv::dump
