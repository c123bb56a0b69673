// A simulated simulator host: gauge variables with their type codes, a main window whose view
// windows come and go, and a record of every trigger_key_event and keystroke. It stands in for
// Flight Simulator in the tests, the benchmarks and the panel simulator (mfp demo).
//
// Every operation is thread-safe. The observer, when set, is called for each event and key as
// it happens, on the calling thread and outside the host's lock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "os/host_panels.h"
#include "os/host_windows.h"
#include "os/keyboard.h"

// One thing the module did to the host.
struct SimHostRecord {
    enum class Kind { Event, KeyDown, KeyUp };
    Kind kind;
    uint32_t eventId = 0;  // Event: the event id
    uint32_t value = 0;    // Event: the value; KeyDown/KeyUp: the virtual-key code
    bool operator==(const SimHostRecord& other) const {
        return kind == other.kind && eventId == other.eventId && value == other.value;
    }
};

class SimHost : public HostPanels, public HostWindows, public Keyboard {
public:
    static constexpr WindowHandle kMainWindow = 0x10010;

    SimHost();

    // --- Gauge variables (type 33 by default). A type 14 value is stored as an int16.
    void SetGauge(uint32_t token, double value, uint32_t typeCode = kGaugeTypeDouble);
    void RemoveGauge(uint32_t token);
    void SetPanelsAvailable(bool available);

    // --- Windows. Without a main window no view is found either.
    void SetMainWindow(bool present);
    // Opens a view window with this title (e.g. "COCKPIT - View 00") and returns its handle.
    WindowHandle OpenView(const std::string& title);
    void CloseView(WindowHandle view);
    void SetViewTitle(WindowHandle view, const std::string& title);
    WindowHandle Foreground() const;

    // --- What the module did.
    std::vector<SimHostRecord> Records() const;
    void ClearRecords();
    void SetObserver(std::function<void(const SimHostRecord&)> observer);
    // How many lookups were made (for the benchmarks and tests).
    uint64_t LookupCount() const;

    // HostPanels
    bool Available() const override;
    void TriggerKeyEvent(uint32_t eventId, uint32_t value) override;
    void LookupGaugeVariable(GaugeVariable& variable) override;
    // HostWindows
    WindowHandle FindTopWindow(const char* className) override;
    WindowHandle FindChildWindow(WindowHandle parent, const char* className,
                                 const char* title) override;
    bool IsWindow(WindowHandle window) override;
    bool GetWindowTitle(WindowHandle window, std::string& title) override;
    // Keyboard
    void BringToForeground(WindowHandle window) override;
    void SendKey(uint8_t virtualKey, bool up) override;

private:
    struct Gauge {
        uint32_t typeCode;
        double value;
    };
    void Record(const SimHostRecord& record);

    mutable std::mutex lock;
    bool panelsAvailable = true;
    bool mainWindowPresent = true;
    std::map<uint32_t, Gauge> gauges;
    std::map<WindowHandle, std::string> views;  // handle -> title; ascending = creation order
    WindowHandle nextView = 0x20000;
    WindowHandle foreground = 0;
    std::vector<SimHostRecord> records;
    std::function<void(const SimHostRecord&)> observer;
    uint64_t lookups = 0;
};
