// The paced send driven by the real tempo clock on a hand-run clock, with the pieces caught
// on a loopback output; and once on the platform timer while the window's thread keeps
// touching the image.
#include "PacedSender.h"
#include "LoopbackService.h"
#include "TMidiOut.h"
#include "TTempoTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Calls back every `delay` ms of a clock that only moves when the test says so.
class ManualSource : public midi::TimerSource {
public:
    std::uint32_t nowMs() override { return now; }
    unsigned startPeriodic(int delayMs, unsigned, std::function<void()> callback) override {
        cb = std::move(callback);
        delay = static_cast<std::uint32_t>(delayMs);
        due = now + delay;
        return id = nextId++;
    }
    void kill(unsigned killed) override {
        if (killed == id)
            id = 0;
    }
    void advance(std::uint32_t ms) {
        const std::uint32_t until = now + ms;
        while (id && due <= until) {
            now = due;
            due += delay;
            auto call = cb;
            call();
        }
        now = until;
    }

    std::uint32_t now = 5000;
    std::uint32_t delay = 0, due = 0;
    unsigned id = 0, nextId = 1;
    std::function<void()> cb;
};

Bytes joined(const std::vector<Bytes>& pieces) {
    Bytes all;
    for (const auto& p : pieces)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes otherDump() {
    Bytes dump = model::SettingsImage::DefaultImage();
    for (std::size_t i = 6; i < 4102; ++i)
        dump[i] = static_cast<std::uint8_t>((i * 29) & 0x7F);
    return dump;
}

// A loopback service with one output, there before the port takes its device list.
struct BoxOutput {
    BoxOutput() { loop.addOutput("Box"); }
    midi::LoopbackService loop;
};

class PacedSend : public ::testing::Test, protected BoxOutput {
protected:
    PacedSend() {
        out.SetUsing(true);
        timer.OnTimer = [this](midi::TTempoTimer&, std::int8_t) {
            ++ticks;
            sender.OnTick();
        };
        timer.SetTempo(*dump::TempoForSpeed(200));
    }
    // The window's part: header, a pause, then the clock.
    void start() {
        ASSERT_TRUE(sender.StartPaced());
        source.advance(250);
        timer.SetEnabled(true);
    }
    std::vector<Bytes> sent() const { return loop.sentMessages(0); }

    midi::MidiSystem system{{&loop}};
    midi::TMidiOut out{system};
    ManualSource source;
    midi::TTempoTimer timer{&source};
    model::SettingsImage image;
    std::vector<int> progress;
    int finished = 0;
    int ticks = 0;
    dump::PacedSender sender{image,
                             {[this](const std::uint8_t* d, int n) { out.SysEx(d, n); },
                              [this] { timer.SetEnabled(false); },
                              [this](int left) { progress.push_back(left); },
                              [this] { ++finished; }, [this] { out.EndSysEx(); }}};
};

} // namespace

TEST_F(PacedSend, HeaderThenThreeBytesPerTickThenALastPieceOfFive) {
    start();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}}));
    EXPECT_TRUE(sender.Running());
    source.advance(60'000);

    const auto pieces = sent();
    ASSERT_EQ(pieces.size(), 1u + 1364u + 1u);
    for (std::size_t i = 1; i <= 1364; ++i)
        ASSERT_EQ(pieces[i].size(), 3u) << "piece " << i;
    EXPECT_EQ(pieces.back().size(), 5u);
    EXPECT_EQ(pieces.back().back(), 0xF7);
    EXPECT_EQ(joined(pieces), image.Bytes());

    EXPECT_EQ(ticks, 1365);
    ASSERT_EQ(progress.size(), 1365u);
    EXPECT_EQ((std::vector<int>(progress.begin(), progress.begin() + 3)),
              (std::vector<int>{4094, 4091, 4088}));
    EXPECT_EQ((std::vector<int>(progress.end() - 3, progress.end())), (std::vector<int>{8, 5, 0}));
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(sender.Running());
    EXPECT_EQ(sender.BytesLeft(), 0);
}

TEST_F(PacedSend, ASecondSendIsRefusedWhileOneRuns) {
    start();
    source.advance(500);
    const std::size_t before = sent().size();
    EXPECT_FALSE(sender.StartPaced());
    EXPECT_FALSE(sender.SendAtOnce());
    EXPECT_EQ(sent().size(), before);
    source.advance(60'000);
    EXPECT_EQ(joined(sent()), image.Bytes()); // one whole dump, nothing interleaved
    EXPECT_EQ(finished, 1);

    loop.clearSent(0);
    start(); // once finished, sending again works
    source.advance(60'000);
    EXPECT_EQ(joined(sent()), image.Bytes());
    EXPECT_EQ(finished, 2);
}

TEST_F(PacedSend, EditsReachTheBoxOnlyWhereTheSendHasNotPassedYet) {
    const Bytes before = image.Bytes();
    start();
    source.advance(1000); // about 200 bytes out
    image.SetDataByte(0x010, 0x55);
    image.SetDataByte(0xF00, 0x66);
    source.advance(60'000);
    const Bytes wire = joined(sent());
    ASSERT_EQ(wire.size(), 4103u);
    EXPECT_EQ(wire[6 + 0x010], before[6 + 0x010]);
    EXPECT_EQ(wire[6 + 0xF00], 0x66);
}

TEST_F(PacedSend, AReceivedDumpWaitsForTheRunningSendAndIsAppliedAfter) {
    const Bytes before = image.Bytes();
    const Bytes received = otherDump();
    EXPECT_EQ(sender.ApplyHeldDump(), false);

    start();
    source.advance(2000);
    EXPECT_EQ(sender.ApplyReceivedDump(received), dump::PacedSender::ApplyResult::Held);
    EXPECT_TRUE(sender.HasHeldDump());
    EXPECT_EQ(image.Bytes(), before);
    EXPECT_FALSE(sender.ApplyHeldDump()); // still sending
    source.advance(60'000);
    EXPECT_EQ(joined(sent()), before);

    EXPECT_TRUE(sender.ApplyHeldDump());
    EXPECT_EQ(image.Bytes(), received);
    EXPECT_FALSE(sender.HasHeldDump());
    EXPECT_FALSE(sender.ApplyHeldDump());

    // Without a send it goes in at once.
    EXPECT_EQ(sender.ApplyReceivedDump(before), dump::PacedSender::ApplyResult::Applied);
    EXPECT_EQ(image.Bytes(), before);
}

TEST_F(PacedSend, ADumpArrivingAfterTheSendSupersedesAHeldOne) {
    const Bytes newest = image.Bytes();
    start();
    source.advance(2000);
    EXPECT_EQ(sender.ApplyReceivedDump(otherDump()), dump::PacedSender::ApplyResult::Held);
    source.advance(60'000);
    EXPECT_EQ(sender.ApplyReceivedDump(newest), dump::PacedSender::ApplyResult::Applied);
    EXPECT_FALSE(sender.ApplyHeldDump());
    EXPECT_EQ(image.Bytes(), newest);
}

TEST_F(PacedSend, FastSendHandsOverTheWholeImageInOneBuffer) {
    image.SetDeviceByte(0x32);
    EXPECT_TRUE(sender.SendAtOnce());
    const auto pieces = sent();
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], image.Bytes());
    EXPECT_EQ((Bytes(pieces[0].begin(), pieces[0].begin() + 6)),
              (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x32}));
    EXPECT_FALSE(sender.Running());
    EXPECT_TRUE(progress.empty());
}

TEST_F(PacedSend, ACancelEndsTheSysExAtOnceAndThenLetsTheHeldKnobMessagesGo) {
    const Bytes image0 = image.Bytes();
    start();
    source.advance(1000);
    out.Put(0xB0, 0x03, 0x40); // a knob turned during the send waits for the F7
    out.Put(0x90, 0x3C, 0x7F);
    const std::size_t piecesBefore = sent().size();
    const auto sentCount = sender.Cancel();
    ASSERT_TRUE(sentCount.has_value());
    EXPECT_EQ(*sentCount, static_cast<int>(joined(sent()).size()) - 1 - 3 - 3);
    EXPECT_FALSE(sender.Running());
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(sender.BytesLeft(), 0);

    source.advance(60'000); // no piece follows
    const auto pieces = sent();
    ASSERT_EQ(pieces.size(), piecesBefore + 3);
    EXPECT_EQ(pieces[piecesBefore], (Bytes{0xF7}));
    EXPECT_EQ(pieces[piecesBefore + 1], (Bytes{0xB0, 0x03, 0x40}));
    EXPECT_EQ(pieces[piecesBefore + 2], (Bytes{0x90, 0x3C, 0x7F}));
    const Bytes wire = joined(std::vector<Bytes>(pieces.begin(), pieces.begin() + piecesBefore));
    EXPECT_EQ(wire, Bytes(image0.begin(), image0.begin() + *sentCount));
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(sender.LastSent().empty()); // nothing went out whole
    EXPECT_FALSE(sender.Cancel());          // nothing left to cancel

    // The next send goes out whole and is what LastSent tells.
    loop.clearSent(0);
    image.SetPotMin(0, 0x0A);
    start();
    source.advance(60'000);
    EXPECT_EQ(joined(sent()), image.Bytes());
    EXPECT_EQ(sender.LastSent(), image.Bytes());
    EXPECT_EQ(finished, 1);
}

TEST_F(PacedSend, ACancelInTheHeaderPauseClosesTheHeaderAndACancelWhenIdleSendsNothing) {
    EXPECT_FALSE(sender.Cancel());
    EXPECT_TRUE(sent().empty());
    ASSERT_TRUE(sender.StartPaced());
    EXPECT_EQ(sender.Cancel(), 6);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}, {0xF7}}));
    EXPECT_FALSE(sender.Running());
    sender.OnTick(); // a tick that was due anyway sends nothing
    EXPECT_EQ(sent().size(), 2u);
}

TEST_F(PacedSend, AnEditMadeDuringTheSendIsInLastSentOnlyWhereItWasNotPassedYet) {
    start();
    source.advance(1000);
    image.SetDataByte(0x010, 0x55);
    image.SetDataByte(0xF00, 0x66);
    source.advance(60'000);
    const Bytes last = sender.LastSent();
    ASSERT_EQ(last.size(), 4103u);
    EXPECT_EQ(last, joined(sent()));
    EXPECT_EQ(last[6 + 0x010], 0x30); // encoder 4's status as it was
    EXPECT_EQ(last[6 + 0xF00], 0x66);
}

TEST_F(PacedSend, StrayTicksOutsideASendSendNothing) {
    sender.OnTick();
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(finished, 0);
}

// On the platform timer, while this thread plays the window: reading the image, offering a
// received dump and asking about the send. The wire must carry the image as it was.
TEST(PacedSendThreads, TheTimerThreadSendsTheImageWhileTheWindowOffersADump) {
    midi::LoopbackService loop;
    loop.addOutput("Box");
    midi::MidiSystem system({&loop});
    midi::TMidiOut out(system);
    out.SetUsing(true);
    midi::TTempoTimer timer;
    timer.SetResolution(1);
    timer.SetTempo(2500); // a tick a millisecond
    model::SettingsImage image;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<int> lastProgress{-1};
    dump::PacedSender sender{image,
                             {[&](const std::uint8_t* d, int n) { out.SysEx(d, n); },
                              [&] { timer.SetEnabled(false); },
                              [&](int left) { lastProgress.store(left); },
                              [&] {
                                  std::lock_guard l(mutex);
                                  finished = true;
                                  done.notify_all();
                              },
                              [&] { out.EndSysEx(); }}};
    timer.OnTimer = [&](midi::TTempoTimer&, std::int8_t) { sender.OnTick(); };

    const Bytes before = image.Bytes();
    const Bytes received = otherDump();
    ASSERT_TRUE(sender.StartPaced());
    timer.SetEnabled(true);
    int held = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (sender.Running() && std::chrono::steady_clock::now() < deadline) {
        if (sender.ApplyReceivedDump(received) == dump::PacedSender::ApplyResult::Held)
            ++held;
        (void)image.Bytes();
        (void)sender.BytesLeft();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    {
        std::unique_lock l(mutex);
        ASSERT_TRUE(done.wait_until(l, deadline, [&] { return finished; }));
    }
    EXPECT_GT(held, 0);
    EXPECT_EQ(lastProgress.load(), 0);
    EXPECT_EQ(joined(loop.sentMessages(0)), before);
    sender.ApplyHeldDump(); // unless the last offer came after the end and went in at once
    EXPECT_EQ(image.Bytes(), received);
}

// A cancel from this thread while the platform timer sends: the F7 comes once, after the last
// piece that went, and nothing follows it.
TEST(PacedSendThreads, ACancelFromTheWindowComesAfterThePieceOnItsWay) {
    midi::LoopbackService loop;
    loop.addOutput("Box");
    midi::MidiSystem system({&loop});
    midi::TMidiOut out(system);
    out.SetUsing(true);
    midi::TTempoTimer timer;
    timer.SetResolution(1);
    timer.SetTempo(2500);
    model::SettingsImage image;
    std::atomic<int> lastProgress{-1};
    dump::PacedSender sender{
        image,
        {[&](const std::uint8_t* d, int n) { out.SysEx(d, n); }, [&] { timer.SetEnabled(false); },
         [&](int left) { lastProgress.store(left); }, [] {}, [&] { out.EndSysEx(); }}};
    timer.OnTimer = [&](midi::TTempoTimer&, std::int8_t) { sender.OnTick(); };
    const Bytes before = image.Bytes();
    ASSERT_TRUE(sender.StartPaced());
    timer.SetEnabled(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (lastProgress.load() < 0 || lastProgress.load() > 3000) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        out.Put(0xB0, 0x07, 0x64);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const auto sentCount = sender.Cancel();
    ASSERT_TRUE(sentCount.has_value());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto pieces = loop.sentMessages(0);
    Bytes sysex;
    std::size_t i = 0;
    for (; i < pieces.size() && pieces[i] != Bytes{0xF7}; ++i)
        if (pieces[i][0] != 0xB0)
            sysex.insert(sysex.end(), pieces[i].begin(), pieces[i].end());
    ASSERT_LT(i, pieces.size()) << "no F7";
    EXPECT_EQ(sysex, Bytes(before.begin(), before.begin() + *sentCount));
    for (++i; i < pieces.size(); ++i)
        EXPECT_EQ(pieces[i], (Bytes{0xB0, 0x07, 0x64}));
    EXPECT_FALSE(sender.Running());
}
