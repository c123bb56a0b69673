// The HID seam: what the I/O kit needs of the platform's USB HID services.
//
// A backend enumerates the present HID interfaces the kit wants with what the kit needs to know
// of each (attributes, report lengths, serial string, the USB device it belongs to) and opens
// an interface for reading or for writing. The kit does everything else itself: grouping a
// chip's two interfaces, the reader threads and the receive queues.
//
// Two backends exist: the platform's own (Windows: hid.dll, setupapi.dll, cfgmgr32.dll) and
// the simulated boards of os/sim_board.h, used by the tests, the tools and the panel simulator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Largest report the kit handles, report ID byte included.
constexpr std::size_t kHidMaxReportLength = 64;

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

// The devices the kit wants: any of the vendor ids together with any of the product ids.
struct HidDeviceFilter {
    std::vector<std::uint16_t> vendorIds;
    std::vector<std::uint16_t> productIds;

    bool Accepts(const HidAttributes& attributes) const {
        const auto listed = [](const std::vector<std::uint16_t>& ids, std::uint16_t id) {
            for (std::uint16_t listedId : ids)
                if (listedId == id) return true;
            return false;
        };
        return listed(vendorIds, attributes.vendorId) && listed(productIds, attributes.productId);
    }
};

// Both lengths include the report ID byte.
struct HidCapabilities {
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
};

// Serial and string descriptors travel as the 9 UTF-16 units (18 bytes) the kit compares.
using HidSerialText = std::array<char16_t, 9>;

// One HID interface that could be opened and queried.
struct HidInterfaceInfo {
    std::string path;
    // The USB device the interface belongs to (Windows: the grandparent of the interface's
    // device node). The two interfaces of one chip share it; no two chips do.
    std::uint64_t physicalDevice = 0;
    HidAttributes attributes;
    HidCapabilities caps;
    // The serial string as the device answered it; hasSerial is false when it did not.
    bool hasSerial = false;
    HidSerialText serial{};
    // The first 9 units of string descriptor 0 (the language list). A device without a serial
    // string answers the serial request with its language list; the kit compares the two.
    HidSerialText languageList{};
};

enum class HidReadResult {
    Completed,  // the pending read finished; the byte count says how much came (0 = empty)
    Failed,     // the read ended with an error or could not be started; nothing is pending
    TimedOut,   // the read is still pending
    Stopped,    // RequestStop was called; the read (if any) is still pending: cancel it
};

// One interface opened for reading, driven by exactly one reader thread, which keeps one read
// pending at a time. Only RequestStop may be called from other threads.
class HidReadStream {
public:
    virtual ~HidReadStream() = default;
    // Starts one read of a whole input report into buffer, which must stay valid until the
    // read completes, fails or is cancelled. False when it cannot be started (device gone).
    virtual bool StartRead(std::uint8_t* buffer, std::size_t length) = 0;
    // Waits up to timeoutMs for the pending read to end or for a stop request. With no read
    // pending it waits for the stop request alone (TimedOut when none came).
    virtual HidReadResult WaitForRead(std::uint32_t timeoutMs, std::size_t& bytesRead) = 0;
    // Cancels the pending read, if any, and waits until the platform has let go of its buffer.
    virtual void CancelRead() = 0;
    // Any thread: makes the current and every later WaitForRead return Stopped.
    virtual void RequestStop() = 0;
};

enum class HidWriteResult {
    Written,     // the whole report was sent
    NotStarted,  // the write could not be started (device gone, bad length)
    Failed,      // the write ended with an error
    TimedOut,    // not completed within the timeout; it was cancelled
};

// One interface opened for writing. Several threads may write at once.
class HidWriteStream {
public:
    virtual ~HidWriteStream() = default;
    // Sends one output report and waits up to timeoutMs (0xFFFFFFFF = without limit).
    virtual HidWriteResult Write(const std::uint8_t* report, std::size_t length,
                                 std::uint32_t timeoutMs) = 0;
};

// Timeouts of 0xFFFFFFFF mean "without limit" throughout the seam and the kit.
constexpr std::uint32_t kHidWaitForever = 0xFFFFFFFF;

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Makes the platform's HID services available. False, with the platform's error code,
    // when they cannot be had. Unload undoes it; both are called with the kit lock held.
    virtual bool Load(std::uint32_t& errorCode) = 0;
    virtual void Unload() = 0;
    // Every present HID interface that could be opened and queried and that the filter accepts,
    // in the platform's order. An interface's attributes are read first: of any other device
    // (keyboards, mice, yokes) nothing more is asked, neither capabilities nor strings.
    virtual std::vector<HidInterfaceInfo> EnumerateInterfaces(const HidDeviceFilter& wanted) = 0;
    // Opens an enumerated interface; null when it cannot be opened. The read stream asks the
    // platform to buffer 128 input reports.
    virtual std::unique_ptr<HidReadStream> OpenForReading(const std::string& path) = 0;
    virtual std::shared_ptr<HidWriteStream> OpenForWriting(const std::string& path) = 0;
};

// The platform's own HID services; defined only in the Windows builds.
HidBackend& PlatformHidBackend();
