#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "iokit/receive_queue.h"

namespace {

// Filled, drained by half, then overflowed, so that head and tail wrap: the newest 128 reports
// come out in arrival order, and a short report leaves nothing of the long one its slot held.
TEST(ReceiveQueueTest, KeepsTheNewest128InArrivalOrderAcrossTheWrap) {
    ReceiveQueue queue;
    ReceiveQueue::Report report;
    EXPECT_FALSE(queue.Pop(report));
    int next = 0;
    const auto push = [&] {  // reports 0 to 127 are 64 bytes of 0xEE, later ones 3 bytes
        std::uint8_t bytes[64];
        std::fill(std::begin(bytes), std::end(bytes), 0xEE);
        bytes[0] = 0x19;
        bytes[1] = static_cast<std::uint8_t>(next);
        bytes[2] = static_cast<std::uint8_t>(next >> 8);
        return queue.Push(bytes, next++ < 128 ? 64 : 3);
    };
    for (int i = 0; i < 128; ++i) EXPECT_TRUE(push());
    EXPECT_FALSE(push()) << "the oldest is dropped";
    int expected = 1;
    for (int i = 0; i < 64; ++i) {
        ASSERT_TRUE(queue.Pop(report));
        EXPECT_EQ(report[1] | report[2] << 8, expected++);
    }
    for (int i = 0; i < 100; ++i) push();
    EXPECT_EQ(queue.Count(), 128);
    for (expected = next - 128; queue.Pop(report); ++expected) {
        EXPECT_EQ(report[3], expected < 128 ? 0xEE : 0) << "the rest of a slot is cleared";
        EXPECT_EQ(report[1] | report[2] << 8, expected);
    }
    EXPECT_EQ(expected, next);
    EXPECT_EQ(queue.Count(), 0);
}

}  // namespace
