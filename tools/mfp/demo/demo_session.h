// The interactive panel simulator as its screens show it, whatever draws them (the terminal, the
// Windows window): the panels, the switches of the selected one, the flight that moves the
// gauges and answers the panel's switches, the events the simulator got and the module's
// messages. The screens only draw this and hand it the user's keys and clicks.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/event_catalogue.h"
#include "tools/mfp/demo/demo_runtime.h"

// A switch of a panel as its button is labelled: the key that presses it and what it does
// ("" when it does nothing).
struct DemoSwitch {
    int number = 0;  // 1..15
    char key = 0;
    std::string action;

    bool operator==(const DemoSwitch& other) const {
        return number == other.number && key == other.key && action == other.action;
    }
};

// One panel as a screen draws it.
struct DemoPanelView {
    std::string serial;
    bool selected = false;
    bool plugged = true;
    bool served = false;  // a worker runs it (not unplugged, its section not corrupt)
    std::array<std::uint32_t, 8> rows{};  // the LED matrix; dark while unplugged
    std::array<std::uint8_t, 4> ports{};  // the port lines, 1 = high (an LED there is off)
    std::array<DemoSwitch, 15> switches{};

    bool operator==(const DemoPanelView& other) const {
        return serial == other.serial && selected == other.selected && plugged == other.plugged &&
               served == other.served && rows == other.rows && ports == other.ports && switches == other.switches;
    }
};

// The bundled flight, repeated every two minutes of flight time: take-off roll, gear up, climb
// and turns, descent, gear down; each value keeps its number of digits. It answers the events
// of the panel's own switches: the parking brake, set at the start, holds the aircraft (no
// speed, no flight time), pause stops the flight.
class DemoFlight {
public:
    void Hear(const SimHostRecord& record);
    void TogglePause();
    // Moves the flight on by the seconds passed and sets the gauges.
    void Fly(SimHost& host, double passedSeconds);
    // "flight running at 12 s", "flight paused at 12 s", "flight held by the parking brake at 0 s".
    std::string State() const;
    // The gauges as a pilot reads them: "altitude 1200 ft, heading 270, ...".
    std::string Values() const;

private:
    mutable std::mutex lock;
    bool brakeSet = true;
    bool paused = false;
    double seconds = 0;
    FlightMoment moment;
};

class DemoSession {
public:
    static constexpr std::size_t kKeptEvents = 50;

    // Starts the panels with the flight on the runway; the module's messages are kept for the
    // screen instead of written to standard error, which the screen may cover.
    explicit DemoSession(DemoRuntime& runtime);
    // Stops the panels; messages go to standard error again, those kept meanwhile too.
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // The keys: 1-9, 0 and a-e press SW1 to SW15 of the selected panel, Tab or n selects the next
    // panel, f pauses the flight, v closes or opens the cockpit view, u and p unplug and plug the
    // selected panel. Whether the key is one of these.
    bool Key(int key);
    // A push on switch n (1..15) of the selected panel: closed, then open again.
    void PressSwitch(int n);
    void SelectPanel(int index);  // 1-based; others are ignored
    void NextPanel();
    void ToggleView();
    void TogglePause();
    void Unplug();
    void Plug();
    // The flight moves on by the seconds passed; reloads of the configuration file become
    // messages.
    void Tick(double passedSeconds);

    int Selected() const { return selected; }
    bool ViewOpen() const { return viewOpen; }
    std::vector<DemoPanelView> Panels();
    std::string FlightState() const { return flight.State(); }
    std::string FlightValues() const { return flight.Values(); }
    // What the simulator got, oldest first, each with its description: "event 0x100D8 0
    // Toggles parking brake on/off", "key 0x47 ...".
    std::vector<std::string> Events() const;
    std::vector<std::string> Messages() const { return runtime.messages.Shown(); }

private:
    void Heard(const SimHostRecord& record);

    DemoRuntime& runtime;
    const EventCatalogue catalogue;
    EventId keyEvents[256] = {};  // the keyboard event of each virtual key
    DemoFlight flight;
    int selected = 1;
    bool viewOpen = true;
    mutable std::mutex eventLock;
    std::deque<std::string> events;
};

// Keys 1..9 and 0 are SW1..SW10, a..e SW11..SW15; 0 for other keys.
int SwitchOfKey(int key);
char KeyOfSwitch(int n);
