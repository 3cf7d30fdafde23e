// The byte-stream splitter that every service uses for received bytes.
#include "MidiStreamParser.h"

#include <gtest/gtest.h>

using namespace korv::midi;
using Bytes = std::vector<std::uint8_t>;

namespace {
struct Recorder : MidiInputSink {
    std::vector<std::string> events;
    void shortMessage(std::uint8_t s, std::uint8_t a, std::uint8_t b) override {
        char buf[32];
        std::snprintf(buf, sizeof buf, "S %02X %02X %02X", s, a, b);
        events.push_back(buf);
    }
    void sysExBytes(const std::uint8_t* data, std::size_t length) override {
        std::string e = "X";
        for (std::size_t i = 0; i < length; ++i) {
            char buf[4];
            std::snprintf(buf, sizeof buf, " %02X", data[i]);
            e += buf;
        }
        events.push_back(e);
    }
};

std::vector<std::string> parse(const std::vector<Bytes>& pieces) {
    MidiStreamParser p;
    Recorder r;
    for (const auto& piece : pieces)
        p.feed(piece.data(), piece.size(), r);
    return r.events;
}
} // namespace

TEST(MidiStreamParser, SplitsShortMessagesWithRunningStatusAcrossPieces) {
    EXPECT_EQ(parse({{0x90, 60}, {100, 61, 0}, {0xD1}, {5, 0xF2, 1, 2, 0xF3, 4, 7}}),
              (std::vector<std::string>{"S 90 3C 64", "S 90 3D 00", "S D1 05 00", "S F2 01 02",
                                        "S F3 04 00"}));
}

TEST(MidiStreamParser, PassesSysExPiecesAsRunsAndRealTimeInside) {
    EXPECT_EQ(parse({{0xF0, 0x00, 0x00}, {0x7E, 0xF8, 0x45}, {0x01, 0xF7, 0xB0, 1, 2}}),
              (std::vector<std::string>{"X F0 00 00", "X 7E", "S F8 00 00", "X 45", "X 01 F7",
                                        "S B0 01 02"}));
}

TEST(MidiStreamParser, StatusByteBreaksSysExAndStrayBytesAreIgnored) {
    EXPECT_EQ(parse({{0x10, 0xF7, 0xF0, 0x01, 0x80, 60, 0, 0xF0, 0x02, 0xF0, 0x03, 0xF7}}),
              (std::vector<std::string>{"X F0 01", "S 80 3C 00", "X F0 02", "X F0 03 F7"}));
}
