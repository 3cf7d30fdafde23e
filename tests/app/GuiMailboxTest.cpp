// Work posted from other threads runs on the GUI thread, in the order each thread posted it.
#include "GuiMailbox.h"

#include "WindowDriver.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using korv::app::GuiMailbox;

TEST(GuiMailbox, WorkFromOtherThreadsRunsOnTheGuiThreadInPostingOrder) {
    GuiMailbox mailbox;
    std::vector<int> ran; // touched on the GUI thread only
    bool allOnGuiThread = true;
    const auto post = [&](int first) {
        for (int i = first; i < first + 500; ++i)
            mailbox.Post([&, i] {
                allOnGuiThread &= QThread::currentThread() == qApp->thread();
                ran.push_back(i);
            });
    };
    std::thread a(post, 0), b(post, 1000);
    a.join();
    b.join();
    ASSERT_TRUE(korv::test::WindowDriver::waitUntil([&] { return ran.size() == 1000; }));
    EXPECT_TRUE(allOnGuiThread);
    std::vector<int> fromA, fromB;
    for (int i : ran)
        (i < 1000 ? fromA : fromB).push_back(i);
    ASSERT_EQ(fromA.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(fromA[i], i);
        EXPECT_EQ(fromB[i], 1000 + i);
    }
}

TEST(GuiMailbox, WorkStillWaitingWhenTheMailboxGoesIsDropped) {
    bool ran = false;
    {
        GuiMailbox mailbox;
        std::thread([&] { mailbox.Post([&] { ran = true; }); }).join();
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

TEST(GuiMailbox, AnEmptiedMailboxLetsTheGuiThreadSleep) {
    GuiMailbox mailbox;
    auto* wake = mailbox.findChild<QSocketNotifier*>();
    ASSERT_NE(wake, nullptr);
    int wakeUps = 0;
    QObject::connect(wake, &QSocketNotifier::activated, [&] { ++wakeUps; });
    bool ran = false;
    std::thread([&] { mailbox.Post([&] { ran = true; }); }).join();
    ASSERT_TRUE(korv::test::WindowDriver::waitUntil([&] { return ran; }));
    wakeUps = 0;
    QTest::qWait(50);
    EXPECT_EQ(wakeUps, 0);
}
