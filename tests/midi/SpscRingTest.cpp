// The lock-free ring between JACK's process callback and the service threads.
#include "SpscRing.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using korv::midi::SpscRing;

TEST(SpscRing, MessagesAreWhollyWrittenOrNotAtAllAndWrapAround) {
    SpscRing ring(16);
    const std::uint8_t a[6] = {1, 2, 3, 4, 5, 6}, b[6] = {7, 8, 9, 10, 11, 12};
    std::uint8_t out[12] = {};
    for (int round = 0; round < 10; ++round) { // wraps the 16-byte buffer several times
        ASSERT_TRUE(ring.write(a, 6, b, 6));
        EXPECT_FALSE(ring.write(a, 6)); // 4 bytes left: refused, nothing written
        EXPECT_EQ(ring.readSpace(), 12u);
        ASSERT_TRUE(ring.read(out, 12));
        EXPECT_EQ(std::vector<std::uint8_t>(out, out + 12),
                  (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    }
    EXPECT_FALSE(ring.peek(out, 1));
}

TEST(SpscRing, ConsumerSeesEveryMessageInOrderUnderLoad) {
    SpscRing ring(256);
    constexpr std::uint32_t count = 100000;
    std::thread producer([&] {
        for (std::uint32_t i = 0; i < count;) {
            const std::uint32_t len = 1 + i % 13;
            std::uint8_t body[13];
            for (std::uint32_t k = 0; k < len; ++k)
                body[k] = static_cast<std::uint8_t>(i + k);
            if (ring.write(&len, sizeof len, body, len))
                ++i;
            else
                std::this_thread::yield();
        }
    });
    std::uint32_t next = 0;
    while (next < count) {
        std::uint32_t len = 0;
        if (!ring.peek(&len, sizeof len)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(len, 1 + next % 13);
        ASSERT_GE(ring.readSpace(), sizeof len + len);
        ring.skip(sizeof len);
        std::uint8_t body[13];
        ring.read(body, len);
        for (std::uint32_t k = 0; k < len; ++k)
            ASSERT_EQ(body[k], static_cast<std::uint8_t>(next + k));
        ++next;
    }
    producer.join();
}
