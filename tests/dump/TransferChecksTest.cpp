// The checks around a transfer: the warnings on a damaged dump, the time left at the measured
// rate, and the differences between the dump sent and the box's answer, in the editor's words.
#include "DumpDifferences.h"
#include "DumpWarnings.h"
#include "SettingsImage.h"
#include "TimeLeft.h"

#include <gtest/gtest.h>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

namespace {

QStringList warnings(const Bytes& loaded, std::int64_t size) {
    return dump::DumpWarnings(loaded.data(), static_cast<int>(loaded.size()), size);
}

QStringList differences(const Bytes& sent, const Bytes& box) {
    return dump::DifferenceTexts(dump::DumpDifferences(sent, box));
}

} // namespace

TEST(DumpWarnings, AWholeDumpWithoutFaultsGetsNone) {
    const Bytes dump = model::SettingsImage::DefaultImage();
    EXPECT_EQ(warnings(dump, 4103), QStringList{});
}

TEST(DumpWarnings, ShortAndLongFilesSayWhatKeepsItsOldValueOrIsLeftOut) {
    const Bytes dump = model::SettingsImage::DefaultImage();
    EXPECT_EQ(warnings(Bytes(dump.begin(), dump.begin() + 3900), 3900),
              QStringList{"3,900 bytes: the last 203 bytes keep their old values"});
    EXPECT_EQ(warnings(Bytes(dump.begin(), dump.end() - 1), 4102),
              QStringList{"4,102 bytes: the last byte keeps its old value"});
    EXPECT_EQ(warnings({}, 0), QStringList{"0 bytes: the settings keep their old values"});
    EXPECT_EQ(warnings({0xF0}, 1),
              QStringList{"1 byte: the last 4,102 bytes keep their old values"});
    EXPECT_EQ(warnings(dump, 4200),
              QStringList{"4,200 bytes: only the first 4,103 are read, the last 97 bytes are "
                          "left out"});
    EXPECT_EQ(warnings(dump, 4104),
              QStringList{"4,104 bytes: only the first 4,103 are read, the last byte is left out"});
    EXPECT_EQ(warnings(dump, 12'345'678).first().left(18), "12,345,678 bytes: ");
}

TEST(DumpWarnings, HeaderEndAndTopBitsAreToldInPlainWords) {
    Bytes dump = model::SettingsImage::DefaultImage();
    dump[4] = 0x46;
    dump[4102] = 0x00;
    EXPECT_EQ(warnings(dump, 4103),
              (QStringList{"the header is F0 00 00 7E 46, not F0 00 00 7E 45: these may not be "
                           "the settings of this box",
                           "the last byte is 00, not F7: the dump may be cut off or shifted"}));

    // A short file's header is judged on the bytes it has.
    EXPECT_EQ(warnings({0x00, 0x00, 0x7E}, 3),
              (QStringList{"3 bytes: the last 4,100 bytes keep their old values",
                           "the header is 00 00 7E, not F0 00 00: these may not be the settings "
                           "of this box"}));

    Bytes high = model::SettingsImage::DefaultImage();
    high[18] = 0x90;
    EXPECT_EQ(warnings(high, 4103),
              QStringList{"byte 19 has its top bit set: sent to a box, it would end the dump "
                          "there"});
    high[2000] = 0x80;
    EXPECT_EQ(warnings(high, 4103),
              QStringList{"2 bytes have their top bit set, the first is byte 19: sent to a box, "
                          "the dump would end there"});
    high[4101] = 0xFF;
    EXPECT_EQ(warnings(high, 4103),
              QStringList{"3 bytes have their top bit set, the first is byte 19: sent to a box, "
                          "the dump would end there"});
    // F0 and F7 at their places are not data bytes.
    Bytes ends = model::SettingsImage::DefaultImage();
    ends[1] = 0x80;
    EXPECT_EQ(warnings(ends, 4103).size(), 2); // the header, and byte 2
    EXPECT_EQ(warnings(ends, 4103)[1],
              "byte 2 has its top bit set: sent to a box, it would end the dump there");
}

TEST(TimeLeft, TextsInMinutesAndHours) {
    EXPECT_EQ(dump::TimeLeftText(14), "0:14 left");
    EXPECT_EQ(dump::TimeLeftText(0), "0:00 left");
    EXPECT_EQ(dump::TimeLeftText(-3), "0:00 left");
    EXPECT_EQ(dump::TimeLeftText(60), "1:00 left");
    EXPECT_EQ(dump::TimeLeftText(725), "12:05 left");
    EXPECT_EQ(dump::TimeLeftText(3599), "59:59 left");
    EXPECT_EQ(dump::TimeLeftText(3600), "1:00:00 left");
    EXPECT_EQ(dump::TimeLeftText(3723), "1:02:03 left");
}

TEST(TimeLeft, TheRateMeasuredSinceTheFirstSampleGivesTheRestRoundedUp) {
    dump::TimeLeft left;
    left.Start(4103);
    EXPECT_EQ(left.Text(), "");
    left.Sample(10'000, 6);
    EXPECT_EQ(left.Seconds(), std::nullopt); // no time has passed yet
    left.Sample(10'000, 9);
    EXPECT_EQ(left.Seconds(), std::nullopt);
    left.Sample(11'000, 206); // 200 bytes a second, 3,897 to go
    EXPECT_EQ(left.Seconds(), 20);
    EXPECT_EQ(left.Text(), "0:20 left");
    left.Sample(12'000, 206); // stalled: the rate falls to 100 bytes a second
    EXPECT_EQ(left.Text(), "0:39 left");
    left.Sample(30'000, 4103);
    EXPECT_EQ(left.Text(), "0:00 left");

    left.Start(4103); // the next transfer measures afresh
    EXPECT_EQ(left.Text(), "");
    left.Sample(0, 128);
    left.Sample(2'000, 131); // 1.5 bytes a second: 3,972 bytes take 44 minutes 8 seconds
    EXPECT_EQ(left.Text(), "44:08 left");
}

TEST(DumpDifferences, TheSameDumpAndADifferentSaveStampAreNoDifference) {
    model::SettingsImage a;
    const Bytes sent = a.Bytes();
    EXPECT_TRUE(dump::DumpDifferences(sent, sent).empty());
    a.StampSave();
    EXPECT_TRUE(dump::DumpDifferences(sent, a.Bytes()).empty());
}

TEST(DumpDifferences, EncoderAndButtonFieldsAreNamedAsOnTheirPages) {
    model::SettingsImage sent;
    sent.SetPotMin(model::EncoderId(3, 5), 10);
    model::SettingsImage box;
    Bytes boxBytes = box.Bytes();
    EXPECT_EQ(differences(sent.Bytes(), boxBytes), QStringList{"Encoder 3.5 Min: sent 10, box 0"});

    box.SetPotStatus(127, 0x91);
    box.SetPotByte1(127, 200);
    box.SetPotMax(127, 0x40);
    box.SetLabelText(127, "Cut");
    box.SetLabelMode(127, 1);
    box.SetEncMode(127, 7);
    box.SetEncSpeed(127, 2);
    box.SetLedMode(127, 3);
    box.SetPotValue(127, 99);
    box.SetButtStatus(63, 0xE2);
    box.SetButtByte1(63, 1);
    box.SetButtByte2(63, 2);
    box.SetButtMode(63, 2);
    model::SettingsImage plain;
    EXPECT_EQ(differences(plain.Bytes(), box.Bytes()),
              (QStringList{
                  "Encoder 8.16 Byte 0: sent 176, box 145",
                  "Encoder 8.16 Byte 1: sent 127, box 200",
                  "Encoder 8.16 Max: sent 127, box 64",
                  "Encoder 8.16 Label: sent \"CC #127        \", box \"Cut\"",
                  "Encoder 8.16 Label Mode: sent DEC|, box +-HEX",
                  "Encoder 8.16 Enc Mode: sent send absolute value, box send Houston type event",
                  "Encoder 8.16 Enc Speed: sent Normal, box Slow",
                  "Encoder 8.16 Led Ring: sent Pattern #1, box Pattern #4",
                  "Encoder 8.16 Value: sent 0, box 99",
                  "Button 64 Byte 0: sent 255, box 226",
                  "Button 64 Byte 1: sent 127, box 1",
                  "Button 64 Byte 2: sent 127, box 2",
                  "Button 64 Mode: sent ON/OFF, box TOGGLE",
              }));
}

TEST(DumpDifferences, BoxSettingsPatternsAndTheShiftRegisterMapByTheirCaptions) {
    model::SettingsImage sent;
    model::SettingsImage box;
    box.SetDeviceByte(0x32);
    box.SetBankName("Live");
    box.SetMergerMode(3);
    box.SetFlag(model::BoxFlag::SnapShotAtPowerOn, true);
    box.SetFlag(model::BoxFlag::AutoSnapshot, false);
    box.SetFlag(model::BoxFlag::MidiLeds, true);
    box.SetFlag(model::BoxFlag::SendPCOnBankChange, true);
    box.SetFlag(model::BoxFlag::ReceivePCForBankChange, true);
    box.SetFlag(model::BoxFlag::DisableMenuNavigation, true);
    box.SetLcEmulationId(127);
    box.SetTouchSensitivity(32);
    box.SetLed(2, 32, 16, true);
    box.SetLed(4, 1, 1, false);
    box.SetLed(4, 1, 8, true);
    box.SetLed(4, 1, 9, true);
    box.SetSrOutMap(8, 23);
    box.SetSrOutMap(1, 24);
    EXPECT_EQ(differences(sent.Bytes(), box.Bytes()),
              (QStringList{
                  "Sysex Device ID: sent 0, box 3",
                  "Bank Name: sent \"Sample Bank     \", box \"Live\"",
                  "MIDI Merger: sent MIDI Merger off, box Korvane Link FP",
                  "SnapShot at PowerOn: sent off, box on",
                  "Auto Snapshot: sent on, box off",
                  "MIDI Leds: sent off, box on",
                  "Send PC On Bank Change: sent off, box on",
                  "Receive PC For Bank Change: sent off, box on",
                  "Disable Menu Navigation: sent off, box on",
                  "LC Emulation ID: sent 0, box 127",
                  "Touchsensor Sensitivity: sent 3, box 32",
                  "Pattern #2 Entry #32 LED 16: sent off, box on",
                  "Pattern #4 Entry #1 LED 1: sent on, box off",
                  "Pattern #4 Entry #1 LED 8: sent off, box on",
                  "Pattern #4 Entry #1 LED 9: sent off, box on",
                  "SR #1: sent DIN SR #1 (Button ID #0-7), box no item (24)",
                  "SR #8: sent DIN SR #8 (Button ID #56-63), box MIDI Status rec. for Entry #56-63",
              }));
}

TEST(DumpDifferences, BytesNoPageShowsAreToldAsDataBytesAndTheFramingByItsName) {
    const Bytes sent = model::SettingsImage::DefaultImage();
    Bytes box = sent;
    box[6 + 0x685] = 0x00;         // reserved
    box[6 + 0x692] |= 0x02;        // an unnamed bit of the merger byte
    box[6 + 0x000] |= 0x80;        // the top bit of encoder 1.1's status, which shows it set
    box[6 + 0x800 + 16 * 2] = 'Z'; // no label mode: reads as HEX, like ...
    Bytes sentZ = sent;
    sentZ[6 + 0x800 + 16 * 2] = 'Y'; // ... this one
    box[6 + 0x6B7] = 0x10;           // a nibble pair's upper bits
    box[4102] = 0x00;
    box[1] = 0x01;
    EXPECT_EQ(differences(sentZ, box), (QStringList{
                                           "Header: sent F0 00 00 7E 45 02, box F0 01 00 7E 45 02",
                                           "End byte: sent F7, box 00",
                                           "Data byte 0x000: sent 30, box B0",
                                           "Data byte 0x685: sent 0F, box 00",
                                           "Data byte 0x692: sent 01, box 03",
                                           "Data byte 0x6B7: sent 00, box 10",
                                           "Data byte 0x820: sent 59, box 5A",
                                       }));
}

TEST(DumpDifferences, ALabelThatDiffersOnlyAfterItsEndIsADataByte) {
    model::SettingsImage sent;
    sent.SetLabelText(0, "Lead");
    Bytes box = sent.Bytes();
    box[6 + 0x800 + 10] = 'x'; // after the 0x00 that ends "Lead"
    EXPECT_EQ(differences(sent.Bytes(), box), QStringList{"Data byte 0x80A: sent 20, box 78"});
    // Its first letter is the label's own.
    box = sent.Bytes();
    box[6 + 0x801] = 'B';
    EXPECT_EQ(differences(sent.Bytes(), box),
              QStringList{"Encoder 1.1 Label: sent \"Lead\", box \"Bead\""});
}

TEST(DumpDifferences, TheVerifySummaryNamesTheFirstTwoAndCountsTheRest) {
    using dump::FieldDifference;
    EXPECT_EQ(dump::VerifySummary({}), "Verify: the box holds what was sent");
    const FieldDifference min{"Encoder 3.5 Min", "10", "0"};
    const FieldDifference max{"Encoder 3.5 Max", "100", "127"};
    EXPECT_EQ(dump::VerifySummary({min}),
              "Verify: the box differs in 1 field: Encoder 3.5 Min: sent 10, box 0");
    EXPECT_EQ(dump::VerifySummary({min, max}),
              "Verify: the box differs in 2 fields: Encoder 3.5 Min: sent 10, box 0; "
              "Encoder 3.5 Max: sent 100, box 127");
    EXPECT_EQ(dump::VerifySummary({min, max, min, max}),
              "Verify: the box differs in 4 fields: Encoder 3.5 Min: sent 10, box 0; "
              "Encoder 3.5 Max: sent 100, box 127; and 2 more");
}
