// The IO-Warrior I/O kit: finds the supported boards among the HID interfaces, opens both
// interfaces of each, keeps one read pending on every interface and hands the board layer up
// to 16 device handles with reads and writes of whole reports.
//
// The kit is the process's one I/O state. Tell it which HID backend to use (KitUseBackend)
// before KitOpenAll. Every operation may be called from any thread; the kit lock serialises
// them. One pipe must not be read from two threads at once (the board layer's per-board lock
// guarantees it). Writes may run on several threads at once.
//
// Errors: every operation that says so sets the calling thread's kit error code, read with
// KitGetLastError: 0 success, 55 device no longer exists, 87 invalid parameter, 1460 timeout.
// The code is the kit's own thread-local value rather than the platform's last-error value,
// so the portable layers read the same thing on every platform and the platform calls the
// backend makes cannot overwrite it.
#pragma once

#include <cstdint>

class HidBackend;
struct HidDeviceFilter;
class ThreadStarter;

// The identity of one opened device; 0 is no handle. Handles are never reused, so a handle
// from before KitCloseAll stays invalid after the next KitOpenAll.
using KitHandle = std::uint32_t;

constexpr std::uint32_t kKitSuccess = 0;
constexpr std::uint32_t kKitDeviceGone = 55;
constexpr std::uint32_t kKitInvalidParameter = 87;
constexpr std::uint32_t kKitTimeout = 1460;

// Read timeouts of this value wait without limit (the initial setting).
constexpr std::uint32_t kKitNoTimeout = 0xFFFFFFFF;
// How long a write waits for the device to take its report: a board that stays plugged in but
// takes nothing must not hold its writer, the simulator's window thread among them, for longer.
constexpr std::uint32_t kKitWriteTimeoutMs = 1000;

// At most this many devices are handed out; further devices are opened but not listed.
constexpr int kKitMaxHandles = 16;

// Selects the HID backend for the next KitOpenAll; the backend must outlive the kit's use of
// it (until KitCloseAll). Call only while the kit is closed.
void KitUseBackend(HidBackend& backend);
// Selects how the kit starts its reader threads (the standard starter until told otherwise);
// the starter must outlive the kit's use of it. Call only while the kit is closed. A device
// whose reader thread cannot be started is not opened, as any other device that fails to open.
void KitUseThreadStarter(ThreadStarter& starter);

std::uint32_t KitGetLastError();
void KitSetLastError(std::uint32_t code);

// The devices KitOpenAll opens: any of the vendor ids with any of the product ids.
const HidDeviceFilter& KitSupportedDevices();
// Opens every supported device and returns the first handle of the list (0: none opened).
KitHandle KitOpenAll();
// Closes every device, stops every reader thread, wakes every waiting read and empties the
// handle list. The handle is ignored.
void KitCloseAll(KitHandle ignored = 0);

int KitDeviceCount();
// Position 1..KitDeviceCount(); 0 with error 87 outside that range or while the kit is closed.
KitHandle KitDeviceAt(int position);

// Pipe 0's product id; 0 with error 87 for an unknown handle.
std::uint16_t KitProductIdOf(KitHandle handle);
// Copies the 8-character serial and its terminating zero; true when it is not empty.
bool KitSerialOf(KitHandle handle, wchar_t serial[9]);
bool KitSetReadTimeout(KitHandle handle, std::uint32_t milliseconds);
// Ends the reads of the pipe that wait now, at once, as timed out: for a thread that is being
// stopped while it reads. A read that begins later waits as usual.
bool KitInterruptRead(KitHandle handle, int pipe);
// The handle names an opened device (a pulled-out device stays valid until KitCloseAll).
bool KitHandleValid(KitHandle handle);
// Marks the device as held by the board layer; reads and writes refuse devices not held.
bool KitHoldDevice(KitHandle handle);

// Writes length / (output report length) whole reports of the pipe (0 I/O port, 1 special
// function), each waiting for completion; stops at the first that fails. Returns the bytes
// written; 0 on any failure.
std::uint32_t KitWritePipe(KitHandle handle, int pipe, const void* bytes, std::uint32_t length);
// Reads up to length / (input report length) whole reports, oldest first, each waiting up to
// the read timeout when none is queued; stops at the first that does not come. Returns the
// bytes read; 0 on any failure.
std::uint32_t KitReadPipe(KitHandle handle, int pipe, void* buffer, std::uint32_t length);
