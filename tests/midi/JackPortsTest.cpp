// TMidiIn and TMidiOut over a real JACK server: what a peer client receives byte for byte,
// what the program receives from it, and surviving the server's death.
#include "JackService.h"
#include "JackTestServer.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

using namespace korv::midi;
using korv::test::JackPeer;
using korv::test::JackTestServer;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes makeDump() {
    Bytes dump(4103);
    const Bytes head{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02};
    std::copy(head.begin(), head.end(), dump.begin());
    for (std::size_t i = 6; i < 4102; ++i)
        dump[i] = static_cast<std::uint8_t>((i * 13) & 0x7F);
    dump[4102] = 0xF7;
    return dump;
}

template <class Pred>
bool eventually(Pred pred, std::chrono::seconds timeout = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

int indexOf(const TMidiOut& out, const std::string& name) {
    for (int i = 0; i < out.NumDevs(); ++i)
        if (out.DeviceName(i) == name)
            return i;
    return -1;
}

int indexOf(const TMidiIn& in, const std::string& name) {
    for (int i = 0; i < in.NumDevs(); ++i)
        if (in.DeviceName(i) == name)
            return i;
    return -1;
}

class JackPorts : public ::testing::Test {
protected:
    void SetUp() override {
        // A server that has just come up may refuse a client for a moment.
        ASSERT_TRUE(eventually([&] { return (jack = JackService::connect()) != nullptr; }));
        virt = makeVirtualService({jack.get()});
        system = std::make_unique<MidiSystem>(std::vector<MidiService*>{virt.get(), jack.get()});
    }

    // Opens the program's virtual output and waits until the peer listens to it.
    void openVirtualOutput(TMidiOut& out) {
        ASSERT_EQ(out.DeviceName(0), "Virtual Korvanette");
        out.SetUsing(true);
        ASSERT_EQ(out.OpenResult(), 0);
        ASSERT_TRUE(peer.connect(jack->virtualOutputPort(), peer.inPort()));
        ASSERT_TRUE(peer.waitConnected(peer.inPort(), jack->virtualOutputPort()));
    }

    void record(TMidiIn& in) {
        in.OnShort = [this](TMidiIn&, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
            std::lock_guard l(mutex);
            shorts.push_back({s, a, b});
        };
        in.OnSysEx = [this](TMidiIn&, const std::uint8_t* data, int size) {
            std::lock_guard l(mutex);
            buffers.emplace_back(data, data + size);
        };
    }

    std::size_t bufferCount() {
        std::lock_guard l(mutex);
        return buffers.size();
    }

    JackTestServer server;
    JackPeer peer{server};
    std::unique_ptr<JackService> jack;
    std::unique_ptr<MidiService> virt;
    std::unique_ptr<MidiSystem> system;

    std::mutex mutex;
    std::vector<Bytes> shorts;
    std::vector<Bytes> buffers;
};

} // namespace

TEST_F(JackPorts, DeviceListsStartWithTheVirtualPortAndNameOtherClientsPorts) {
    TMidiOut out(*system);
    TMidiIn in(*system);
    EXPECT_EQ(out.DeviceName(0), "Virtual Korvanette");
    EXPECT_EQ(in.DeviceName(0), "Virtual Korvanette");
    EXPECT_GE(indexOf(out, peer.inPort()), 1);
    EXPECT_GE(indexOf(in, peer.outPort()), 1);
    EXPECT_EQ(indexOf(out, jack->virtualInputPort()), -1); // our own ports are not devices
    EXPECT_EQ(indexOf(in, jack->virtualOutputPort()), -1);

    auto real = MidiSystem::createDefault();
    ASSERT_FALSE(real->outputs().empty());
    EXPECT_EQ(real->outputs().front().name, "Virtual Korvanette");
    EXPECT_EQ(real->inputs().front().name, "Virtual Korvanette");
}

TEST_F(JackPorts, ShortMessagesAndAWholeDumpReachThePeerByteForByte) {
    TMidiOut out(*system);
    openVirtualOutput(out);
    const Bytes dump = makeDump();
    out.Put(0x90, 60, 127);
    out.Put(0xC1, 7, 0);
    out.SysEx(dump.data(), static_cast<int>(dump.size()));
    out.Put(0xB0, 1, 0);
    Bytes expected{0x90, 60, 127, 0xC1, 7};
    expected.insert(expected.end(), dump.begin(), dump.end());
    expected.insert(expected.end(), {0xB0, 1, 0});
    ASSERT_TRUE(peer.waitForBytes(expected.size()))
        << peer.receivedCount() << " bytes, dropped " << jack->droppedOutput() << " alive "
        << jack->alive();
    EXPECT_EQ(peer.receivedBytes(), expected);
}

TEST_F(JackPorts, PacedPiecesArriveUnchangedAndAShortMessageFollowsTheF7) {
    TMidiOut out(*system);
    openVirtualOutput(out);
    const Bytes dump = makeDump();
    out.SysEx(dump.data(), 6);
    std::size_t pos = 6;
    out.SysEx(dump.data() + pos, 3);
    pos += 3;
    out.Put(0xB0, 7, 99); // a knob turned during the send
    for (; pos + 5 < dump.size(); pos += 3)
        out.SysEx(dump.data() + pos, 3);
    out.SysEx(dump.data() + pos, static_cast<int>(dump.size() - pos));

    Bytes expected = dump;
    expected.insert(expected.end(), {0xB0, 7, 99});
    ASSERT_TRUE(peer.waitForBytes(expected.size()));
    EXPECT_EQ(peer.receivedBytes(), expected);
    const auto events = peer.events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front().bytes, Bytes(dump.begin(), dump.begin() + 6));
    EXPECT_EQ(events[1].bytes.size(), 3u);
    EXPECT_EQ(events.back().bytes, (Bytes{0xB0, 7, 99}));
}

TEST_F(JackPorts, OpeningAnotherClientsPortConnectsToIt) {
    TMidiOut out(*system);
    const int port = indexOf(out, peer.inPort());
    ASSERT_GE(port, 0);
    out.SetPort(port);
    out.SetUsing(true);
    ASSERT_EQ(out.OpenResult(), 0);
    ASSERT_TRUE(peer.waitConnected(peer.inPort()));
    out.Put(0xE0, 0, 64);
    ASSERT_TRUE(peer.waitForBytes(3));
    EXPECT_EQ(peer.receivedBytes(), (Bytes{0xE0, 0, 64}));
    out.SetUsing(false);
    EXPECT_TRUE(eventually(
        [&] { return !peer.waitConnected(peer.inPort(), std::chrono::milliseconds(0)); }));
}

TEST_F(JackPorts, ADumpFromThePeerArrivesAs33Buffers) {
    TMidiIn in(*system);
    record(in);
    in.SetUsing(true); // the virtual input
    ASSERT_EQ(in.OpenResult(), 0);
    ASSERT_TRUE(peer.connect(peer.outPort(), jack->virtualInputPort()));
    ASSERT_TRUE(peer.waitConnected(peer.outPort(), jack->virtualInputPort()));
    const Bytes dump = makeDump();
    ASSERT_TRUE(peer.send({0x90, 64, 1}));
    ASSERT_TRUE(peer.send(dump));
    ASSERT_TRUE(eventually([&] { return bufferCount() >= 33; }));
    std::lock_guard l(mutex);
    ASSERT_EQ(buffers.size(), 33u);
    Bytes joined;
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        EXPECT_EQ(buffers[i].size(), i < 32 ? 128u : 7u);
        joined.insert(joined.end(), buffers[i].begin(), buffers[i].end());
    }
    EXPECT_EQ(joined, dump);
    EXPECT_EQ(shorts, (std::vector<Bytes>{{0x90, 64, 1}}));
}

TEST_F(JackPorts, AnotherClientsPortIsReadWhenOpened) {
    TMidiIn in(*system);
    record(in);
    const int port = indexOf(in, peer.outPort());
    ASSERT_GE(port, 0);
    in.SetPort(port);
    in.SetUsing(true);
    ASSERT_EQ(in.OpenResult(), 0);
    ASSERT_TRUE(peer.waitConnected(peer.outPort()));
    // A paced dump from the peer: pieces arrive as separate events.
    const Bytes dump = makeDump();
    peer.send(Bytes(dump.begin(), dump.begin() + 6));
    for (std::size_t i = 6; i < dump.size(); i += 512)
        peer.send(Bytes(dump.begin() + static_cast<long>(i),
                        dump.begin() + static_cast<long>(std::min(i + 512, dump.size()))));
    ASSERT_TRUE(eventually([&] { return bufferCount() >= 33; }));
    std::lock_guard l(mutex);
    Bytes joined;
    for (const auto& b : buffers)
        joined.insert(joined.end(), b.begin(), b.end());
    EXPECT_EQ(joined, dump);
}

TEST_F(JackPorts, KillingTheServerMidStreamCrashesAndHangsNothing) {
    TMidiOut out(*system);
    openVirtualOutput(out);
    TMidiIn in(*system);
    record(in);
    in.SetUsing(true);
    ASSERT_TRUE(peer.connect(peer.outPort(), jack->virtualInputPort()));
    ASSERT_TRUE(peer.waitConnected(peer.outPort(), jack->virtualInputPort()));

    std::atomic<bool> stop{false};
    std::thread sender([&] {
        const Bytes dump = makeDump();
        while (!stop) {
            out.SysEx(dump.data(), 6);
            std::size_t pos = 6;
            for (; pos + 5 < dump.size() && !stop; pos += 3) {
                out.SysEx(dump.data() + pos, 3);
                out.Put(0xB0, 1, static_cast<std::uint8_t>(pos & 0x7F));
            }
            out.SysEx(dump.data() + pos, static_cast<int>(dump.size() - pos));
        }
    });
    ASSERT_TRUE(peer.waitForBytes(100));
    peer.send(makeDump());
    server.kill();
    EXPECT_TRUE(eventually([&] { return !jack->alive(); }));
    stop = true;
    sender.join();

    // The ports are unusable now; nothing fails visibly and a new open reports the loss.
    const Bytes piece{0xF0, 0x01, 0x02};
    out.SysEx(piece.data(), 3);
    out.Put(0x90, 1, 1);
    out.SetUsing(false);
    out.SetUsing(true);
    EXPECT_NE(out.OpenResult(), 0);
    in.SetUsing(false);
    in.SetUsing(true);
    EXPECT_NE(in.OpenResult(), 0);
    EXPECT_TRUE(jack->inputNames().empty());
}

TEST(JackService, AServerThatStopsAnsweringDoesNotHangTheProgramsStart) {
    JackTestServer server;
    server.freeze();
    EXPECT_EQ(JackService::connect(), nullptr);
    server.thaw();
    // Once it answers again, the service comes up as usual.
    std::unique_ptr<JackService> jack;
    EXPECT_TRUE(eventually([&] { return (jack = JackService::connect()) != nullptr; }));
}
