// Kit start-up and shut-down: enumeration, grouping of a chip's interfaces, opening and closing.
#include <algorithm>

#include "iokit/kit_state.h"

// Any listed vendor with any listed product: the pairs are not tied.
const HidDeviceFilter& KitSupportedDevices() {
    static const HidDeviceFilter supported{{0x1FD1, 0x07C0}, {0x03E8, 0x03EA, 0x1583}};
    return supported;
}

namespace {

thread_local std::uint32_t lastError = kKitSuccess;

// The interface whose output report is report ID + 4 port bytes is the I/O port pipe.
int PipeOf(const HidCapabilities& caps) { return caps.outputReportByteLength == 5 ? 0 : 1; }

// A device without a serial string answers the serial request with its language list.
void StoreSerial(const HidInterfaceInfo& info, DeviceRecord& record) {
    std::fill(std::begin(record.serial), std::end(record.serial), L'\0');
    if (!info.hasSerial || info.serial == info.languageList) return;
    for (int i = 0; i < 8; ++i) record.serial[i] = static_cast<wchar_t>(info.serial[i]);
}

// The supported chips among the present interfaces, newest first; only chips of which
// exactly two interfaces were found.
std::list<std::unique_ptr<DeviceRecord>> EnumerateInterfaces(HidBackend& backend) {
    std::list<std::unique_ptr<DeviceRecord>> records;
    for (const HidInterfaceInfo& info : backend.EnumerateInterfaces(KitSupportedDevices())) {
        if (!KitSupportedDevices().Accepts(info.attributes)) continue;  // whatever the backend did
        auto sameChip = [&](const std::unique_ptr<DeviceRecord>& r) {
            return r->physicalDevice == info.physicalDevice;
        };
        auto found = std::find_if(records.begin(), records.end(), sameChip);
        if (found == records.end()) {
            records.push_front(std::make_unique<DeviceRecord>());
            found = records.begin();
            (*found)->physicalDevice = info.physicalDevice;
        }
        DeviceRecord& record = **found;
        record.interfaceCount += 1;
        PipeState& pipe = record.pipes[PipeOf(info.caps)];
        pipe.attributes = info.attributes;
        pipe.caps = info.caps;
        pipe.path = info.path;
        StoreSerial(info, record);
    }
    records.remove_if([](const std::unique_ptr<DeviceRecord>& r) { return r->interfaceCount != 2; });
    return records;
}

void CloseDevice(DeviceRecord& record) {
    for (PipeState& pipe : record.pipes) ClosePipe(pipe);
}

// The board layer's arrival callback: hands out the first 16 devices.
void OnDeviceArrived(std::uint32_t event, KitHandle handle, std::uintptr_t /*user*/) {
    KitState& kit = Kit();
    if (event != kDeviceArrived || static_cast<int>(kit.handles.size()) >= kKitMaxHandles) return;
    if (KitHoldDevice(handle)) kit.handles.push_back(handle);
}

// Opens every enumerated chip, announces it and moves it to the front of the device list.
void ScanDevices(DeviceArrivedCallback arrived, std::uintptr_t user) {
    KitState& kit = Kit();
    std::lock_guard<std::recursive_mutex> hold(kit.lock);
    for (auto& record : EnumerateInterfaces(*kit.backend)) {
        bool opened = true;
        for (PipeState& pipe : record->pipes) opened = opened && OpenPipe(*kit.backend, *kit.threads, pipe);
        if (!opened) {
            CloseDevice(*record);
            continue;
        }
        record->handle = kit.nextHandle++;
        if (kit.nextHandle == 0) kit.nextHandle = 1;
        const KitHandle handle = record->handle;
        kit.devices.push_front(std::move(record));
        arrived(kDeviceArrived, handle, user);
    }
    arrived(kScanEnded, 0, user);
}

void Shutdown() {
    KitState& kit = Kit();
    std::lock_guard<std::recursive_mutex> hold(kit.lock);
    // The closing event: every read waiting on any pipe leaves at once.
    for (auto& record : kit.devices) {
        for (PipeState& pipe : record->pipes) {
            if (pipe.channel) pipe.channel->SignalClosing();
        }
    }
    for (auto& record : kit.devices) CloseDevice(*record);
    kit.devices.clear();
    if (kit.backendLoaded) kit.backend->Unload();
    kit.backendLoaded = false;
    kit.open = false;
    lastError = kKitSuccess;
}

}  // namespace

// Never destroyed: at the end of a process its reader threads may still be open records, and
// destroying a running std::thread ends the process with an error of its own.
KitState& Kit() {
    static KitState& kit = *new KitState;
    return kit;
}

DeviceRecord* FindRecord(KitHandle handle) {
    if (handle == 0) return nullptr;
    for (auto& record : Kit().devices) {
        if (record->handle == handle) return record.get();
    }
    return nullptr;
}

std::uint32_t KitGetLastError() { return lastError; }
void KitSetLastError(std::uint32_t code) { lastError = code; }

void KitUseBackend(HidBackend& backend) {
    KitState& kit = Kit();
    std::lock_guard<std::recursive_mutex> hold(kit.lock);
    kit.backend = &backend;
}

void KitUseThreadStarter(ThreadStarter& starter) {
    KitState& kit = Kit();
    std::lock_guard<std::recursive_mutex> hold(kit.lock);
    kit.threads = &starter;
}

KitHandle KitOpenAll() {
    KitState& kit = Kit();
    std::lock_guard<std::recursive_mutex> hold(kit.lock);
    Shutdown();
    // Nothing of an earlier open survives, not even its handle list.
    kit.handles.clear();
    if (kit.backend == nullptr) {
        lastError = kKitInvalidParameter;
        return 0;
    }
    std::uint32_t error = 0;
    if (!kit.backend->Load(error)) {
        KitCloseAll();
        lastError = error;  // the platform's reason, for the caller's log
        return 0;
    }
    kit.backendLoaded = true;
    kit.open = true;
    ScanDevices(OnDeviceArrived, 0);
    lastError = kKitSuccess;
    return kit.handles.empty() ? 0 : kit.handles.front();
}

void KitCloseAll(KitHandle /*ignored*/) {
    KitState& kit = Kit();
    std::lock_guard<std::recursive_mutex> hold(kit.lock);
    Shutdown();
    kit.handles.clear();
}
