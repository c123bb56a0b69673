// The key-matrix side of a controller board: one registered callback and the board's
// key-matrix thread, which polls the special-function pipe for key reports and hands every
// new state to the callback.
#include <chrono>
#include <condition_variable>
#include <thread>

#include "board/tarnell_controller.h"
#include "log/log.h"

namespace {

constexpr std::uint8_t kKeyMatrixEnable = 0x18;
constexpr std::uint8_t kKeyMatrixLow = 0x19;   // out: read request; in: key bytes 0..3
constexpr std::uint8_t kKeyMatrixHigh = 0x1A;  // in: key bytes 4..7
constexpr auto kReadTimeout = std::chrono::milliseconds(100);
constexpr auto kPausedSleep = std::chrono::milliseconds(200);
constexpr auto kPauseSettle = std::chrono::milliseconds(100);
constexpr auto kYieldToExchange = std::chrono::milliseconds(1);
constexpr auto kStopCheck = std::chrono::milliseconds(5);

// Sleeps until `until`, or less once `goOn` turns false: a stop must not wait out a pause.
template <typename Condition>
void SleepUntil(std::chrono::steady_clock::time_point until, Condition goOn) {
    while (goOn() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(kStopCheck);
}

}  // namespace

// What the thread copies before it tells its starter that it runs.
struct CTarnellController::KeyMatrixThreadParameters {
    KeyMatrixCallback callback;
    void* context;
    std::string serial;
};

bool CTarnellController::SetKeyMatrixCallback(bool enable, KeyMatrixCallback callback,
                                              void* context) {
    if (enable) {
        if (keyMatrixOn || callback == nullptr) return false;
    } else {
        if (!keyMatrixOn) return false;
        StopKeyMatrixThread();
        // The thread is gone whatever the write does: a later start must not be refused.
        keyMatrixOn = false;
        if (SwitchFunction(kKeyMatrixEnable, false)) return true;
        theLog.Write(2, "MFP", "The key matrix of %s could not be switched off\n", GetSerialNumber(false).c_str());
        return false;
    }
    if (!SwitchFunction(kKeyMatrixEnable, enable)) return false;
    if (enable && !StartKeyMatrixThread(callback, context)) {
        SwitchFunction(kKeyMatrixEnable, false);  // nobody would read its reports
        return false;
    }
    keyMatrixOn = enable;
    return true;
}

void CTarnellController::SetPaused(bool pause) {
    if (!pause) {
        paused = false;
        return;
    }
    // Give a cycle under way the time to end before the caller uses the board.
    if (!paused.exchange(true)) std::this_thread::sleep_for(kPauseSettle);
}

bool CTarnellController::StartKeyMatrixThread(KeyMatrixCallback callback, void* context) {
    // A thread that ended by itself, or was unregistered from inside its own callback, is
    // joined before the next one starts.
    if (keyMatrixThread.joinable()) StopKeyMatrixThread();
    paused = false;
    running = true;
    KeyMatrixThreadParameters parameters{callback, context, GetSerialNumber(false)};
    callback(parameters.serial, nullptr, context);

    // The start handshake: the thread has copied its parameters once it says so. (A promise
    // would leave a platform mutex behind at every start with this toolchain.)
    Mutex handshakeLock;
    std::condition_variable copied;
    bool hasCopied = false;
    const bool startedThread = threads.Start(keyMatrixThread, "Key matrix", [&, this] {
        const KeyMatrixThreadParameters copy = parameters;
        {
            // Told under the lock: the starter, and with it the handshake, is gone once it is free.
            std::lock_guard<std::mutex> hold(handshakeLock);
            hasCopied = true;
            copied.notify_one();
        }
        KeyMatrixThread(copy);
    });
    if (!startedThread) {
        running = false;
        theLog.Write(2, "MFP", "Key matrix thread of %s not started\n", parameters.serial.c_str());
        return false;
    }
    std::unique_lock<std::mutex> hold(handshakeLock);
    copied.wait(hold, [&] { return hasCopied; });
    return true;
}

void CTarnellController::StopKeyMatrixThread() {
    running = false;
    if (!keyMatrixThread.joinable()) return;
    KitInterruptRead(handle, 1);  // a read waiting for a key report ends now, not at its timeout
    // The thread cannot wait for itself; a later stop from another thread joins it.
    if (keyMatrixThread.get_id() == std::this_thread::get_id()) return;
    keyMatrixThread.join();
    paused = false;
}

void CTarnellController::KeyMatrixThread(const KeyMatrixThreadParameters& parameters) {
    std::array<std::uint8_t, 8> keys{};
    bool requestSent = false;
    bool exceptionLogged = false;
    KitSetReadTimeout(handle, static_cast<std::uint32_t>(kReadTimeout.count()));
    while (running) {
        if (paused) {
            SleepUntil(std::chrono::steady_clock::now() + kPausedSleep, [this] { return running && paused; });
            continue;
        }
        const auto cycleStart = std::chrono::steady_clock::now();
        bool read = false;
        try {
            read = PollKeyMatrix(parameters, requestSent, keys);
        } catch (...) {
            // An exception out of one cycle (the callback's) is dropped; the loop goes on. Once
            // is enough for the log: a callback that throws may do so at every cycle.
            if (!exceptionLogged)
                theLog.Write(2, "MFP", "Key matrix cycle of %s stopped by an exception\n",
                             parameters.serial.c_str());
            exceptionLogged = true;
        }
        // A pulled board fails its reads at once rather than after the timeout; keep the
        // loop at its usual pace instead of spinning until the board is closed.
        if (!read) SleepUntil(cycleStart + kReadTimeout, [this] { return running.load(); });
        while (exchangesWaiting > 0 && running) std::this_thread::sleep_for(kYieldToExchange);
    }
}

bool CTarnellController::PollKeyMatrix(const KeyMatrixThreadParameters& parameters,
                                       bool& requestSent, std::array<std::uint8_t, 8>& keys) {
    std::lock_guard<std::recursive_mutex> hold(deviceLock);
    if (!requestSent) {
        // The board answers the request with its state and then reports every change, so
        // the request is sent once; its result does not matter.
        const std::uint8_t request[kReportLength] = {kKeyMatrixLow};
        WriteReport(1, request, kReportLength);
        requestSent = true;
    }
    std::uint8_t report[kReportLength] = {};
    keyReportWait = true;  // an exchange that waits for the lock may end this read (LockForExchange)
    const std::uint32_t read = ReadReport(1, report, kReportLength);
    keyReportWait = false;
    if (read < kReportLength) {
        if (KitGetLastError() == kKitDeviceGone) running = false;
        return false;
    }
    if (report[0] == kKeyMatrixLow) {
        std::copy(report + 1, report + 5, keys.begin());
        if (parameters.callback(parameters.serial, keys.data(), parameters.context) == 0)
            running = false;
    } else if (report[0] == kKeyMatrixHigh) {
        std::copy(report + 1, report + 5, keys.begin() + 4);
    }
    return true;
}
