// The panel set's run flag: set by LoadMFPs, cleared by UnloadMFPs (only on the host's thread,
// only from true to false while workers live), read by every worker's update thread. The
// pauses between output passes sleep on it, so that clearing the flag wakes them at once, and so
// does Wake, for one who wants a pass now.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <mutex>

class RunFlag {
public:
    bool IsSet() const { return set.load(std::memory_order_acquire); }
    void Set() {
        std::lock_guard<std::mutex> guard(lock);
        set.store(true, std::memory_order_release);
    }
    void Clear() {
        {
            std::lock_guard<std::mutex> guard(lock);
            set.store(false, std::memory_order_release);
        }
        cleared.notify_all();
    }
    // While the configuration dialog is open, the panels do not read a changed configuration
    // file: its Save reloads them, and the file's other changes wait until it closes.
    void HoldFileReloads(bool hold) { fileReloadsHeld.store(hold, std::memory_order_release); }
    bool FileReloadsHeld() const { return fileReloadsHeld.load(std::memory_order_acquire); }

    // Ends every pause under way, and the next pause of each sleeper that has not seen it yet.
    void Wake() const {
        {
            std::lock_guard<std::mutex> guard(lock);
            ++wakes;
        }
        cleared.notify_all();
    }
    uint64_t Wakes() const {
        std::lock_guard<std::mutex> guard(lock);
        return wakes;
    }
    // Sleeps for the duration, or less once the flag is cleared or a Wake comes that the sleeper
    // has not seen (seenWakes, which the sleep brings up to date).
    void SleepWhileSet(std::chrono::milliseconds duration, uint64_t& seenWakes) const {
        std::unique_lock<std::mutex> guard(lock);
        cleared.wait_for(guard, duration, [&] { return !IsSet() || wakes != seenWakes; });
        seenWakes = wakes;
    }

private:
    mutable uint64_t wakes = 0;
    std::atomic<bool> set{false};
    std::atomic<bool> fileReloadsHeld{false};
    mutable std::mutex lock;
    mutable std::condition_variable cleared;  // or woken
};
