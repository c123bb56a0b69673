#include "os/sim_host.h"

#include <cstring>

SimHost::SimHost() = default;

void SimHost::SetGauge(uint32_t token, double value, uint32_t typeCode) {
    std::lock_guard<std::mutex> guard(lock);
    gauges[token] = Gauge{typeCode, value};
}

void SimHost::RemoveGauge(uint32_t token) {
    std::lock_guard<std::mutex> guard(lock);
    gauges.erase(token);
}

void SimHost::SetPanelsAvailable(bool available) {
    std::lock_guard<std::mutex> guard(lock);
    panelsAvailable = available;
}

void SimHost::SetMainWindow(bool present) {
    std::lock_guard<std::mutex> guard(lock);
    mainWindowPresent = present;
}

WindowHandle SimHost::OpenView(const std::string& title) {
    std::lock_guard<std::mutex> guard(lock);
    const WindowHandle view = nextView;
    nextView += 0x10;
    views[view] = title;
    return view;
}

void SimHost::CloseView(WindowHandle view) {
    std::lock_guard<std::mutex> guard(lock);
    views.erase(view);
}

void SimHost::SetViewTitle(WindowHandle view, const std::string& title) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = views.find(view);
    if (found != views.end()) found->second = title;
}

WindowHandle SimHost::Foreground() const {
    std::lock_guard<std::mutex> guard(lock);
    return foreground;
}

std::vector<SimHostRecord> SimHost::Records() const {
    std::lock_guard<std::mutex> guard(lock);
    return records;
}

void SimHost::ClearRecords() {
    std::lock_guard<std::mutex> guard(lock);
    records.clear();
}

void SimHost::SetObserver(std::function<void(const SimHostRecord&)> newObserver) {
    std::lock_guard<std::mutex> guard(lock);
    observer = std::move(newObserver);
}

uint64_t SimHost::LookupCount() const {
    std::lock_guard<std::mutex> guard(lock);
    return lookups;
}

bool SimHost::Available() const {
    std::lock_guard<std::mutex> guard(lock);
    return panelsAvailable;
}

void SimHost::Record(const SimHostRecord& record) {
    std::function<void(const SimHostRecord&)> notify;
    {
        std::lock_guard<std::mutex> guard(lock);
        records.push_back(record);
        notify = observer;
    }
    if (notify) notify(record);
}

void SimHost::TriggerKeyEvent(uint32_t eventId, uint32_t value) {
    Record({SimHostRecord::Kind::Event, eventId, value});
}

void SimHost::LookupGaugeVariable(GaugeVariable& variable) {
    std::lock_guard<std::mutex> guard(lock);
    ++lookups;
    auto found = gauges.find(variable.token);
    if (found == gauges.end()) return;
    variable.data = &found->second;
    variable.typeCode = found->second.typeCode;
    if (found->second.typeCode == kGaugeTypeInt16) StoreInt16(variable, static_cast<int16_t>(found->second.value));
    else variable.value = found->second.value;
}

WindowHandle SimHost::FindTopWindow(const char* className) {
    std::lock_guard<std::mutex> guard(lock);
    return mainWindowPresent && std::strcmp(className, kMainWindowClass) == 0 ? kMainWindow : 0;
}

WindowHandle SimHost::FindChildWindow(WindowHandle parent, const char* className,
                                      const char* title) {
    std::lock_guard<std::mutex> guard(lock);
    if (!mainWindowPresent || parent != kMainWindow) return 0;
    if (std::strcmp(className, kViewWindowClass) != 0) return 0;
    for (const auto& view : views)
        if (view.second == title) return view.first;
    return 0;
}

bool SimHost::IsWindow(WindowHandle window) {
    std::lock_guard<std::mutex> guard(lock);
    if (window == kMainWindow) return mainWindowPresent;
    return mainWindowPresent && views.count(window) != 0;
}

bool SimHost::GetWindowTitle(WindowHandle window, std::string& title) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = views.find(window);
    if (!mainWindowPresent || found == views.end()) return false;
    title = found->second;
    return true;
}

void SimHost::BringToForeground(WindowHandle window) {
    std::lock_guard<std::mutex> guard(lock);
    foreground = window;
}

void SimHost::SendKey(uint8_t virtualKey, bool up) {
    Record({up ? SimHostRecord::Kind::KeyUp : SimHostRecord::Kind::KeyDown, 0, virtualKey});
}
