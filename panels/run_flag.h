// The panel set's run flag: set by LoadMFPs, cleared by UnloadMFPs (only on the host's thread,
// only from true to false while workers live), read by every worker's update thread. The
// pauses between output passes sleep on it, so that clearing the flag wakes them at once.
#pragma once

#include <atomic>
#include <chrono>
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
    // Sleeps for the duration, or less once the flag is cleared.
    void SleepWhileSet(std::chrono::milliseconds duration) const {
        std::unique_lock<std::mutex> guard(lock);
        cleared.wait_for(guard, duration, [this] { return !IsSet(); });
    }

private:
    std::atomic<bool> set{false};
    mutable std::mutex lock;
    mutable std::condition_variable cleared;
};
