#include "tools/mfp/demo/demo_session.h"

#include <cmath>
#include <cstdio>

#include "panels/mfp_worker.h"

namespace {

constexpr EventId kParkingBrakeEvent = 0x100D8;
constexpr EventId kPauseEvent = 0x10019;

}  // namespace

int SwitchOfKey(int key) {
    if (key >= '1' && key <= '9') return key - '0';
    if (key == '0') return 10;
    if (key >= 'a' && key <= 'e') return 11 + (key - 'a');
    return 0;
}

char KeyOfSwitch(int n) {
    if (n <= 9) return static_cast<char>('0' + n);
    return n == 10 ? '0' : static_cast<char>('a' + n - 11);
}

void DemoFlight::Hear(const SimHostRecord& record) {
    if (record.kind != SimHostRecord::Kind::Event) return;
    std::lock_guard<std::mutex> guard(lock);
    if (record.eventId == kParkingBrakeEvent) brakeSet = !brakeSet;
    if (record.eventId == kPauseEvent) paused = !paused;
}

void DemoFlight::TogglePause() {
    std::lock_guard<std::mutex> guard(lock);
    paused = !paused;
}

void DemoFlight::Fly(SimHost& host, double passed) {
    std::unique_lock<std::mutex> guard(lock);
    if (!paused && !brakeSet) seconds += passed;
    const bool held = brakeSet;
    const bool still = held || paused;
    const double t = std::fmod(seconds, 120.0);
    const double climb = t < 10 ? 0 : t < 60 ? (t - 10) / 50 : t < 100 ? 1 - (t - 60) / 40 : 0;
    const double climbPerMinute = t < 10 ? 0 : t < 60 ? 7800.0 / 50 * 60 : t < 100 ? -7800.0 / 40 * 60 : 0;
    moment.altitudeFeet = std::round(1200 + 7800 * climb);
    moment.headingDegrees = std::round(100 + std::fmod(270 + t * 3, 260));
    moment.airspeedKnots = held ? 0 : std::round(t < 100 ? 120 + 100 * std::sin(climb * 1.5) : 120);
    moment.climbFeetPerMinute = still ? 0 : climbPerMinute;
    // Up from 12 s to 16 s, down again from 90 s to 94 s.
    moment.gearHandleDown = t < 12 || t >= 90;
    moment.gearDown = t < 12 ? 1 : t < 16 ? (16 - t) / 4 : t < 90 ? 0 : t < 94 ? (t - 90) / 4 : 1;
    moment.parkingBrakeSet = held;
    const FlightMoment now = moment;
    guard.unlock();
    SetFlightGauges(host, now);
}

std::string DemoFlight::State() const {
    std::lock_guard<std::mutex> guard(lock);
    char state[64];
    std::snprintf(state, sizeof state, "flight %s at %.0f s",
                  paused ? "paused" : brakeSet ? "held by the parking brake" : "running", seconds);
    return state;
}

std::string DemoFlight::Values() const {
    std::lock_guard<std::mutex> guard(lock);
    const char* gear = moment.gearDown >= 1 ? "down" : moment.gearDown <= 0 ? "up" : "moving";
    char values[160];
    std::snprintf(values, sizeof values,
                  "altitude %.0f ft, heading %03.0f, airspeed %.0f kt, climb %.0f ft/min, gear %s, "
                  "parking brake %s",
                  moment.altitudeFeet, moment.headingDegrees, moment.airspeedKnots,
                  moment.climbFeetPerMinute, gear, moment.parkingBrakeSet ? "set" : "off");
    return values;
}

DemoSession::DemoSession(DemoRuntime& runtime) : runtime(runtime), catalogue(BuildEventCatalogue()) {
    for (EventId id = kFirstKeyboardEvent; id <= kLastKeyboardEvent; ++id)
        keyEvents[KeystrokeVirtualKey(id)] = id;
    runtime.host.SetObserver([this](const SimHostRecord& record) { Heard(record); });
    runtime.messages.Echo(false);
    flight.Fly(runtime.host, 0);
    runtime.Start();
}

DemoSession::~DemoSession() {
    runtime.Stop();
    runtime.host.SetObserver(nullptr);
    runtime.messages.Echo(true);
}

void DemoSession::Heard(const SimHostRecord& record) {
    flight.Hear(record);
    char line[64];
    EventId described = 0;
    if (record.kind == SimHostRecord::Kind::Event) {
        std::snprintf(line, sizeof line, "event 0x%X %d  ", record.eventId, static_cast<int32_t>(record.value));
        described = record.eventId;
    } else if (record.kind == SimHostRecord::Kind::KeyDown) {
        std::snprintf(line, sizeof line, "key 0x%02X  ", record.value);
        described = keyEvents[record.value & 0xFF];
    } else {
        return;
    }
    std::lock_guard<std::mutex> guard(eventLock);
    events.push_back(line + EventDescription(catalogue, described));
    if (events.size() > kKeptEvents) events.pop_front();
}

bool DemoSession::Key(int key) {
    if (const int n = SwitchOfKey(key)) PressSwitch(n);
    else if (key == '\t' || key == 'n') NextPanel();
    else if (key == 'f') TogglePause();
    else if (key == 'v') ToggleView();
    else if (key == 'u') Unplug();
    else if (key == 'p') Plug();
    else return false;
    return true;
}

// The runtime acts on the press alone; the release lets the switch be pressed again.
void DemoSession::PressSwitch(int n) {
    DemoPanel& panel = *runtime.Panel(selected);
    runtime.SetSwitch(panel, n, true);
    runtime.SetSwitch(panel, n, false);
}

void DemoSession::SelectPanel(int index) {
    if (runtime.Panel(index)) selected = index;
}

void DemoSession::NextPanel() { selected = selected % static_cast<int>(runtime.Panels().size()) + 1; }

void DemoSession::ToggleView() { runtime.SetView(viewOpen = !viewOpen); }

void DemoSession::TogglePause() { flight.TogglePause(); }

void DemoSession::Unplug() {
    runtime.Panel(selected)->board->Pull();
    runtime.Reload();
}

void DemoSession::Plug() {
    runtime.Panel(selected)->board->Plug();
    runtime.Reload();
}

void DemoSession::Tick(double passedSeconds) {
    flight.Fly(runtime.host, passedSeconds);
    for (const std::string& line : runtime.TakeFileReloads()) runtime.messages.Show(line, MessageIcon::Information);
}

std::vector<DemoPanelView> DemoSession::Panels() {
    std::vector<DemoPanelView> views;
    for (int index = 1; index <= static_cast<int>(runtime.Panels().size()); ++index) {
        const DemoPanel& panel = *runtime.Panel(index);
        DemoPanelView view;
        view.serial = panel.serial;
        view.selected = index == selected;
        view.plugged = panel.board->IsPlugged();
        // A pulled board is dark, whatever it showed last.
        if (view.plugged) view.rows = panel.board->LedRows();
        view.ports = panel.board->PortLines();
        CMFPWorker* worker = runtime.Worker(panel);
        view.served = worker != nullptr;
        const MFPInputTable inputs = worker ? worker->Inputs() : MFPInputTable{};
        for (int n = 1; n <= kInputCount; ++n) {
            DemoSwitch& button = view.switches[static_cast<std::size_t>(n - 1)];
            button.number = n;
            button.key = KeyOfSwitch(n);
            const auto found = inputs.find(InputKeys()[static_cast<std::size_t>(n - 1)]);
            if (found == inputs.end() || found->second.eventId == kNoActionEvent) continue;
            const EventId id = found->second.eventId;
            button.action = EventDescription(catalogue, id);
            if (button.action.empty()) {
                char unknown[24];
                std::snprintf(unknown, sizeof unknown, "event 0x%X", id);
                button.action = unknown;
            }
        }
        views.push_back(view);
    }
    return views;
}

std::vector<std::string> DemoSession::Events() const {
    std::lock_guard<std::mutex> guard(eventLock);
    return {events.begin(), events.end()};
}
