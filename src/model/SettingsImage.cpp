#include "SettingsImage.h"

#include <QFile>

#include <algorithm>
#include <cassert>
#include <stdexcept>

namespace korv::model {
namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Indices come from controls and loops with fixed bounds; one outside its range is a fault of
// the caller. It must not reach a neighbouring field: the access is refused (no write, reads 0),
// and a debug build stops there.
bool inRange(int index, int first, int last) {
    const bool ok = index >= first && index <= last;
    assert(ok && "settings index out of range");
    return ok;
}
bool encoderOk(int encoder) {
    return inRange(encoder, 0, EncoderCount - 1);
}
bool buttonOk(int button) {
    return inRange(button, 0, ButtonCount - 1);
}
bool stepOk(int pattern, int step) {
    return inRange(pattern, 1, LedPatternCount) && inRange(step, 1, LedStepCount);
}

constexpr int potEntry(int encoder) {
    return offsets::PotEntries + 4 * encoder;
}
constexpr int buttEntry(int button) {
    return offsets::ButtEntries + 4 * button;
}
constexpr int potMode(int encoder) {
    return offsets::PotModes + 2 * encoder;
}
constexpr int labelEntry(int encoder) {
    return offsets::PotLabels + 16 * encoder;
}
constexpr int ledStep(int pattern, int step) {
    return offsets::LedPatterns + (pattern - 1) * 128 + (step - 1) * 4;
}

// Display mode index 0..7 <-> the character stored in the label entry.
constexpr std::uint8_t labelModeCode(int mode) {
    return static_cast<std::uint8_t>(0x40 + (mode % 4) + (mode >= 4 ? 0x20 : 0));
}

struct FlagBit {
    int offset;
    int bit;
};

FlagBit flagBit(BoxFlag flag) {
    switch (flag) {
    case BoxFlag::MergerDisabled:
        return {offsets::MergerByte, 0};
    case BoxFlag::MidiLeds:
        return {offsets::LedFlagsByte, 1};
    case BoxFlag::SendPCOnBankChange:
        return {offsets::BankFlagsByte, 0};
    case BoxFlag::ReceivePCForBankChange:
        return {offsets::BankFlagsByte, 1};
    case BoxFlag::LinkMode:
        return {offsets::BankFlagsByte, 2};
    case BoxFlag::DisableMenuNavigation:
        return {offsets::BankFlagsByte, 3};
    case BoxFlag::SnapShotAtPowerOn:
        return {offsets::SnapshotByte, 0};
    case BoxFlag::AutoSnapshot:
        return {offsets::SnapshotByte, 2};
    }
    return {offsets::MergerByte, 0};
}

} // namespace

SettingsImage::SettingsImage() {
    LoadDefault();
}

std::vector<std::uint8_t> SettingsImage::DefaultImage() {
    // Read once: the resource never changes while the program runs.
    static const std::vector<std::uint8_t> image =
        ReadDefaultImage(QStringLiteral(":/KVNTESTD/KVNTESYSEXFILE"));
    return image;
}

std::vector<std::uint8_t> SettingsImage::ReadDefaultImage(const QString& resource) {
    // The dump is compiled into the program, so this is a build fault; but starting from an
    // all-zero image would hand the user settings that no box holds, so say it in every build.
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("The built-in default settings (" + resource.toStdString() +
                                 ") are missing from the program.");
    const QByteArray bytes = file.readAll();
    if (bytes.size() != DumpSize)
        throw std::runtime_error("The built-in default settings (" + resource.toStdString() +
                                 ") are " + std::to_string(bytes.size()) + " bytes instead of " +
                                 std::to_string(DumpSize) + ".");
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void SettingsImage::LoadDefault() {
    const auto bytes = DefaultImage();
    Write(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> SettingsImage::Bytes() const {
    std::vector<std::uint8_t> bytes(DumpSize);
    for (int i = 0; i < DumpSize; ++i)
        bytes[i] = block_[i].load(relaxed);
    return bytes;
}

std::uint8_t SettingsImage::ImageByte(int imageOffset) const {
    if (!inRange(imageOffset, 0, DumpSize - 1))
        return 0;
    return block_[imageOffset].load(relaxed);
}

void SettingsImage::SetImageByte(int imageOffset, std::uint8_t value) {
    if (inRange(imageOffset, 0, DumpSize - 1))
        block_[imageOffset].store(value, relaxed);
}

void SettingsImage::Write(const std::uint8_t* data, std::size_t length) {
    const std::size_t n = std::min<std::size_t>(length, DumpSize);
    for (std::size_t i = 0; i < n; ++i)
        block_[i].store(data[i], relaxed);
}

std::uint8_t SettingsImage::DataByte(int dataOffset) const {
    if (!inRange(dataOffset, 0, MemorySize - 1))
        return 0;
    return block_[HeaderSize + dataOffset].load(relaxed);
}

void SettingsImage::SetDataByte(int dataOffset, std::uint8_t value) {
    if (inRange(dataOffset, 0, MemorySize - 1))
        block_[HeaderSize + dataOffset].store(value, relaxed);
}

std::uint8_t SettingsImage::PotStatus(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potEntry(encoder)) | 0x80;
}
void SettingsImage::SetPotStatus(int encoder, std::uint8_t status) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(potEntry(encoder), status & 0x7F);
}
std::uint8_t SettingsImage::PotByte1(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potEntry(encoder) + 1);
}
void SettingsImage::SetPotByte1(int encoder, std::uint8_t value) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(potEntry(encoder) + 1, value);
}
std::uint8_t SettingsImage::PotMin(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potEntry(encoder) + 2);
}
void SettingsImage::SetPotMin(int encoder, std::uint8_t value) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(potEntry(encoder) + 2, value);
}
std::uint8_t SettingsImage::PotMax(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potEntry(encoder) + 3);
}
void SettingsImage::SetPotMax(int encoder, std::uint8_t value) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(potEntry(encoder) + 3, value);
}

std::uint8_t SettingsImage::ButtStatus(int button) const {
    if (!buttonOk(button))
        return 0;
    return DataByte(buttEntry(button)) | 0x80;
}
void SettingsImage::SetButtStatus(int button, std::uint8_t status) {
    if (!buttonOk(button))
        return;
    SetDataByte(buttEntry(button), status & 0x7F);
}
std::uint8_t SettingsImage::ButtByte1(int button) const {
    if (!buttonOk(button))
        return 0;
    return DataByte(buttEntry(button) + 1);
}
void SettingsImage::SetButtByte1(int button, std::uint8_t value) {
    if (!buttonOk(button))
        return;
    SetDataByte(buttEntry(button) + 1, value);
}
std::uint8_t SettingsImage::ButtByte2(int button) const {
    if (!buttonOk(button))
        return 0;
    return DataByte(buttEntry(button) + 2);
}
void SettingsImage::SetButtByte2(int button, std::uint8_t value) {
    if (!buttonOk(button))
        return;
    SetDataByte(buttEntry(button) + 2, value);
}
std::uint8_t SettingsImage::ButtMode(int button) const {
    if (!buttonOk(button))
        return 0;
    return DataByte(buttEntry(button) + 3);
}
void SettingsImage::SetButtMode(int button, std::uint8_t mode) {
    if (!buttonOk(button))
        return;
    SetDataByte(buttEntry(button) + 3, mode);
}

int SettingsImage::EncMode(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potMode(encoder)) & 0x0F;
}
void SettingsImage::SetEncMode(int encoder, int mode) {
    if (!encoderOk(encoder))
        return;
    const std::uint8_t old = DataByte(potMode(encoder));
    SetDataByte(potMode(encoder), static_cast<std::uint8_t>((old & 0xF0) | (mode & 0x0F)));
}
int SettingsImage::EncSpeed(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potMode(encoder)) >> 4;
}
void SettingsImage::SetEncSpeed(int encoder, int speed) {
    if (!encoderOk(encoder))
        return;
    const std::uint8_t old = DataByte(potMode(encoder));
    // The stored byte is a SysEx data byte, so only three bits of the speed nibble fit.
    SetDataByte(potMode(encoder), static_cast<std::uint8_t>(((speed & 0x07) << 4) | (old & 0x0F)));
}
int SettingsImage::LedMode(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(potMode(encoder) + 1);
}
void SettingsImage::SetLedMode(int encoder, int pattern) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(potMode(encoder) + 1, static_cast<std::uint8_t>(pattern));
}

std::uint16_t SettingsImage::LedWord(int pattern, int step) const {
    if (!stepOk(pattern, step))
        return 0;
    const int at = ledStep(pattern, step);
    return static_cast<std::uint16_t>(((DataByte(at + 1) & 1) << 15) |
                                      ((DataByte(at) & 0x7F) << 8) | ((DataByte(at + 3) & 1) << 7) |
                                      (DataByte(at + 2) & 0x7F));
}

bool SettingsImage::Led(int pattern, int step, int led) const {
    if (!inRange(led, 1, LedCount))
        return false;
    return (LedWord(pattern, step) >> (led - 1)) & 1;
}

void SettingsImage::SetLed(int pattern, int step, int led, bool on) {
    if (!(stepOk(pattern, step) && inRange(led, 1, LedCount)))
        return;
    // LEDs 1-7 live in byte 2, LED 8 in byte 3 bit 0, LEDs 9-15 in byte 0, LED 16 in byte 1 bit 0.
    const int at = ledStep(pattern, step);
    int byte = 0;
    int bit = 0;
    if (led <= 7) {
        byte = 2;
        bit = led - 1;
    } else if (led == 8) {
        byte = 3;
    } else if (led <= 15) {
        byte = 0;
        bit = led - 9;
    } else {
        byte = 1;
    }
    const std::uint8_t old = DataByte(at + byte);
    const auto mask = static_cast<std::uint8_t>(1 << bit);
    SetDataByte(at + byte, on ? (old | mask) : (old & ~mask));
}

std::uint8_t SettingsImage::PotValue(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    return DataByte(offsets::PotValues + encoder);
}
void SettingsImage::SetPotValue(int encoder, std::uint8_t value) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(offsets::PotValues + encoder, value);
}

int SettingsImage::LabelMode(int encoder) const {
    if (!encoderOk(encoder))
        return 0;
    const std::uint8_t code = DataByte(labelEntry(encoder));
    for (int mode = 0; mode < 8; ++mode) {
        if (labelModeCode(mode) == code)
            return mode;
    }
    return 0;
}
void SettingsImage::SetLabelMode(int encoder, int mode) {
    if (!encoderOk(encoder))
        return;
    SetDataByte(labelEntry(encoder), labelModeCode(mode));
}
std::string SettingsImage::LabelText(int encoder) const {
    if (!encoderOk(encoder))
        return {};
    return ReadText(labelEntry(encoder) + 1, LabelTextLength);
}
void SettingsImage::SetLabelText(int encoder, const std::string& text) {
    if (!encoderOk(encoder))
        return;
    WriteText(labelEntry(encoder) + 1, LabelTextLength, text);
}

std::string SettingsImage::BankName() const {
    return ReadText(offsets::BankName, BankNameLength);
}
void SettingsImage::SetBankName(const std::string& name) {
    WriteText(offsets::BankName, BankNameLength, name);
}

int SettingsImage::TouchSensitivity() const {
    return NibblePair(offsets::TouchSensitivity) + 1;
}
void SettingsImage::SetTouchSensitivity(int sensitivity) {
    SetNibblePair(offsets::TouchSensitivity, sensitivity - 1);
}
int SettingsImage::LcEmulationId() const {
    return NibblePair(offsets::LcEmulationId);
}
void SettingsImage::SetLcEmulationId(int id) {
    SetNibblePair(offsets::LcEmulationId, id);
}
int SettingsImage::SrOutMap(int shiftRegister) const {
    if (!inRange(shiftRegister, 1, SrOutCount))
        return 0;
    return NibblePair(offsets::SrOutMap + 2 * (shiftRegister - 1));
}
void SettingsImage::SetSrOutMap(int shiftRegister, int code) {
    if (!inRange(shiftRegister, 1, SrOutCount))
        return;
    SetNibblePair(offsets::SrOutMap + 2 * (shiftRegister - 1), code);
}

bool SettingsImage::Flag(BoxFlag flag) const {
    const FlagBit at = flagBit(flag);
    return (DataByte(at.offset) >> at.bit) & 1;
}
void SettingsImage::SetFlag(BoxFlag flag, bool on) {
    const FlagBit at = flagBit(flag);
    const std::uint8_t old = DataByte(at.offset);
    const auto mask = static_cast<std::uint8_t>(1 << at.bit);
    SetDataByte(at.offset, on ? (old | mask) : (old & ~mask));
}

int SettingsImage::MergerMode() const {
    return (Flag(BoxFlag::MergerDisabled) ? 0 : 1) + (Flag(BoxFlag::LinkMode) ? 2 : 0);
}
void SettingsImage::SetMergerMode(int mode) {
    SetFlag(BoxFlag::MergerDisabled, (mode & 1) == 0);
    SetFlag(BoxFlag::LinkMode, (mode & 2) != 0);
}

std::uint8_t SettingsImage::DeviceByte() const {
    return ImageByte(5);
}
void SettingsImage::SetDeviceByte(std::uint8_t value) {
    block_[5].store(value, relaxed);
}

void SettingsImage::StampSave() {
    SetDataByte(offsets::SaveStamp, 0x47);
    SetDataByte(offsets::SaveStamp + 1, 0x11);
}

int SettingsImage::NibblePair(int dataOffset) const {
    return ((DataByte(dataOffset + 1) & 0x0F) << 4) | (DataByte(dataOffset) & 0x0F);
}

void SettingsImage::SetNibblePair(int dataOffset, int value) {
    SetDataByte(dataOffset, static_cast<std::uint8_t>(value & 0x0F));
    SetDataByte(dataOffset + 1, static_cast<std::uint8_t>((value >> 4) & 0x0F));
}

std::string SettingsImage::ReadText(int dataOffset, int length) const {
    std::string text;
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<char>(DataByte(dataOffset + i));
        if (c == '\0')
            break;
        text += c;
    }
    return text;
}

// Spaces, the text over the start, a NUL right after a shorter text, no top bits: the box
// reads the field up to the NUL, and every byte must stay a SysEx data byte.
void SettingsImage::WriteText(int dataOffset, int length, const std::string& text) {
    const std::size_t end = std::min(text.find('\0'), text.size());
    const int used = static_cast<int>(std::min<std::size_t>(end, static_cast<std::size_t>(length)));
    for (int i = 0; i < length; ++i) {
        std::uint8_t c = ' ';
        if (i < used)
            c = static_cast<std::uint8_t>(text[i]);
        else if (i == used)
            c = 0;
        SetDataByte(dataOffset + i, c & 0x7F);
    }
}

} // namespace korv::model
