// Command bytes, the dump request as it leaves the output port, and the send-speed formula.
#include "DumpProtocol.h"
#include "LoopbackService.h"
#include "PacedSender.h"
#include "TMidiOut.h"

#include <gtest/gtest.h>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

TEST(Protocol, CommandByteCarriesTheDeviceIdInItsHighNibble) {
    EXPECT_EQ(dump::CommandByte(5, dump::Command::Dump), 0x52);
    EXPECT_EQ(dump::CommandByte(7, dump::Command::DumpRequest), 0x71);
    EXPECT_EQ(dump::CommandByte(0, dump::Command::BankDumpRequest), 0x08);
    EXPECT_EQ(dump::CommandByte(3, dump::Command::Notice), 0x3F);
}

TEST(Protocol, DumpRequestLeavesTheOutputAsOneSevenByteMessage) {
    midi::LoopbackService loop;
    loop.addOutput("Box");
    midi::MidiSystem system({&loop});
    midi::TMidiOut out(system);
    out.SetUsing(true);
    for (int id : {0, 7}) {
        const auto request = dump::DumpRequest(id);
        out.SysEx(request.data(), static_cast<int>(request.size()));
    }
    EXPECT_EQ(loop.sentMessages(0),
              (std::vector<Bytes>{{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7},
                                  {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x71, 0xF7}}));
}

TEST(Protocol, SendSpeedGivesTheTempoOfThreeBytesPerTick) {
    EXPECT_EQ(dump::TempoForSpeed(200), 166);
    EXPECT_EQ(dump::TempoForSpeed(1000), 833);
    EXPECT_EQ(dump::TempoForSpeed(2), 1);
    EXPECT_EQ(dump::TempoForSpeed(1), std::nullopt);
    EXPECT_EQ(dump::TempoForSpeed(0), std::nullopt);
}
