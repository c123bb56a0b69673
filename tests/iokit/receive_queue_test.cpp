#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "iokit/receive_queue.h"

namespace {

TEST(ReceiveQueueTest, KeepsTheNewest128InArrivalOrderAcrossTheWrap) {
    ReceiveQueue queue;
    ReceiveQueue::Report report;
    EXPECT_FALSE(queue.Pop(report));
    // Fill, drain half, then overflow so that head and tail wrap.
    int next = 0, expected = 0;
    // The first 128 reports are long (filled with 0xEE), the later ones 3 bytes.
    auto push = [&] {
        std::uint8_t bytes[64];
        std::fill(std::begin(bytes), std::end(bytes), 0xEE);
        bytes[0] = 0x19;
        bytes[1] = static_cast<std::uint8_t>(next);
        bytes[2] = static_cast<std::uint8_t>(next >> 8);
        const bool kept = queue.Push(bytes, next < 128 ? 64 : 3);
        ++next;
        return kept;
    };
    for (int i = 0; i < 128; ++i) EXPECT_TRUE(push());
    EXPECT_FALSE(push()) << "the oldest is dropped";
    expected = 1;
    for (int i = 0; i < 64; ++i) {
        ASSERT_TRUE(queue.Pop(report));
        EXPECT_EQ(report[1] | report[2] << 8, expected++);
    }
    for (int i = 0; i < 100; ++i) push();
    expected = next - 128;
    EXPECT_EQ(queue.Count(), 128);
    while (queue.Pop(report)) {
        EXPECT_EQ(report[3], expected < 128 ? 0xEE : 0) << "the rest of a slot is cleared";
        EXPECT_EQ(report[1] | report[2] << 8, expected++);
    }
    EXPECT_EQ(expected, next);
    EXPECT_EQ(queue.Count(), 0);
}

}  // namespace
