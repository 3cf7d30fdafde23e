// The settings image: the box's 4,096-byte settings memory held in the exact form of the dump
// message that carries it (6 header bytes, the memory, F7), with typed access to every field.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QString;

namespace korv::model {

inline constexpr int DumpSize = 4103;
inline constexpr int HeaderSize = 6;
inline constexpr int MemorySize = 4096;

inline constexpr int EncoderCount = 128;
inline constexpr int ButtonCount = 64;
inline constexpr int BankCount = 8;
inline constexpr int EncodersPerBank = 16;
inline constexpr int LedPatternCount = 4;
inline constexpr int LedStepCount = 32;
inline constexpr int LedCount = 16;
inline constexpr int SrOutCount = 8;
inline constexpr int LabelTextLength = 15;
inline constexpr int BankNameLength = 16;

// Data offsets of the regions of the settings memory (image offset = data offset + 6).
namespace offsets {
inline constexpr int PotEntries = 0x000;
inline constexpr int ButtEntries = 0x200;
inline constexpr int PotModes = 0x300;
inline constexpr int LedPatterns = 0x400;
inline constexpr int PotValues = 0x600;
inline constexpr int SaveStamp = 0x690;
inline constexpr int MergerByte = 0x692;
inline constexpr int LedFlagsByte = 0x693;
inline constexpr int BankFlagsByte = 0x694;
inline constexpr int SnapshotByte = 0x695;
inline constexpr int BankName = 0x696;
inline constexpr int TouchSensitivity = 0x6B6;
inline constexpr int LcEmulationId = 0x6B8;
inline constexpr int SrOutMap = 0x6BA;
inline constexpr int PotLabels = 0x800;
} // namespace offsets

// Encoders are named by ID 0..127 or by bank 1..8 and number in bank 1..16.
constexpr int EncoderId(int bank, int numberInBank) {
    return (bank - 1) * EncodersPerBank + (numberInBank - 1);
}
constexpr int BankOfEncoder(int encoderId) {
    return encoderId / EncodersPerBank + 1;
}
constexpr int NumberInBank(int encoderId) {
    return encoderId % EncodersPerBank + 1;
}

// A box-wide flag: which byte and which bit.
enum class BoxFlag {
    MergerDisabled,         // MergerByte bit 0
    MidiLeds,               // LedFlagsByte bit 1
    SendPCOnBankChange,     // BankFlagsByte bit 0
    ReceivePCForBankChange, // BankFlagsByte bit 1
    LinkMode,               // BankFlagsByte bit 2
    DisableMenuNavigation,  // BankFlagsByte bit 3
    SnapShotAtPowerOn,      // SnapshotByte bit 0
    AutoSnapshot,           // SnapshotByte bit 2
};

// Indices outside their ranges (encoder 0..127, button 0..63, pattern 1..4, step 1..32, LED
// 1..16, register 1..8, offsets within the block) are refused: nothing is written, reads give 0.
// Every byte is an atomic so that the paced send may read the image on the timer thread while
// the GUI thread edits it; single bytes are the unit of consistency, as on the wire.
class SettingsImage {
public:
    // Holds the built-in default image.
    SettingsImage();
    SettingsImage(const SettingsImage&) = delete;
    SettingsImage& operator=(const SettingsImage&) = delete;

    // The built-in default dump, 4,103 bytes, as compiled into the program.
    // Throws std::runtime_error when the program was built without it.
    static std::vector<std::uint8_t> DefaultImage();
    // Reads a default dump from a resource or file path; throws unless it holds 4,103 bytes.
    static std::vector<std::uint8_t> ReadDefaultImage(const QString& resource);

    // The whole block.
    std::vector<std::uint8_t> Bytes() const;
    std::uint8_t ImageByte(int imageOffset) const;
    void SetImageByte(int imageOffset, std::uint8_t value);
    // Copies `length` bytes (at most 4,103) over the block from its first byte, unchecked.
    void Write(const std::uint8_t* data, std::size_t length);
    void LoadDefault();

    // Settings memory by data offset 0x000..0xFFF.
    std::uint8_t DataByte(int dataOffset) const;
    void SetDataByte(int dataOffset, std::uint8_t value);

    // Encoder event entry. The status is read with its top bit set and stored without it.
    std::uint8_t PotStatus(int encoder) const;
    void SetPotStatus(int encoder, std::uint8_t status);
    std::uint8_t PotByte1(int encoder) const;
    void SetPotByte1(int encoder, std::uint8_t value);
    std::uint8_t PotMin(int encoder) const;
    void SetPotMin(int encoder, std::uint8_t value);
    std::uint8_t PotMax(int encoder) const;
    void SetPotMax(int encoder, std::uint8_t value);

    // Button event entry.
    std::uint8_t ButtStatus(int button) const;
    void SetButtStatus(int button, std::uint8_t status);
    std::uint8_t ButtByte1(int button) const;
    void SetButtByte1(int button, std::uint8_t value);
    std::uint8_t ButtByte2(int button) const;
    void SetButtByte2(int button, std::uint8_t value);
    std::uint8_t ButtMode(int button) const;
    void SetButtMode(int button, std::uint8_t mode);

    // Encoder mode entry: EncMode in the low nibble of byte 0, EncSpeed in its high nibble.
    int EncMode(int encoder) const;
    void SetEncMode(int encoder, int mode);
    int EncSpeed(int encoder) const;
    void SetEncSpeed(int encoder, int speed);
    int LedMode(int encoder) const;
    void SetLedMode(int encoder, int pattern);

    // LED ring patterns: pattern 1..4, step 1..32, LED 1..16.
    std::uint16_t LedWord(int pattern, int step) const;
    bool Led(int pattern, int step, int led) const;
    void SetLed(int pattern, int step, int led, bool on);

    std::uint8_t PotValue(int encoder) const;
    void SetPotValue(int encoder, std::uint8_t value);

    // Label display mode 0..7 (stored as its character) and label text (at most 15 characters).
    int LabelMode(int encoder) const;
    void SetLabelMode(int encoder, int mode);
    std::string LabelText(int encoder) const;
    void SetLabelText(int encoder, const std::string& text);

    std::string BankName() const;
    void SetBankName(const std::string& name);

    int TouchSensitivity() const; // 1..32
    void SetTouchSensitivity(int sensitivity);
    int LcEmulationId() const; // 0..127
    void SetLcEmulationId(int id);
    int SrOutMap(int shiftRegister) const; // register 1..8, code 0..23
    void SetSrOutMap(int shiftRegister, int code);

    bool Flag(BoxFlag flag) const;
    void SetFlag(BoxFlag flag, bool on);
    // 0 "MIDI Merger off", 1 "MIDI Merger on", 2 "Korvane Link EP", 3 "Korvane Link FP".
    int MergerMode() const;
    void SetMergerMode(int mode);

    std::uint8_t DeviceByte() const;
    void SetDeviceByte(std::uint8_t value);
    // Writes 0x47, 0x11, as every save does.
    void StampSave();

private:
    int NibblePair(int dataOffset) const;
    void SetNibblePair(int dataOffset, int value);
    std::string ReadText(int dataOffset, int length) const;
    void WriteText(int dataOffset, int length, const std::string& text);

    std::array<std::atomic<std::uint8_t>, DumpSize> block_;
};

} // namespace korv::model
