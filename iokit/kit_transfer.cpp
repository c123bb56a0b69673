// KitReadPipe and KitWritePipe: whole reports from the receive queues and to the interfaces.
//
// Lock order: a pipe's read lock, then the kit lock, then the pipe's queue lock. A read takes
// its pipe's read lock before the kit lock, so that a second reader of the same pipe waits for
// the first without holding the kit lock (it could otherwise keep the first from finishing).
// Neither a waiting read nor a waiting write holds the kit lock.
#include <cstring>

#include "iokit/kit_state.h"

namespace {

using KitLock = std::unique_lock<std::recursive_mutex>;

bool ValidPipe(int pipe) { return pipe == 0 || pipe == 1; }

// The record a transfer may use (in the device list and handed out), or null with error 87.
// Call with the kit lock held.
DeviceRecord* TransferRecord(KitHandle handle, int pipe) {
    DeviceRecord* record = FindRecord(handle);
    if (record == nullptr || !record->handedOut || !ValidPipe(pipe)) {
        KitSetLastError(kKitInvalidParameter);
        return nullptr;
    }
    return record;
}

bool Fail(std::uint32_t error) {
    KitSetLastError(error);
    return false;
}

// Takes the oldest report of the pipe, waiting up to the read timeout when none is queued.
bool ReadOneReport(KitHandle handle, int pipe, ReceiveQueue::Report& report) {
    KitState& kit = Kit();
    KitLock kitLock(kit.lock);
    DeviceRecord* record = TransferRecord(handle, pipe);
    if (record == nullptr || !record->pipes[pipe].channel) return Fail(kKitInvalidParameter);
    const std::shared_ptr<PipeChannel> channel = record->pipes[pipe].channel;
    kitLock.unlock();

    std::lock_guard<std::mutex> readLock(channel->readLock);
    kitLock.lock();
    record = FindRecord(handle);
    if (record == nullptr) return Fail(kKitTimeout);
    if (channel->ResetAndPop(report)) {
        KitSetLastError(kKitSuccess);
        return true;
    }
    if (!record->handedOut || channel->Ended()) return Fail(kKitTimeout);
    const std::uint32_t timeout = record->readTimeout;
    kitLock.unlock();

    const PipeChannel::Wake wake = channel->WaitForSignal(timeout);
    // Closing: leave at once; the shut-down owns the kit lock and is freeing the record.
    if (wake != PipeChannel::Wake::Data) return Fail(kKitTimeout);
    kitLock.lock();
    if (FindRecord(handle) == nullptr || !channel->ResetAndPop(report)) return Fail(kKitTimeout);
    KitSetLastError(kKitSuccess);
    return true;
}

// Sends one report and waits for its completion without holding the kit lock.
bool WriteOneReport(KitHandle handle, int pipe, const std::uint8_t* report) {
    KitState& kit = Kit();
    KitLock kitLock(kit.lock);
    DeviceRecord* record = TransferRecord(handle, pipe);
    if (record == nullptr || !record->pipes[pipe].writer) return Fail(kKitInvalidParameter);
    const std::shared_ptr<HidWriteStream> writer = record->pipes[pipe].writer;
    const std::size_t length = record->pipes[pipe].caps.outputReportByteLength;
    const std::uint32_t timeout = record->writeTimeout;
    kitLock.unlock();

    const HidWriteResult result = writer->Write(report, length, timeout);
    if (result == HidWriteResult::NotStarted) return Fail(kKitInvalidParameter);
    kitLock.lock();
    if (FindRecord(handle) == nullptr) return Fail(kKitTimeout);
    switch (result) {
    case HidWriteResult::Written:
        KitSetLastError(kKitSuccess);
        return true;
    case HidWriteResult::TimedOut:
        return Fail(kKitTimeout);
    default:
        // The device refused a report it had accepted to send: it is going away.
        return Fail(kKitDeviceGone);
    }
}

// The report length of a transfer, or 0 with error 87 when the transfer is refused.
std::size_t ReportLength(KitHandle handle, int pipe, const void* data, std::uint32_t length,
                         bool input) {
    KitLock kitLock(Kit().lock);
    const DeviceRecord* record = TransferRecord(handle, pipe);
    if (record == nullptr) return 0;
    if (data == nullptr && length != 0) {
        KitSetLastError(kKitInvalidParameter);
        return 0;
    }
    const HidCapabilities& caps = record->pipes[pipe].caps;
    KitSetLastError(kKitSuccess);
    return input ? caps.inputReportByteLength : caps.outputReportByteLength;
}

}  // namespace

std::uint32_t KitReadPipe(KitHandle handle, int pipe, void* buffer, std::uint32_t length) {
    const std::size_t n = ReportLength(handle, pipe, buffer, length, true);
    if (n == 0 || n > length || n > kHidMaxReportLength) return 0;
    std::uint32_t total = 0;
    ReceiveQueue::Report report;
    while (total + n <= length && ReadOneReport(handle, pipe, report)) {
        std::memcpy(static_cast<std::uint8_t*>(buffer) + total, report.data(), n);
        total += static_cast<std::uint32_t>(n);
    }
    return total;
}

std::uint32_t KitWritePipe(KitHandle handle, int pipe, const void* bytes, std::uint32_t length) {
    const std::size_t n = ReportLength(handle, pipe, bytes, length, false);
    if (n == 0 || n > length) return 0;
    std::uint32_t total = 0;
    while (total + n <= length &&
           WriteOneReport(handle, pipe, static_cast<const std::uint8_t*>(bytes) + total)) {
        total += static_cast<std::uint32_t>(n);
    }
    return total;
}
