// The hand-over of incoming short messages to the window: in order, at most a set number
// waiting, the rest dropped and told once the window has caught up; and with a real MIDI thread.
#include "ShortMessageInbox.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using korv::surface::ShortMessageInbox;

namespace {

using Message = std::vector<int>;

// Work posted to a window that runs it only when told to.
struct Window {
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> work;

    void Post(std::function<void()> w) {
        {
            std::lock_guard l(mutex);
            work.push_back(std::move(w));
        }
        posted.notify_one();
    }
    std::size_t waiting() {
        std::lock_guard l(mutex);
        return work.size();
    }
    // Runs what waits, and what that posts, until nothing waits.
    void runAll() {
        for (;;) {
            std::function<void()> w;
            {
                std::lock_guard l(mutex);
                if (work.empty())
                    return;
                w = std::move(work.front());
                work.pop_front();
            }
            w();
        }
    }
};

struct InboxTest : ::testing::Test {
    InboxTest()
        : inbox([this](std::function<void()> w) { window.Post(std::move(w)); },
                [this](std::uint8_t s, std::uint8_t f, std::uint8_t v) {
                    handled.push_back({s, f, v});
                },
                3) {
        inbox.OnDropped = [this](std::uint64_t n) { told.push_back(n); };
    }
    Window window;
    std::vector<Message> handled;
    std::vector<std::uint64_t> told;
    ShortMessageInbox inbox;
};

TEST_F(InboxTest, KeepsTheOrderAndDropsWhatComesWhileTheWindowIsBehind) {
    for (int i = 0; i < 5; ++i)
        inbox.Receive(0xB0, static_cast<std::uint8_t>(i), 0x40);
    // Three messages and one notice wait, however many more arrive.
    for (int i = 5; i < 100; ++i)
        inbox.Receive(0xB0, static_cast<std::uint8_t>(i), 0x40);
    EXPECT_EQ(window.waiting(), 4U);
    EXPECT_EQ(inbox.Dropped(), 97U);
    window.runAll();
    EXPECT_EQ(handled, (std::vector<Message>{{0xB0, 0, 0x40}, {0xB0, 1, 0x40}, {0xB0, 2, 0x40}}));
    EXPECT_EQ(told, (std::vector<std::uint64_t>{97}));

    // Caught up: room for three again, and the next drops are told with the total.
    handled.clear();
    for (int i = 0; i < 4; ++i)
        inbox.Receive(0x90, 0x3C, static_cast<std::uint8_t>(i));
    window.runAll();
    EXPECT_EQ(handled, (std::vector<Message>{{0x90, 0x3C, 0}, {0x90, 0x3C, 1}, {0x90, 0x3C, 2}}));
    EXPECT_EQ(told, (std::vector<std::uint64_t>{97, 98}));

    // Without drops nothing is told.
    inbox.Receive(0x90, 0x3C, 0x7F);
    window.runAll();
    EXPECT_EQ(told.size(), 2U);
    EXPECT_EQ(handled.back(), (Message{0x90, 0x3C, 0x7F}));
}

TEST_F(InboxTest, AMidiThreadNeverWaitsAndEveryMessageIsHandledOrCounted) {
    // Message i carries i in its two data bytes.
    constexpr int Count = 16000;
    std::thread midi([this] {
        for (int i = 0; i < Count; ++i)
            inbox.Receive(0xB0, static_cast<std::uint8_t>(i % 128),
                          static_cast<std::uint8_t>(i / 128));
    });
    // The window works while the messages come, at its own pace.
    while (handled.size() + inbox.Dropped() < Count || window.waiting() > 0) {
        {
            std::unique_lock l(window.mutex);
            window.posted.wait_for(l, std::chrono::milliseconds(1));
        }
        window.runAll();
        ASSERT_LE(window.waiting(), 4U);
    }
    midi.join();
    window.runAll();
    EXPECT_EQ(handled.size() + inbox.Dropped(), static_cast<std::uint64_t>(Count));
    for (std::size_t i = 1; i < handled.size(); ++i) {
        const int before = handled[i - 1][1] + 128 * handled[i - 1][2];
        ASSERT_LT(before, handled[i][1] + 128 * handled[i][2]) << "out of order at " << i;
    }
    if (inbox.Dropped() > 0) {
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.back(), inbox.Dropped());
    }
}

} // namespace
