#include "board/device_change_filter.h"

#include <algorithm>

namespace {

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

}  // namespace

bool DeviceChangeFilter::Accept(std::uint32_t eventCode, std::string_view path, Clock::time_point now) {
    notices.erase(std::remove_if(notices.begin(), notices.end(),
                                 [&](const Notice& n) { return !n.pending && now - n.finished >= kCopyWindow; }),
                  notices.end());
    const std::string key = LowerCase(path);
    const auto last = std::find_if(notices.begin(), notices.end(), [&](const Notice& n) { return n.path == key; });
    if (last != notices.end() && last->eventCode == eventCode) return false;
    if (last != notices.end()) notices.erase(last);
    notices.push_back({eventCode, key, true, {}});
    return true;
}

void DeviceChangeFilter::ReloadFinished(Clock::time_point now) {
    for (Notice& notice : notices) {
        if (!notice.pending) continue;
        notice.pending = false;
        notice.finished = now;
    }
}
