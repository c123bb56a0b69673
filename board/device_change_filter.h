// Tells a repeated device-change notification from a new one. One arrival or removal can reach
// the main window more than once: the module registers the window for HID interface
// notifications, and the host may have registered it too. A copy must not rebuild the panel set
// a second time.
//
// The rule: a notification is a copy when its event code and device path (letter case aside)
// equal those of the last notification accepted for that path, and the reload that one asked
// for is still pending (deferred behind the configuration dialog) or finished less than
// kCopyWindow ago. A different event for the path (a removal after an arrival) is never a copy.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DeviceChangeFilter {
public:
    using Clock = std::chrono::steady_clock;
    // Copies queue up behind the reload of the first, so they arrive just after it finishes.
    static constexpr std::chrono::milliseconds kCopyWindow{2000};

    // True for a new notification, remembered as asking for a reload; false for a copy.
    bool Accept(std::uint32_t eventCode, std::string_view path, Clock::time_point now);
    // The reload every notification accepted so far asked for has run.
    void ReloadFinished(Clock::time_point now);

private:
    struct Notice {
        std::uint32_t eventCode;
        std::string path;  // lower case
        bool pending;
        Clock::time_point finished;
    };
    std::vector<Notice> notices;  // the last accepted per path, while it can still have copies
};
