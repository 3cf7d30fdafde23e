// The JACK service when its server stops answering, when ports come and go, and when no server
// runs at all: nothing hangs, nothing is lost without being counted, nothing else is opened.
#include "JackClientOpen.h"
#include "JackService.h"
#include "JackTestServer.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace korv::midi;
using korv::test::JackPeer;
using korv::test::JackTestServer;
using Bytes = std::vector<std::uint8_t>;

namespace {

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

template <class Port> int indexOf(const Port& port, const std::string& name) {
    for (int i = 0; i < port.NumDevs(); ++i)
        if (port.DeviceName(i) == name)
            return i;
    return -1;
}

// Waits until the peer's process cycles have stopped: the frozen server runs no more.
void waitUntilStill(const JackPeer& peer) {
    std::uint64_t last = peer.cycles();
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::uint64_t now = peer.cycles();
        if (now == last)
            return;
        last = now;
    }
}

class JackStall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(eventually([&] { return (jack = JackService::connect()) != nullptr; }));
        system = std::make_unique<MidiSystem>(std::vector<MidiService*>{jack.get()});
    }

    JackTestServer server;
    JackPeer peer{server};
    std::unique_ptr<JackService> jack;
    std::unique_ptr<MidiSystem> system;
};

} // namespace

TEST_F(JackStall, AStoppedServerCountsWhatCannotGoOutAndPicksFailUntilItAnswersAgain) {
    TMidiOut out(*system);
    TMidiIn in(*system);
    out.SetPort(indexOf(out, peer.inPort()));
    in.SetPort(indexOf(in, peer.outPort()));
    out.SetUsing(true);
    ASSERT_EQ(out.OpenResult(), OpenOk);
    ASSERT_TRUE(peer.waitConnected(peer.inPort()));
    out.Put(0x90, 60, 1);
    ASSERT_TRUE(peer.waitForBytes(3));

    server.freeze();
    waitUntilStill(peer);
    // The send queue holds 65,536 bytes, 7 per message with its length: 9,362 messages.
    for (int i = 0; i < 10000; ++i)
        out.Put(0xB0, 7, static_cast<std::uint8_t>(i & 0x7F));
    EXPECT_EQ(out.Lost(), 638u);
    EXPECT_EQ(out.CloseResult(), CloseOk);
    out.SetUsing(false); // the queued messages cannot go out now
    EXPECT_EQ(out.CloseResult(), CloseLostMessages);
    EXPECT_EQ(out.Lost(), 10000u);

    out.SetUsing(true);
    EXPECT_EQ(out.OpenResult(), OpenNoAnswer);
    in.SetUsing(true);
    EXPECT_EQ(in.OpenResult(), OpenNoAnswer);
    in.SetUsing(false);

    server.thaw();
    peer.clear();
    EXPECT_TRUE(eventually([&] {
        out.SetUsing(false);
        out.SetUsing(true);
        return out.OpenResult() == OpenOk;
    }));
    EXPECT_EQ(out.CloseResult(), CloseOk);
    ASSERT_TRUE(peer.waitConnected(peer.inPort()));
    out.Put(0x80, 60, 0);
    ASSERT_TRUE(peer.waitForBytes(3));
    EXPECT_EQ(peer.receivedBytes(), (Bytes{0x80, 60, 0})); // nothing of the stalled queue
    in.SetUsing(true);
    EXPECT_EQ(in.OpenResult(), OpenOk);
}

TEST_F(JackStall, APortIsOpenedByItsNameAndAVanishedOneFails) {
    auto second = std::make_unique<JackPeer>(server, "second");
    TMidiOut out(*system);
    TMidiIn in(*system);
    const int gone = indexOf(out, second->inPort());
    const int goneIn = indexOf(in, second->outPort());
    const int kept = indexOf(out, peer.inPort());
    ASSERT_GE(gone, 0);
    ASSERT_GE(goneIn, 0);
    ASSERT_GE(kept, 0);
    second.reset();
    JackPeer third(server, "third"); // another client came meanwhile
    ASSERT_TRUE(third.waitPort(third.inPort()));

    out.SetPort(gone);
    out.SetUsing(true);
    EXPECT_EQ(out.OpenResult(), OpenNoSuchDevice);
    in.SetPort(goneIn);
    in.SetUsing(true);
    EXPECT_EQ(in.OpenResult(), OpenNoSuchDevice);

    out.SetPort(kept);
    EXPECT_EQ(out.OpenResult(), OpenOk);
    ASSERT_TRUE(peer.waitConnected(peer.inPort()));
    out.Put(0xC0, 5, 0);
    ASSERT_TRUE(peer.waitForBytes(2));
    EXPECT_EQ(peer.receivedBytes(), (Bytes{0xC0, 5}));
    EXPECT_EQ(third.receivedBytes(), Bytes{});
}

TEST_F(JackStall, EventsThatDoNotFitOneCycleFollowInTheNextOnes) {
    TMidiOut out(*system);
    out.SetPort(indexOf(out, peer.inPort()));
    out.SetUsing(true);
    ASSERT_TRUE(peer.waitConnected(peer.inPort()));
    // Ten dumps at once are more than one port buffer carries.
    Bytes dump(4103, 0x11);
    dump.front() = 0xF0;
    dump.back() = 0xF7;
    Bytes expected;
    for (int i = 0; i < 10; ++i) {
        dump[1] = static_cast<std::uint8_t>(i);
        out.SysEx(dump.data(), static_cast<int>(dump.size()));
        out.Put(0x90, static_cast<std::uint8_t>(i), 1);
        expected.insert(expected.end(), dump.begin(), dump.end());
        expected.insert(expected.end(), {0x90, static_cast<std::uint8_t>(i), 1});
    }
    ASSERT_TRUE(peer.waitForBytes(expected.size()));
    EXPECT_EQ(peer.receivedBytes(), expected);
    const auto events = peer.events();
    ASSERT_EQ(events.size(), 20u);
    EXPECT_GT(events.back().cycle, events.front().cycle);
    EXPECT_EQ(out.Lost(), 0u);
    out.SetUsing(false);
    EXPECT_EQ(out.CloseResult(), CloseOk);
}

TEST_F(JackStall, TheServerGoingAwayIsTold) {
    EXPECT_EQ(system->goneService(), "");
    TMidiOut out(*system);
    out.SetPort(indexOf(out, peer.inPort()));
    server.kill();
    EXPECT_TRUE(eventually([&] { return system->goneService() == "JACK"; }));
    out.SetUsing(true);
    EXPECT_EQ(out.OpenResult(), OpenServiceGone);
}

TEST(JackServerLookup, OnlyARunningServerIsFoundAndNoneMeansNoService) {
    const std::string nobody = "korv-nobody-runs-this";
    // Any call into libjack makes its database folder in /dev/shm, server or not; a damaged
    // file there crashes every JACK client. Without a server, none is made.
    const std::filesystem::path jackDb = "/dev/shm/jack_db-" + std::to_string(getuid());
    const bool dbBefore = std::filesystem::exists(jackDb);
    EXPECT_FALSE(JackServerRunning(nobody));
    EXPECT_EQ(JackService::connect("probe", nobody), nullptr);
    const char* before = std::getenv("JACK_DEFAULT_SERVER");
    const std::string saved = before ? before : "";
    setenv("JACK_DEFAULT_SERVER", nobody.c_str(), 1);
    EXPECT_EQ(DefaultJackServerName(), nobody);
    EXPECT_FALSE(makeJackService());
    EXPECT_EQ(std::filesystem::exists(jackDb), dbBefore);
    unsetenv("JACK_DEFAULT_SERVER");
    EXPECT_EQ(DefaultJackServerName(), "default");

    JackTestServer server; // sets JACK_DEFAULT_SERVER to its own name
    EXPECT_EQ(DefaultJackServerName(), server.name());
    EXPECT_TRUE(JackServerRunning(server.name()));
    server.kill();
    EXPECT_FALSE(JackServerRunning(server.name()));
    if (before)
        setenv("JACK_DEFAULT_SERVER", saved.c_str(), 1);
}

TEST(JackServerCalls, ACallThatDoesNotReturnIsGivenUpOnAtItsLimit) {
    JackServerCalls calls;
    std::mutex m;
    std::condition_variable cv;
    bool answered = false;
    // A server that never answers: the call waits until the test lets it go.
    EXPECT_FALSE(calls.run(
        [&] {
            std::unique_lock l(m);
            cv.wait(l, [&] { return answered; });
        },
        std::chrono::milliseconds(50)));
    EXPECT_TRUE(calls.anyLate());
    int ran = 0;
    EXPECT_TRUE(calls.run([&] { ++ran; }, std::chrono::seconds(10)));
    EXPECT_EQ(ran, 1);
    {
        std::lock_guard l(m);
        answered = true;
    }
    cv.notify_all();
    calls.waitLate();
    EXPECT_FALSE(calls.anyLate());
}
