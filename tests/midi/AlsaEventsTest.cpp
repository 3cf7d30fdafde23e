// Encoding and decoding of ALSA sequencer events, without a sequencer device.
#include "AlsaEvents.h"

#include <gtest/gtest.h>

using namespace korv::midi;
using Bytes = std::vector<std::uint8_t>;

namespace {
struct Collect : MidiInputSink {
    Bytes bytes;
    std::vector<std::size_t> runs;
    void shortMessage(std::uint8_t s, std::uint8_t a, std::uint8_t b) override {
        bytes.insert(bytes.end(), {s, a, b});
    }
    void sysExBytes(const std::uint8_t* data, std::size_t length) override {
        bytes.insert(bytes.end(), data, data + length);
        runs.push_back(length);
    }
};

Bytes roundTrip(const Bytes& msg) {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    EXPECT_TRUE(alsa::encodeShort(msg.data(), msg.size(), ev)) << int(msg[0]);
    MidiStreamParser parser;
    Collect out;
    EXPECT_TRUE(alsa::decodeEvent(ev, parser, out));
    return out.bytes;
}
} // namespace

TEST(AlsaEvents, ShortMessagesSurviveEncodeAndDecodeOnEveryChannel) {
    for (int ch = 0; ch < 16; ++ch) {
        const auto c = static_cast<std::uint8_t>(ch);
        for (std::uint8_t v : {0, 1, 64, 127}) {
            for (std::uint8_t st : {0x80, 0x90, 0xA0, 0xB0, 0xE0})
                EXPECT_EQ(roundTrip({std::uint8_t(st | c), v, std::uint8_t(127 - v)}),
                          (Bytes{std::uint8_t(st | c), v, std::uint8_t(127 - v)}));
            for (std::uint8_t st : {0xC0, 0xD0})
                EXPECT_EQ(roundTrip({std::uint8_t(st | c), v}),
                          (Bytes{std::uint8_t(st | c), v, 0}));
        }
    }
    EXPECT_EQ(roundTrip({0x90, 60, 0}), (Bytes{0x90, 60, 0})); // note-on velocity 0 stays as is
    EXPECT_EQ(roundTrip({0xF2, 0x12, 0x34}), (Bytes{0xF2, 0x12, 0x34}));
    EXPECT_EQ(roundTrip({0xF1, 0x55}), (Bytes{0xF1, 0x55, 0}));
    EXPECT_EQ(roundTrip({0xF3, 9}), (Bytes{0xF3, 9, 0}));
    for (std::uint8_t rt : {0xF6, 0xF8, 0xFA, 0xFB, 0xFC, 0xFE, 0xFF})
        EXPECT_EQ(roundTrip({rt}), (Bytes{rt, 0, 0}));
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    const Bytes undefined{0xF9};
    EXPECT_FALSE(alsa::encodeShort(undefined.data(), 1, ev));
}

TEST(AlsaEvents, SysExPiecesGoOutAsRawVariableEventsWithExactlyTheirBytes) {
    const Bytes head{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}, piece{0x01, 0x02, 0x03};
    for (const Bytes* b : {&head, &piece}) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        alsa::encodeSysEx(b->data(), b->size(), ev);
        EXPECT_EQ(ev.type, SND_SEQ_EVENT_SYSEX);
        EXPECT_EQ(ev.flags & SND_SEQ_EVENT_LENGTH_MASK, SND_SEQ_EVENT_LENGTH_VARIABLE);
        ASSERT_EQ(ev.data.ext.len, b->size());
        EXPECT_EQ(Bytes(static_cast<const std::uint8_t*>(ev.data.ext.ptr),
                        static_cast<const std::uint8_t*>(ev.data.ext.ptr) + ev.data.ext.len),
                  *b);
    }
}

TEST(AlsaEvents, ReceivedDumpIsCopiedInRunsOf128AndContinuesAcrossEvents) {
    Bytes dump(4103, 0x33);
    dump.front() = 0xF0;
    dump.back() = 0xF7;
    MidiStreamParser parser;
    Collect out;
    // The kernel hands a long SysEx over as several events.
    for (std::size_t pos = 0; pos < dump.size(); pos += 256) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        const std::size_t n = std::min<std::size_t>(256, dump.size() - pos);
        alsa::encodeSysEx(dump.data() + pos, n, ev);
        EXPECT_TRUE(alsa::decodeEvent(ev, parser, out));
    }
    EXPECT_EQ(out.bytes, dump);
    for (std::size_t r : out.runs)
        EXPECT_LE(r, 128u);

    snd_seq_event_t announce;
    snd_seq_ev_clear(&announce);
    announce.type = SND_SEQ_EVENT_PORT_START;
    EXPECT_FALSE(alsa::decodeEvent(announce, parser, out));
}

TEST(AlsaEvents, FourteenBitAndParameterEventsBecomeControllerMessages) {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    ev.type = SND_SEQ_EVENT_CONTROL14;
    ev.data.control.channel = 2;
    ev.data.control.param = 7;
    ev.data.control.value = (100 << 7) | 5;
    MidiStreamParser parser;
    Collect out;
    alsa::decodeEvent(ev, parser, out);
    EXPECT_EQ(out.bytes, (Bytes{0xB2, 7, 100, 0xB2, 39, 5}));
    out.bytes.clear();
    ev.type = SND_SEQ_EVENT_NONREGPARAM;
    ev.data.control.param = (1 << 7) | 2;
    ev.data.control.value = (3 << 7) | 4;
    alsa::decodeEvent(ev, parser, out);
    EXPECT_EQ(out.bytes, (Bytes{0xB2, 99, 1, 0xB2, 98, 2, 0xB2, 6, 3, 0xB2, 38, 4}));
}

TEST(AlsaEvents, PitchBendValuesBeyondTheRangeAreClampedWithoutOverflow) {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    ev.type = SND_SEQ_EVENT_PITCHBEND;
    ev.data.control.channel = 3;
    MidiStreamParser parser;
    Collect out;
    ev.data.control.value = 2147483647;
    alsa::decodeEvent(ev, parser, out);
    ev.data.control.value = 2147475456; // the sum with the centre would overflow
    alsa::decodeEvent(ev, parser, out);
    ev.data.control.value = -2147483647 - 1;
    alsa::decodeEvent(ev, parser, out);
    ev.data.control.value = 8191;
    alsa::decodeEvent(ev, parser, out);
    EXPECT_EQ(out.bytes,
              (Bytes{0xE3, 0x7F, 0x7F, 0xE3, 0x7F, 0x7F, 0xE3, 0x00, 0x00, 0xE3, 0x7F, 0x7F}));
}

TEST(AlsaEvents, MetaEntriesOfTheBoxTravelAsTheirThreeRawBytes) {
    const Bytes meta{0xFF, 0x08, 0x40};
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    ASSERT_TRUE(alsa::encodeShort(meta.data(), meta.size(), ev));
    EXPECT_EQ(ev.type, SND_SEQ_EVENT_SYSEX);
    ASSERT_EQ(ev.data.ext.len, 3u);
    const auto* raw = static_cast<const std::uint8_t*>(ev.data.ext.ptr);
    EXPECT_EQ(Bytes(raw, raw + 3), meta);
}
