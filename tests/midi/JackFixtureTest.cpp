// The JACK test fixture itself: a private server, two peers exchanging bytes.
#include "JackTestServer.h"

#include <gtest/gtest.h>

using namespace korv::test;

TEST(JackFixture, PeersExchangeBytesOverAPrivateServer) {
    JackTestServer server;
    JackPeer a(server, "a");
    JackPeer b(server, "b");
    ASSERT_TRUE(a.connect(a.outPort(), b.inPort()));
    ASSERT_TRUE(b.waitConnected(b.inPort(), a.outPort()));
    ASSERT_TRUE(a.send({0x90, 60, 100}));
    std::vector<std::uint8_t> big(4103, 0x11);
    big.front() = 0xF0;
    big.back() = 0xF7;
    ASSERT_TRUE(a.send(big));
    ASSERT_TRUE(b.waitForBytes(3 + big.size()));
    const auto events = b.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].bytes, (std::vector<std::uint8_t>{0x90, 60, 100}));
    EXPECT_EQ(events[1].bytes, big);
    EXPECT_LE(events[0].cycle, events[1].cycle);
}
