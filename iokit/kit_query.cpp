// The kit's small query and setting operations.
#include <algorithm>

#include "iokit/kit_state.h"

namespace {

using Hold = std::lock_guard<std::recursive_mutex>;

}  // namespace

int KitDeviceCount() {
    Hold hold(Kit().lock);
    return static_cast<int>(Kit().handles.size());
}

KitHandle KitDeviceAt(int position) {
    KitState& kit = Kit();
    Hold hold(kit.lock);
    if (!kit.open || position < 1 || position > static_cast<int>(kit.handles.size())) {
        KitSetLastError(kKitInvalidParameter);
        return 0;
    }
    KitSetLastError(kKitSuccess);
    return kit.handles[position - 1];
}

std::uint16_t KitProductIdOf(KitHandle handle) {
    Hold hold(Kit().lock);
    const DeviceRecord* record = FindRecord(handle);
    if (record == nullptr) {
        KitSetLastError(kKitInvalidParameter);
        return 0;
    }
    KitSetLastError(kKitSuccess);
    return record->pipes[0].attributes.productId;
}

bool KitSerialOf(KitHandle handle, wchar_t serial[9]) {
    Hold hold(Kit().lock);
    const DeviceRecord* record = FindRecord(handle);
    if (record == nullptr || serial == nullptr) {
        KitSetLastError(kKitInvalidParameter);
        return false;
    }
    std::copy(std::begin(record->serial), std::end(record->serial), serial);
    KitSetLastError(kKitSuccess);
    return serial[0] != L'\0';
}

bool KitSetReadTimeout(KitHandle handle, std::uint32_t milliseconds) {
    Hold hold(Kit().lock);
    DeviceRecord* record = FindRecord(handle);
    if (record == nullptr) {
        KitSetLastError(kKitInvalidParameter);
        return false;
    }
    record->readTimeout = milliseconds;
    KitSetLastError(kKitSuccess);
    return true;
}

bool KitInterruptRead(KitHandle handle, int pipe) {
    std::shared_ptr<PipeChannel> channel;
    {
        Hold hold(Kit().lock);
        DeviceRecord* record = FindRecord(handle);
        if (record == nullptr || (pipe != 0 && pipe != 1) || !record->pipes[pipe].channel) {
            KitSetLastError(kKitInvalidParameter);
            return false;
        }
        channel = record->pipes[pipe].channel;
    }
    channel->Interrupt();
    KitSetLastError(kKitSuccess);
    return true;
}

// Takes the kit lock too: the device list changes under it, and no holder of the kit lock
// ever waits for a caller of this function.
bool KitHandleValid(KitHandle handle) {
    Hold hold(Kit().lock);
    return FindRecord(handle) != nullptr;
}

bool KitHoldDevice(KitHandle handle) {
    Hold hold(Kit().lock);
    DeviceRecord* record = FindRecord(handle);
    if (record == nullptr) {
        KitSetLastError(kKitInvalidParameter);
        return false;
    }
    record->handedOut = true;
    KitSetLastError(kKitSuccess);
    return true;
}
