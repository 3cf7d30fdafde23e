#include "SettingsImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace korv::model;

namespace {

bool noTopBitsInMemory(const SettingsImage& image) {
    for (int i = 0; i < MemorySize; ++i) {
        if (image.DataByte(i) & 0x80)
            return false;
    }
    return true;
}

std::string bytesAt(const SettingsImage& image, int dataOffset, int length) {
    std::string s;
    for (int i = 0; i < length; ++i)
        s += static_cast<char>(image.DataByte(dataOffset + i));
    return s;
}

} // namespace

TEST(EncoderNumbering, IdsMapToBankAndNumberBothWays) {
    EXPECT_EQ(EncoderId(8, 16), 127);
    EXPECT_EQ(BankOfEncoder(127), 8);
    EXPECT_EQ(NumberInBank(127), 16);
    EXPECT_EQ(EncoderId(2, 3), 18);
    EXPECT_EQ(BankOfEncoder(15), 1);
    EXPECT_EQ(BankOfEncoder(16), 2);
}

TEST(SettingsImage, Encoder127FieldsLieAtTheLastSlotOfEachRegion) {
    SettingsImage image;
    image.SetPotStatus(127, 0x9A);
    image.SetPotByte1(127, 0x11);
    image.SetPotMin(127, 0x12);
    image.SetPotMax(127, 0x13);
    image.SetEncMode(127, 5);
    image.SetPotValue(127, 99);
    image.SetLabelMode(127, 3);
    EXPECT_EQ(image.DataByte(0x1FC), 0x1A);
    EXPECT_EQ(image.DataByte(0x1FF), 0x13);
    EXPECT_EQ(image.DataByte(0x3FE), 5);
    EXPECT_EQ(image.DataByte(0x67F), 99);
    EXPECT_EQ(image.DataByte(0xFF0), 'C');
    EXPECT_EQ(image.PotStatus(127), 0x9A);
}

TEST(SettingsImage, StatusIsStoredWithoutItsTopBitAndReadWithIt) {
    SettingsImage image;
    image.SetButtStatus(5, 0xC3);
    EXPECT_EQ(image.DataByte(0x200 + 20), 0x43);
    EXPECT_EQ(image.ButtStatus(5), 0xC3);
}

TEST(SettingsImage, EncoderModeAndSpeedShareOneByteWithoutDisturbingEachOther) {
    SettingsImage image;
    image.SetEncMode(9, 7);
    image.SetEncSpeed(9, 2);
    EXPECT_EQ(image.DataByte(0x300 + 18), 0x27);
    image.SetEncMode(9, 1);
    EXPECT_EQ(image.EncSpeed(9), 2);
    EXPECT_EQ(image.EncMode(9), 1);
    image.SetEncSpeed(9, 0);
    EXPECT_EQ(image.EncMode(9), 1);
}

TEST(SettingsImage, LabelsFollowTheFieldRules) {
    SettingsImage image;
    image.SetLabelText(4, "Exactly15chars!");
    EXPECT_EQ(bytesAt(image, 0x800 + 64 + 1, 15), "Exactly15chars!");
    EXPECT_EQ(image.LabelText(4), "Exactly15chars!");

    image.SetLabelText(4, "");
    EXPECT_EQ(bytesAt(image, 0x800 + 64 + 1, 15), std::string(1, '\0') + std::string(14, ' '));
    EXPECT_EQ(image.LabelText(4), "");

    image.SetLabelText(4, "Sample");
    EXPECT_EQ(bytesAt(image, 0x800 + 64 + 1, 15),
              std::string("Sample") + '\0' + std::string(8, ' '));

    image.SetLabelText(4, "much longer than fifteen");
    EXPECT_EQ(image.LabelText(4), "much longer tha");
    EXPECT_EQ(image.DataByte(0x800 + 64 + 16), 'b') << "the next entry's mode byte is untouched";
}

TEST(SettingsImage, LabelModeWritesItsCharacterAndUnknownBytesReadAsHex) {
    SettingsImage image;
    const char codes[] = {'@', 'A', 'B', 'C', '`', 'a', 'b', 'c'};
    for (int mode = 0; mode < 8; ++mode) {
        image.SetLabelMode(2, mode);
        EXPECT_EQ(image.DataByte(0x800 + 32), codes[mode]);
        EXPECT_EQ(image.LabelMode(2), mode);
    }
    image.SetDataByte(0x800 + 32, 'Z');
    EXPECT_EQ(image.LabelMode(2), 0);
}

TEST(SettingsImage, BankNameOfSixteenCharactersHasNoTerminatorAndReadingStopsAtTheField) {
    SettingsImage image;
    image.SetDataByte(0x6A6, 'X'); // the reserved byte right after the name
    image.SetBankName("0123456789ABCDEF");
    EXPECT_EQ(image.BankName(), "0123456789ABCDEF");
    EXPECT_EQ(image.DataByte(0x6A6), 'X');

    image.SetBankName("Sample");
    EXPECT_EQ(bytesAt(image, 0x696, 16), std::string("Sample") + '\0' + std::string(9, ' '));
    EXPECT_EQ(image.BankName(), "Sample");
}

TEST(SettingsImage, TextWritersNeverLeaveATopBitInTheMemory) {
    SettingsImage image;
    image.SetBankName("Caf\xc3\xa9 \xff\x80");
    image.SetLabelText(0, "\xfe\xfd\xfc");
    EXPECT_TRUE(noTopBitsInMemory(image));
    EXPECT_EQ(image.LabelText(0), "~}|");
}

TEST(SettingsImage, MergerModeCombinesTwoBitsOfTwoBytes) {
    SettingsImage image;
    image.SetDataByte(0x692, 0x03);
    image.SetDataByte(0x694, 0x04);
    EXPECT_TRUE(image.Flag(BoxFlag::MergerDisabled));
    EXPECT_TRUE(image.Flag(BoxFlag::LinkMode));
    EXPECT_EQ(image.MergerMode(), 2);

    for (int mode = 0; mode < 4; ++mode) {
        image.SetMergerMode(mode);
        EXPECT_EQ(image.MergerMode(), mode);
    }
    image.SetMergerMode(1);
    EXPECT_EQ(image.DataByte(0x692), 0x02) << "other bits of the merger byte are kept";
    EXPECT_EQ(image.DataByte(0x694), 0x00);
}

TEST(SettingsImage, BoxFlagsTouchOnlyTheirOwnBit) {
    SettingsImage image;
    image.SetFlag(BoxFlag::DisableMenuNavigation, true);
    image.SetFlag(BoxFlag::ReceivePCForBankChange, true);
    EXPECT_EQ(image.DataByte(0x694), 0x0A);
    image.SetFlag(BoxFlag::MidiLeds, true);
    EXPECT_EQ(image.DataByte(0x693), 0x02);
    image.SetFlag(BoxFlag::AutoSnapshot, false);
    image.SetFlag(BoxFlag::SnapShotAtPowerOn, true);
    EXPECT_EQ(image.DataByte(0x695), 0x01);
}

TEST(SettingsImage, NibblePairsUseOnlyTheLowFourBitsOfEachByte) {
    SettingsImage image;
    image.SetDataByte(0x6B6, 0x0F);
    image.SetDataByte(0x6B7, 0x01);
    EXPECT_EQ(image.TouchSensitivity(), 32);
    image.SetDataByte(0x6B7, 0x71);
    EXPECT_EQ(image.TouchSensitivity(), 32);
    image.SetTouchSensitivity(1);
    EXPECT_EQ(image.DataByte(0x6B6), 0x00);
    EXPECT_EQ(image.DataByte(0x6B7), 0x00);

    image.SetLcEmulationId(0x7E);
    EXPECT_EQ(image.DataByte(0x6B8), 0x0E);
    EXPECT_EQ(image.DataByte(0x6B9), 0x07);
    image.SetSrOutMap(8, 23);
    EXPECT_EQ(image.DataByte(0x6C8), 7);
    EXPECT_EQ(image.DataByte(0x6C9), 1);
    EXPECT_EQ(image.SrOutMap(8), 23);
}

TEST(SettingsImage, LedWordAndSingleLedEdits) {
    SettingsImage image;
    const int step = 0x400 + 2 * 128 + 4 * 4; // pattern 3, step 5
    image.SetDataByte(step + 0, 0x01);
    image.SetDataByte(step + 1, 0x00);
    image.SetDataByte(step + 2, 0x7F);
    image.SetDataByte(step + 3, 0x01);
    EXPECT_EQ(image.LedWord(3, 5), 0x01FF);
    EXPECT_TRUE(image.Led(3, 5, 9));
    EXPECT_FALSE(image.Led(3, 5, 10));

    image.SetLed(3, 5, 16, true);
    EXPECT_EQ(image.DataByte(step + 0), 0x01);
    EXPECT_EQ(image.DataByte(step + 1), 0x01);
    EXPECT_EQ(image.DataByte(step + 2), 0x7F);
    EXPECT_EQ(image.DataByte(step + 3), 0x01);

    // Bits that carry no LED survive an edit of the LED beside them.
    image.SetDataByte(step + 3, 0x41);
    image.SetLed(3, 5, 8, false);
    EXPECT_EQ(image.DataByte(step + 3), 0x40);
    image.SetLed(3, 5, 1, false);
    image.SetLed(3, 5, 15, true);
    EXPECT_EQ(image.LedWord(3, 5), 0xC17E);
}

TEST(SettingsImage, WriteCopiesFromTheStartAndShortDataLeavesTheRest) {
    SettingsImage image;
    const std::vector<std::uint8_t> shortFile = {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x32, 0x11, 0x22};
    image.Write(shortFile.data(), shortFile.size());
    EXPECT_EQ(image.DeviceByte(), 0x32);
    EXPECT_EQ(image.DataByte(0), 0x11);
    EXPECT_EQ(image.DataByte(1), 0x22);
    EXPECT_EQ(image.DataByte(2), 0x00) << "the default stays beyond the copied bytes";
    EXPECT_EQ(image.ImageByte(DumpSize - 1), 0xF7);

    std::vector<std::uint8_t> tooLong(DumpSize + 50, 0x55);
    image.Write(tooLong.data(), tooLong.size());
    EXPECT_EQ(image.ImageByte(DumpSize - 1), 0x55);
}

TEST(SettingsImage, SavingTheDefaultChangesOnlyDeviceByteAndStamp) {
    SettingsImage image;
    const auto before = image.Bytes();
    image.SetDeviceByte(3 * 16 + 2);
    image.StampSave();
    const auto after = image.Bytes();
    for (int i = 0; i < DumpSize; ++i) {
        if (i == 5 || i == HeaderSize + 0x690 || i == HeaderSize + 0x691)
            continue;
        EXPECT_EQ(after[i], before[i]) << "image offset " << i;
    }
    EXPECT_EQ(after[5], 0x32);
    EXPECT_EQ(image.DataByte(0x690), 0x47);
    EXPECT_EQ(image.DataByte(0x691), 0x11);
}

// An index past its range would land in a neighbouring field (encoder 128's status is button
// 0's, pattern 0 lies in the encoder modes): it is refused, nothing is written and reads give 0.
TEST(SettingsImage, IndicesOutsideTheirRangesTouchNoOtherField) {
    SettingsImage image;
    const auto before = image.Bytes();
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.PotStatus(128), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.PotStatus(-1), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.PotMax(128), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.PotValue(128), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.LabelText(128), ""), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.ButtStatus(64), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.ButtMode(-1), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.EncMode(128), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.LedWord(0, 1), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.LedWord(5, 1), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.LedWord(1, 33), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(image.Led(1, 1, 17)), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.SrOutMap(9), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.DataByte(0x1000), 0), "out of range");
    EXPECT_DEBUG_DEATH(EXPECT_EQ(image.ImageByte(DumpSize), 0), "out of range");

    EXPECT_DEBUG_DEATH(image.SetPotStatus(128, 0xC5), "out of range");
    EXPECT_DEBUG_DEATH(image.SetPotByte1(-1, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetPotMin(128, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetPotMax(128, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetPotValue(128, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetEncMode(128, 5), "out of range");
    EXPECT_DEBUG_DEATH(image.SetEncSpeed(128, 2), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLedMode(-1, 3), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLabelMode(128, 3), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLabelText(128, "overflow"), "out of range");
    EXPECT_DEBUG_DEATH(image.SetButtStatus(64, 0x90), "out of range");
    EXPECT_DEBUG_DEATH(image.SetButtByte1(64, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetButtByte2(-1, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetButtMode(64, 2), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLed(0, 1, 1, true), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLed(1, 0, 1, true), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLed(4, 33, 1, true), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLed(1, 1, 0, true), "out of range");
    EXPECT_DEBUG_DEATH(image.SetLed(1, 1, 17, true), "out of range");
    EXPECT_DEBUG_DEATH(image.SetSrOutMap(0, 9), "out of range");
    EXPECT_DEBUG_DEATH(image.SetDataByte(0x1000, 0x55), "out of range");
    EXPECT_DEBUG_DEATH(image.SetImageByte(-1, 0x55), "out of range");
    EXPECT_EQ(image.Bytes(), before);
}

// One entry of each kind, every field written in turn: each write lands in its own byte and
// the others of the entry keep what they held.
TEST(SettingsImage, EveryFieldOfAnEncoderEntryHasItsOwnByte) {
    SettingsImage image;
    const int at = 4 * 37; // encoder 37: bank 3, number 6
    image.SetPotStatus(37, 0xE5);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x65\x25\x00\x7F", 4));
    image.SetPotByte1(37, 0x12);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x65\x12\x00\x7F", 4));
    image.SetPotMin(37, 0x05);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x65\x12\x05\x7F", 4));
    image.SetPotMax(37, 0x64);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x65\x12\x05\x64", 4));
    EXPECT_EQ(image.PotStatus(37), 0xE5);
    EXPECT_EQ(image.PotByte1(37), 0x12);
    EXPECT_EQ(image.PotMin(37), 0x05);
    EXPECT_EQ(image.PotMax(37), 0x64);
    EXPECT_EQ(bytesAt(image, at - 4, 4), std::string("\x30\x24\x00\x7F", 4));
    EXPECT_EQ(bytesAt(image, at + 4, 4), std::string("\x30\x26\x00\x7F", 4));
}

TEST(SettingsImage, EveryFieldOfAButtonEntryHasItsOwnByte) {
    SettingsImage image;
    const int at = 0x200 + 4 * 22; // button 22: note on, channel 1, note 66
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x10\x42\x7F\x00", 4));
    image.SetButtStatus(22, 0xB3);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x33\x42\x7F\x00", 4));
    image.SetButtByte1(22, 0x07);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x33\x07\x7F\x00", 4));
    image.SetButtByte2(22, 0x40);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x33\x07\x40\x00", 4));
    image.SetButtMode(22, 2);
    EXPECT_EQ(bytesAt(image, at, 4), std::string("\x33\x07\x40\x02", 4));
    EXPECT_EQ(image.ButtStatus(22), 0xB3);
    EXPECT_EQ(image.ButtByte1(22), 0x07);
    EXPECT_EQ(image.ButtByte2(22), 0x40);
    EXPECT_EQ(image.ButtMode(22), 2);
    EXPECT_EQ(bytesAt(image, at - 4, 4), std::string("\x10\x41\x7F\x00", 4));
    EXPECT_EQ(bytesAt(image, at + 4, 4), std::string("\x10\x43\x7F\x00", 4));
}

TEST(SettingsImage, EveryFieldOfAnEncoderModeEntryHasItsOwnBits) {
    SettingsImage image;
    const int at = 0x300 + 2 * 100;
    image.SetEncMode(100, 6);
    EXPECT_EQ(bytesAt(image, at, 2), std::string("\x06\x00", 2));
    image.SetEncSpeed(100, 1);
    EXPECT_EQ(bytesAt(image, at, 2), std::string("\x16\x00", 2));
    image.SetLedMode(100, 3);
    EXPECT_EQ(bytesAt(image, at, 2), std::string("\x16\x03", 2));
    image.SetEncMode(100, 7);
    EXPECT_EQ(bytesAt(image, at, 2), std::string("\x17\x03", 2));
    image.SetEncSpeed(100, 2);
    EXPECT_EQ(bytesAt(image, at, 2), std::string("\x27\x03", 2));
    EXPECT_EQ(image.EncMode(100), 7);
    EXPECT_EQ(image.EncSpeed(100), 2);
    EXPECT_EQ(image.LedMode(100), 3);
    EXPECT_EQ(bytesAt(image, at - 2, 2), std::string("\x00\x00", 2));
    EXPECT_EQ(bytesAt(image, at + 2, 2), std::string("\x00\x00", 2));
}

// The eight flags one at a time, from all bytes clear: the byte and bit of each, read back, and
// cleared again without touching the other bits of its byte.
TEST(SettingsImage, EachBoxFlagIsOneBitOfOneByte) {
    const struct {
        BoxFlag flag;
        int offset;
        std::uint8_t mask;
    } table[] = {
        {BoxFlag::MergerDisabled, 0x692, 0x01},     {BoxFlag::MidiLeds, 0x693, 0x02},
        {BoxFlag::SendPCOnBankChange, 0x694, 0x01}, {BoxFlag::ReceivePCForBankChange, 0x694, 0x02},
        {BoxFlag::LinkMode, 0x694, 0x04},           {BoxFlag::DisableMenuNavigation, 0x694, 0x08},
        {BoxFlag::SnapShotAtPowerOn, 0x695, 0x01},  {BoxFlag::AutoSnapshot, 0x695, 0x04},
    };
    for (const auto& row : table) {
        SettingsImage image;
        for (int offset = 0x692; offset <= 0x695; ++offset)
            image.SetDataByte(offset, 0x00);
        image.SetFlag(row.flag, true);
        for (int offset = 0x692; offset <= 0x695; ++offset)
            EXPECT_EQ(image.DataByte(offset), offset == row.offset ? row.mask : 0)
                << "flag at " << std::hex << row.offset << " mask " << int(row.mask);
        for (const auto& other : table)
            EXPECT_EQ(image.Flag(other.flag), other.flag == row.flag);
        image.SetDataByte(row.offset, 0x7F);
        EXPECT_TRUE(image.Flag(row.flag));
        image.SetFlag(row.flag, false);
        EXPECT_EQ(image.DataByte(row.offset), 0x7F & ~row.mask);
        EXPECT_FALSE(image.Flag(row.flag));
    }
}
