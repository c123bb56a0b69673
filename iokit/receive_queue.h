// The receive queue of one pipe: the newest 128 input reports, oldest first.
// Not synchronised itself; its pipe's queue lock guards it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "os/hid.h"

class ReceiveQueue {
public:
    static constexpr int kSlots = 128;
    using Report = std::array<std::uint8_t, kHidMaxReportLength>;

    // Queues a report of up to 64 bytes (the rest of its slot is cleared). When the queue is
    // full the oldest report is dropped and the result is false.
    bool Push(const std::uint8_t* report, std::size_t length);
    // Takes the oldest report; false when the queue is empty.
    bool Pop(Report& report);
    int Count() const { return count; }

private:
    std::array<Report, kSlots> slots{};
    int head = 0;  // the oldest report
    int tail = 0;  // the next free slot
    int count = 0;
};
