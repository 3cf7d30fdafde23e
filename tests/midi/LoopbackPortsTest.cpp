// TMidiIn and TMidiOut over the in-process loopback service: what a peer would see on the
// wire and what the program's handlers receive.
#include "LoopbackService.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace korv::midi;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes makeDump() {
    Bytes dump(4103);
    dump[0] = 0xF0;
    dump[1] = 0x00;
    dump[2] = 0x00;
    dump[3] = 0x7E;
    dump[4] = 0x45;
    dump[5] = 0x02;
    for (std::size_t i = 6; i < 4102; ++i)
        dump[i] = static_cast<std::uint8_t>((i * 7) & 0x7F);
    dump[4102] = 0xF7;
    return dump;
}

struct Received {
    std::mutex mutex;
    std::vector<Bytes> shorts;
    std::vector<Bytes> sysex;
};

class LoopbackPorts : public ::testing::Test {
protected:
    LoopbackPorts() {
        loop.addInput("Box In");
        loop.addInput("Other In");
        loop.addOutput("Box Out");
        loop.addOutput("Other Out");
    }

    void listen(TMidiIn& in) {
        in.OnShort = [this](TMidiIn&, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
            std::lock_guard l(rx.mutex);
            rx.shorts.push_back({s, a, b});
        };
        in.OnSysEx = [this](TMidiIn&, const std::uint8_t* data, int size) {
            std::lock_guard l(rx.mutex);
            rx.sysex.emplace_back(data, data + size);
        };
    }

    LoopbackService loop;
    MidiSystem system{{&loop}};
    Received rx;
};

} // namespace

TEST_F(LoopbackPorts, DeviceListsComeFromTheServicesAndAreCappedAtTwelve) {
    LoopbackService more;
    for (int i = 0; i < 14; ++i)
        more.addOutput("Out " + std::to_string(i));
    MidiSystem both({&loop, &more});
    TMidiOut out(both);
    EXPECT_EQ(out.NumDevs(), 12);
    EXPECT_EQ(out.DeviceName(0), "Box Out");
    EXPECT_EQ(out.DeviceName(11), "Out 9");
    EXPECT_EQ(out.DeviceName(12), "");

    TMidiOut last(both);
    last.SetPort(12); // beyond the cap: ignored
    EXPECT_EQ(last.Port(), 0);

    MidiSystem none({});
    TMidiIn in(none);
    EXPECT_EQ(in.NumDevs(), 0);
    in.SetUsing(true);
    EXPECT_TRUE(in.Using());
    EXPECT_NE(in.OpenResult(), 0);
}

TEST_F(LoopbackPorts, PutSendsChannelMessagesAsLongAsTheStatusImpliesAndMetaEntriesWhole) {
    TMidiOut out(system);
    out.Put(0x90, 60, 100); // closed: nothing
    out.SetUsing(true);
    ASSERT_EQ(out.OpenResult(), 0);
    out.Put(0x90, 127, 127);
    out.Put(0xC3, 5, 99);
    out.Put(0xFF, 0x08, 0x40); // a meta event of the box
    out.Put(0xB0, 0, 0);
    EXPECT_EQ(loop.sentMessages(0),
              (std::vector<Bytes>{{0x90, 127, 127}, {0xC3, 5}, {0xFF, 8, 0x40}, {0xB0, 0, 0}}));
}

TEST_F(LoopbackPorts, SysExSendsExactlyTheGivenBytesFromThreeOn) {
    TMidiOut out(system);
    out.SetUsing(true);
    const Bytes two{0xF0, 0xF7}, three{0xF0, 0x01, 0xF7};
    out.SysEx(two.data(), 2);
    out.SysEx(three.data(), 3);
    const Bytes dump = makeDump();
    out.SysEx(dump.data(), static_cast<int>(dump.size()));
    Bytes expected = three;
    expected.insert(expected.end(), dump.begin(), dump.end());
    EXPECT_EQ(loop.sent(0), expected);
}

TEST_F(LoopbackPorts, ShortMessagesWaitWhileASysExIsOpenAndFollowItsEnd) {
    TMidiOut out(system);
    out.SetUsing(true);
    const Bytes head{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}, mid{0x01, 0x02, 0x03},
        tail{0x04, 0x05, 0xF7};
    out.SysEx(head.data(), 6);
    out.Put(0xB0, 7, 100);
    out.Put(0xF8, 0, 0); // a meta entry waits too: its data bytes would break the SysEx
    out.SysEx(mid.data(), 3);
    out.Put(0x90, 60, 0);
    out.SysEx(tail.data(), 3);
    out.Put(0xC0, 1, 0);
    EXPECT_EQ(loop.sentMessages(0),
              (std::vector<Bytes>{
                  head, mid, tail, {0xB0, 7, 100}, {0xF8, 0, 0}, {0x90, 60, 0}, {0xC0, 1}}));
}

TEST_F(LoopbackPorts, HeldMessagesGoOutWhenTheOutputCloses) {
    TMidiOut out(system);
    out.SetUsing(true);
    const Bytes head{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02};
    out.SysEx(head.data(), 6);
    out.Put(0x80, 60, 0);
    out.SetUsing(false);
    EXPECT_EQ(loop.sentMessages(0), (std::vector<Bytes>{head, {0x80, 60, 0}}));
}

TEST_F(LoopbackPorts, UsingRecordsTheRequestAndOpenResultTheOutcome) {
    loop.setOpenFailure("Other Out", OpenRefused);
    TMidiOut out(system);
    out.SetPort(1); // closed: nothing opens
    EXPECT_FALSE(out.Using());
    out.SetUsing(true);
    EXPECT_TRUE(out.Using());
    EXPECT_EQ(out.OpenResult(), OpenRefused);
    out.Put(0x90, 1, 2); // unusable: nothing, no crash
    const Bytes three{0xF0, 0x01, 0xF7};
    out.SysEx(three.data(), 3);
    out.SetPort(0); // open: close, switch, reopen
    EXPECT_EQ(out.OpenResult(), 0);
    out.Put(0x90, 1, 2);
    EXPECT_EQ(loop.sent(0), (Bytes{0x90, 1, 2}));
    EXPECT_EQ(loop.sent(1), Bytes{});
    out.SetUsing(false);
    EXPECT_EQ(out.OpenResult(), 0); // kept after close
}

TEST_F(LoopbackPorts, ShortInputArrivesWithMissingBytesZero) {
    TMidiIn in(system);
    listen(in);
    EXPECT_FALSE(loop.inject(0, {0x90, 1, 2})); // closed
    in.SetUsing(true);
    ASSERT_EQ(in.OpenResult(), 0);
    ASSERT_TRUE(loop.inject(0, {0x90, 60, 127, 61, 0, 0xC2, 9, 0xFE, 0xF6}));
    loop.flush();
    EXPECT_EQ(rx.shorts,
              (std::vector<Bytes>{
                  {0x90, 60, 127}, {0x90, 61, 0}, {0xC2, 9, 0}, {0xFE, 0, 0}, {0xF6, 0, 0}}));
}

TEST_F(LoopbackPorts, ADumpArrivesAs32FullBuffersAndOneOfSeven) {
    TMidiIn in(system);
    listen(in);
    in.SetUsing(true);
    const Bytes dump = makeDump();
    // As a peer sends it in pieces: 6 bytes, then 3-byte pieces.
    loop.inject(0, Bytes(dump.begin(), dump.begin() + 6));
    for (std::size_t i = 6; i < dump.size(); i += 3)
        loop.inject(0, Bytes(dump.begin() + static_cast<long>(i),
                             dump.begin() + static_cast<long>(std::min(i + 3, dump.size()))));
    loop.flush();
    ASSERT_EQ(rx.sysex.size(), 33u);
    Bytes joined;
    for (std::size_t i = 0; i < 33; ++i) {
        EXPECT_EQ(rx.sysex[i].size(), i < 32 ? 128u : 7u);
        joined.insert(joined.end(), rx.sysex[i].begin(), rx.sysex[i].end());
    }
    EXPECT_EQ(joined, dump);
}

TEST_F(LoopbackPorts, BrokenSysExDoesNotStarveLaterInput) {
    TMidiIn in(system);
    listen(in);
    in.SetUsing(true);
    Bytes broken{0xF0, 0x00, 0x01};
    broken.insert(broken.end(), 300, 0x11);
    broken.push_back(0x90); // a status byte breaks the message off
    broken.insert(broken.end(), {60, 1});
    for (int i = 0; i < 20; ++i)
        loop.inject(0, broken);
    loop.inject(0, {0xF0, 0x7E, 0xF7});
    loop.flush();
    std::lock_guard l(rx.mutex);
    ASSERT_FALSE(rx.sysex.empty());
    EXPECT_EQ(rx.sysex.back(), (Bytes{0xF0, 0x7E, 0xF7}));
    EXPECT_EQ(rx.shorts.size(), 20u);
    for (std::size_t i = 0; i + 1 < rx.sysex.size(); ++i)
        EXPECT_EQ(rx.sysex[i].size(), 128u); // only full buffers of the broken messages
}

TEST_F(LoopbackPorts, UseFlagsDropEventsButSysExResumes) {
    TMidiIn in(system);
    listen(in);
    in.SetUsing(true);
    in.SetUseShort(false);
    in.SetUseSysEx(false);
    Bytes big(300, 0x22);
    big.front() = 0xF0;
    big.back() = 0xF7;
    loop.inject(0, {0xB0, 1, 2});
    loop.inject(0, big);
    loop.flush();
    in.SetUseSysEx(true);
    loop.inject(0, {0xF0, 0x01, 0xF7});
    loop.flush();
    EXPECT_TRUE(rx.shorts.empty());
    EXPECT_EQ(rx.sysex, (std::vector<Bytes>{{0xF0, 0x01, 0xF7}}));
}

TEST_F(LoopbackPorts, NothingIsRaisedAfterTheInputCloses) {
    TMidiIn in(system);
    std::atomic<int> calls{0};
    std::atomic<bool> closed{false};
    std::atomic<bool> late{false};
    in.OnShort = [&](TMidiIn&, std::uint8_t, std::uint8_t, std::uint8_t) {
        if (closed)
            late = true;
        ++calls;
    };
    in.SetUsing(true);
    for (int i = 0; i < 2000; ++i)
        loop.inject(0, {0x90, 1, 2});
    in.SetUsing(false);
    closed = true;
    const int callsAtClose = calls;
    loop.flush();
    EXPECT_FALSE(late);
    EXPECT_EQ(calls.load(), callsAtClose); // what was still queued is not raised
    in.SetPort(1);
    in.SetUsing(true);
    EXPECT_FALSE(loop.inject(0, {0x90, 1, 2}));
    EXPECT_TRUE(loop.inject(1, {0x90, 1, 2}));
    loop.flush();
}

TEST_F(LoopbackPorts, ShortMessagesFromAnotherThreadNeverLandInsideAPacedDump) {
    TMidiOut out(system);
    out.SetUsing(true);
    const Bytes dump = makeDump();
    // Notes, which a held queue never collapses: every one of them must arrive, in its order.
    constexpr int notes = 3000;
    std::atomic<int> sentNotes{0};
    std::thread player([&] {
        for (int i = 0; i < notes; ++i) {
            out.Put(0x90, static_cast<std::uint8_t>(i & 0x7F), static_cast<std::uint8_t>(i >> 7));
            ++sentNotes;
            std::this_thread::yield();
        }
    });
    while (sentNotes == 0)
        std::this_thread::yield();
    out.SysEx(dump.data(), 6); // as the paced send cuts it: 6, then 3s, then the last 5
    std::size_t pos = 6;
    for (; pos + 5 < dump.size(); pos += 3)
        out.SysEx(dump.data() + pos, 3);
    out.SysEx(dump.data() + pos, static_cast<int>(dump.size() - pos));
    player.join();

    const Bytes wire = loop.sent(0);
    const auto start = std::search(wire.begin(), wire.end(), dump.begin(), dump.begin() + 6);
    ASSERT_NE(start, wire.end());
    ASSERT_GE(wire.end() - start, static_cast<long>(dump.size()));
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), start)); // contiguous on the wire
    int next = 0;
    for (std::size_t i = 0; i < wire.size();) {
        if (wire[i] == 0x90) {
            ASSERT_LE(i + 3, wire.size());
            EXPECT_EQ(wire[i + 1] | (wire[i + 2] << 7), next) << "note " << next;
            ++next;
            i += 3;
        } else {
            i += dump.size(); // the dump, checked above
        }
    }
    EXPECT_EQ(next, notes); // none lost, none inside the dump
    EXPECT_EQ(out.Lost(), 0u);
}

TEST_F(LoopbackPorts, HeldControllerValuesCollapseToTheLastWhileNotesKeepTheirOrder) {
    TMidiOut out(system);
    out.SetUsing(true);
    const Bytes head{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}, tail{0x01, 0x02, 0xF7};
    out.SysEx(head.data(), 6);
    for (std::uint8_t v = 0; v < 100; ++v)
        out.Put(0xB0, 7, v); // a knob turned all through the send
    out.Put(0x90, 60, 100);
    out.Put(0xB0, 7, 127);
    out.Put(0xB1, 7, 5); // another channel
    out.Put(0xB0, 8, 9); // another controller
    out.Put(0xE0, 0x00, 0x10);
    out.Put(0xE0, 0x7F, 0x20); // pitch bend: both bytes are the value
    out.Put(0xD0, 10, 0);
    out.Put(0xD0, 20, 0);
    out.Put(0xA0, 60, 1);
    out.Put(0xA0, 60, 2);
    out.Put(0xA0, 61, 3);
    out.Put(0xC0, 1, 0);
    out.Put(0xC0, 2, 0);
    out.Put(0x80, 60, 0);
    out.Put(0x90, 60, 100);
    out.SysEx(tail.data(), 3);
    EXPECT_EQ(loop.sentMessages(0), (std::vector<Bytes>{head,
                                                        tail,
                                                        {0xB0, 7, 127},
                                                        {0x90, 60, 100},
                                                        {0xB1, 7, 5},
                                                        {0xB0, 8, 9},
                                                        {0xE0, 0x7F, 0x20},
                                                        {0xD0, 20},
                                                        {0xA0, 60, 2},
                                                        {0xA0, 61, 3},
                                                        {0xC0, 1},
                                                        {0xC0, 2},
                                                        {0x80, 60, 0},
                                                        {0x90, 60, 100}}));
    EXPECT_EQ(out.Lost(), 0u);
}

TEST_F(LoopbackPorts, AFullHoldQueueCountsWhatItDrops) {
    TMidiOut out(system);
    out.SetUsing(true);
    const Bytes head{0xF0, 0x01, 0x02}, tail{0x03, 0xF7, 0xF7};
    out.SysEx(head.data(), 3);
    for (int i = 0; i < 5000; ++i)
        out.Put(0x90 | (i & 0x0F), static_cast<std::uint8_t>((i >> 4) & 0x7F), 1);
    EXPECT_EQ(out.Lost(), 904u); // 4,096 wait
    out.SysEx(tail.data(), 3);
    const auto sent = loop.sentMessages(0);
    ASSERT_EQ(sent.size(), 2u + 4096u);
    EXPECT_EQ(sent[2], (Bytes{0x90, 0, 1}));
    EXPECT_EQ(sent.back(), (Bytes{0x9F, 0x7F, 1})); // note 4,095: 0x7F on channel 16
    out.SetUsing(false);
    EXPECT_EQ(out.CloseResult(), CloseOk);
    EXPECT_EQ(out.Lost(), 904u);
}

TEST_F(LoopbackPorts, SetPortOnAnOpenPortReopensOnTheNewDevice) {
    TMidiOut out(system);
    TMidiIn in(system);
    listen(in);
    out.SetUsing(true);
    in.SetUsing(true);
    out.SetPort(1);
    in.SetPort(1);
    EXPECT_TRUE(out.Using());
    EXPECT_EQ(out.OpenResult(), 0);
    EXPECT_EQ(in.OpenResult(), 0);
    out.Put(0x90, 1, 2);
    EXPECT_EQ(loop.sent(0), Bytes{});
    EXPECT_EQ(loop.sent(1), (Bytes{0x90, 1, 2}));
    TMidiOut other(system); // the first device was let go
    other.SetUsing(true);
    EXPECT_EQ(other.OpenResult(), 0);
    EXPECT_FALSE(loop.inject(0, {0x90, 1, 2}));
    EXPECT_TRUE(loop.inject(1, {0x90, 3, 4}));
    loop.flush();
    EXPECT_EQ(rx.shorts, (std::vector<Bytes>{{0x90, 3, 4}}));
}

TEST_F(LoopbackPorts, ANewF0StartsTheBufferAfresh) {
    TMidiIn in(system);
    listen(in);
    in.SetUsing(true);
    Bytes unfinished{0xF0, 0x01};
    unfinished.insert(unfinished.end(), 130, 0x05); // one full buffer raised, four bytes left
    loop.inject(0, unfinished);
    loop.inject(0, {0xF0, 0x7E, 0x01, 0xF7});
    loop.flush();
    ASSERT_EQ(rx.sysex.size(), 2u);
    EXPECT_EQ(rx.sysex[0].size(), 128u);
    EXPECT_EQ(rx.sysex[1], (Bytes{0xF0, 0x7E, 0x01, 0xF7}));
}

TEST_F(LoopbackPorts, NoSysExIsRaisedOnceTheInputStartsClosing) {
    TMidiIn in(system);
    std::mutex m;
    std::condition_variable cv;
    bool inHandler = false, closing = false;
    std::atomic<int> calls{0};
    in.OnSysEx = [&](TMidiIn&, const std::uint8_t*, int) {
        if (++calls > 1)
            return;
        std::unique_lock l(m);
        inHandler = true;
        cv.notify_all();
        cv.wait(l, [&] { return closing; });
        l.unlock();
        // Give the close time to begin; it then waits for this call to end.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    };
    in.SetUsing(true);
    Bytes many;
    for (int i = 0; i < 20; ++i)
        many.insert(many.end(), {0xF0, static_cast<std::uint8_t>(i), 0xF7});
    loop.inject(0, many); // one delivery: the rest follows the first call at once
    {
        std::unique_lock l(m);
        cv.wait(l, [&] { return inHandler; });
        closing = true;
        cv.notify_all();
    }
    in.SetUsing(false);
    loop.flush();
    EXPECT_EQ(calls.load(), 1);
}
