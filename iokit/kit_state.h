// The kit's state: the device records, the handle list and the kit lock. Internal to the kit.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "iokit/iokit.h"
#include "iokit/pipe_channel.h"
#include "os/hid.h"
#include "os/thread_starter.h"

// One HID interface of a device.
struct PipeState {
    std::string path;
    HidAttributes attributes;
    HidCapabilities caps;
    std::unique_ptr<HidReadStream> reader;  // driven by readerThread only
    std::shared_ptr<HidWriteStream> writer;  // shared with writes in progress
    std::shared_ptr<PipeChannel> channel;    // shared with reads in progress
    std::thread readerThread;                // not joinable = pipe not running
};

// One physical chip with its two interfaces: pipe 0 the I/O port interface, pipe 1 the
// special-function interface.
struct DeviceRecord {
    KitHandle handle = 0;
    bool handedOut = false;
    std::uint32_t readTimeout = kKitNoTimeout;
    std::uint32_t writeTimeout = kKitWriteTimeoutMs;
    int interfaceCount = 0;
    std::uint64_t physicalDevice = 0;
    wchar_t serial[9] = {};
    PipeState pipes[2];
};

using DeviceArrivedCallback = void (*)(std::uint32_t event, KitHandle handle, std::uintptr_t user);
constexpr std::uint32_t kDeviceArrived = 0;
constexpr std::uint32_t kScanEnded = 0xFF;

struct KitState {
    // Re-entrant: the arrival callback runs under it and calls KitHoldDevice.
    std::recursive_mutex lock;
    std::list<std::unique_ptr<DeviceRecord>> devices;  // newest first
    std::vector<KitHandle> handles;                     // handed to the board layer
    bool open = false;
    HidBackend* backend = nullptr;
    ThreadStarter* threads = &StandardThreadStarter();
    bool backendLoaded = false;
    KitHandle nextHandle = 1;
};

KitState& Kit();
// The open record of a handle, or null. Call with the kit lock held.
DeviceRecord* FindRecord(KitHandle handle);

// Pipe set-up and tear-down (pipe_reader.cpp). OpenPipe starts the reader thread (false, the
// pipe closed again, when it cannot); ClosePipe stops and joins it and lets go of the streams.
bool OpenPipe(HidBackend& backend, ThreadStarter& threads, PipeState& pipe);
void ClosePipe(PipeState& pipe);
