#include "iokit/receive_queue.h"

#include <algorithm>
#include <cstring>

bool ReceiveQueue::Push(const std::uint8_t* report, std::size_t length) {
    length = std::min(length, kHidMaxReportLength);
    Report& slot = slots[tail];
    std::memcpy(slot.data(), report, length);
    std::fill(slot.begin() + length, slot.end(), 0);
    tail = (tail + 1) % kSlots;
    if (count == kSlots) {
        head = (head + 1) % kSlots;  // the new report took the oldest one's slot
        return false;
    }
    ++count;
    return true;
}

bool ReceiveQueue::Pop(Report& report) {
    if (count == 0) return false;
    report = slots[head];
    head = (head + 1) % kSlots;
    if (--count == 0) head = tail = 0;
    return true;
}
