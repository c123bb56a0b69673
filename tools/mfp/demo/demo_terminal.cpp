// The interactive panel simulator: a full-screen terminal view of every panel, redrawn as the
// boards' LED matrices change, with the keyboard on the switches and a flight moving the
// gauges of the bundled configuration.
#include "tools/mfp/demo/demo_terminal.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

#include "catalogue/event_catalogue.h"
#include "tools/mfp/output_text.h"

#if defined(_WIN32)

bool DemoTerminalAvailable() { return false; }

int RunDemoTerminal(DemoRuntime&) { return 1; }  // not called: no terminal here

#else

#include <poll.h>
#include <termios.h>
#include <unistd.h>

bool DemoTerminalAvailable() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

namespace {

constexpr std::size_t kListedEvents = 10;
constexpr std::size_t kListedMessages = 3;
constexpr std::size_t kScreenWidth = 100;
constexpr EventId kParkingBrakeEvent = 0x100D8;
constexpr EventId kPauseEvent = 0x10019;

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

// Raw keyboard input and the alternate screen for as long as it lives; the terminal is put
// back on every way out, Ctrl-C included (SIGINT only sets a flag the loop reads).
class RawTerminal {
public:
    RawTerminal() {
        ok = tcgetattr(STDIN_FILENO, &saved) == 0;
        if (ok) {
            termios raw = saved;
            raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            tcsetattr(STDIN_FILENO, TCSANOW, &raw);
        }
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        std::fputs("\x1b[?1049h\x1b[?25l", stdout);
    }
    ~RawTerminal() {
        std::fputs("\x1b[?25h\x1b[?1049l", stdout);
        std::fflush(stdout);
        if (ok) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    // A key typed, 0 after 100 ms without one, -1 once the input has ended (a hang-up): a
    // read that returns at once with nothing would otherwise be taken for no key, forever.
    static int ReadKey() {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, 100);
        if (ready <= 0) return ready < 0 && errno != EINTR ? -1 : 0;
        unsigned char key = 0;
        const ssize_t got = read(STDIN_FILENO, &key, 1);
        if (got == 1) return key;
        return got < 0 && (errno == EINTR || errno == EAGAIN) ? 0 : -1;
    }

private:
    termios saved{};
    bool ok = false;
};

// The events and keystrokes the host saw, newest last, with their catalogue descriptions.
class EventList {
public:
    explicit EventList(const EventCatalogue& catalogue) : catalogue(catalogue) {
        for (EventId id = kFirstKeyboardEvent; id <= kLastKeyboardEvent; ++id)
            keyEvents[KeystrokeVirtualKey(id)] = id;
    }
    void Add(const SimHostRecord& record) {
        char line[64];
        EventId described = 0;
        if (record.kind == SimHostRecord::Kind::Event) {
            std::snprintf(line, sizeof line, "event 0x%X %d  ", record.eventId,
                          static_cast<int32_t>(record.value));
            described = record.eventId;
        } else if (record.kind == SimHostRecord::Kind::KeyDown) {
            std::snprintf(line, sizeof line, "key 0x%02X  ", record.value);
            described = keyEvents[record.value & 0xFF];
        } else {
            return;
        }
        std::lock_guard<std::mutex> guard(lock);
        lines.push_back(line + TerminalText(EventDescription(catalogue, described)));
        if (lines.size() > kListedEvents) lines.pop_front();
    }
    std::deque<std::string> Lines() const {
        std::lock_guard<std::mutex> guard(lock);
        return lines;
    }

private:
    const EventCatalogue& catalogue;
    EventId keyEvents[256] = {};
    mutable std::mutex lock;
    std::deque<std::string> lines;
};

// The bundled flight, repeated every two minutes of flight time: take-off roll, gear up, climb
// and turns, descent, gear down; each value keeps its number of digits. It answers the events
// of the panel's own switches: the parking brake, set at the start, holds the aircraft (no
// speed, no flight time), pause stops the flight.
class Flight {
public:
    void Hear(const SimHostRecord& record) {
        if (record.kind != SimHostRecord::Kind::Event) return;
        std::lock_guard<std::mutex> guard(lock);
        if (record.eventId == kParkingBrakeEvent) brakeSet = !brakeSet;
        if (record.eventId == kPauseEvent) paused = !paused;
    }
    void TogglePause() {
        std::lock_guard<std::mutex> guard(lock);
        paused = !paused;
    }
    // Moves the flight on by the seconds passed and sets the gauges; returns its state.
    std::string Fly(SimHost& host, double passed) {
        std::unique_lock<std::mutex> guard(lock);
        if (!paused && !brakeSet) seconds += passed;
        const bool held = brakeSet;
        const bool still = held || paused;
        const double t = std::fmod(seconds, 120.0);
        char state[64];
        std::snprintf(state, sizeof state, "flight %s at %.0f s",
                      paused ? "paused" : held ? "held by the parking brake" : "running", seconds);
        guard.unlock();
        const double climb = t < 10 ? 0 : t < 60 ? (t - 10) / 50 : t < 100 ? 1 - (t - 60) / 40 : 0;
        const double climbPerMinute = t < 10 ? 0 : t < 60 ? 7800.0 / 50 * 60 : t < 100 ? -7800.0 / 40 * 60 : 0;
        FlightMoment moment;
        moment.altitudeFeet = std::round(1200 + 7800 * climb);
        moment.headingDegrees = std::round(100 + std::fmod(270 + t * 3, 260));
        moment.airspeedKnots = held ? 0 : std::round(t < 100 ? 120 + 100 * std::sin(climb * 1.5) : 120);
        moment.climbFeetPerMinute = still ? 0 : climbPerMinute;
        // Up from 12 s to 16 s, down again from 90 s to 94 s.
        moment.gearHandleDown = t < 12 || t >= 90;
        moment.gearDown = t < 12 ? 1 : t < 16 ? (16 - t) / 4 : t < 90 ? 0 : t < 94 ? (t - 90) / 4 : 1;
        moment.parkingBrakeSet = held;
        SetFlightGauges(host, moment);
        return state;
    }

private:
    std::mutex lock;
    bool brakeSet = true;
    bool paused = false;
    double seconds = 0;
};

// Three text lines of seven-segment digits.
void DrawDigits(std::string& screen, const std::array<std::uint32_t, 8>& rows) {
    std::string lines[3];
    for (int column = 0; column < kDemoDigits; ++column) {
        const std::uint8_t p = DigitPattern(rows, column);
        auto on = [p](int bit, const char* lit) { return (p >> bit & 1) ? lit : " "; };
        lines[0] += std::string(" ") + on(0, "_") + "  ";
        lines[1] += std::string(on(5, "|")) + on(6, "_") + on(1, "|") + " ";
        lines[2] += std::string(on(4, "|")) + on(3, "_") + on(2, "|") + on(7, ".");
    }
    for (const std::string& line : lines) screen += "   " + line + "\n";
}

// Keys 1..9 and 0 are SW1..SW10, a..e SW11..SW15.
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

// Each switch bound to an event, with its key and the event's description.
void DrawSwitches(std::string& screen, const MFPInputTable& inputs,
                  const EventCatalogue& catalogue) {
    std::string line = "   switches:";
    bool bound = false;
    for (int n = 1; n <= kInputCount; ++n) {
        const auto found = inputs.find(InputKeys()[static_cast<std::size_t>(n - 1)]);
        if (found == inputs.end() || found->second.eventId == kNoActionEvent) continue;
        const EventId id = found->second.eventId;
        char unknown[24];
        std::snprintf(unknown, sizeof unknown, "event 0x%X", id);
        const std::string& description = EventDescription(catalogue, id);
        const std::string item = std::string("  [") + KeyOfSwitch(n) + "] SW" + std::to_string(n) +
                                 " " + (description.empty() ? unknown : TerminalText(description));
        if (line.size() + item.size() > kScreenWidth) {
            screen += line + "\n";
            line = "            ";
        }
        line += item;
        bound = true;
    }
    screen += line + (bound ? "\n" : " none bound\n");
}

void DrawPanel(std::string& screen, DemoRuntime& runtime, const DemoPanel& panel, bool selected,
               const EventCatalogue& catalogue) {
    CMFPWorker* worker = runtime.Worker(panel);
    const bool plugged = panel.board->IsPlugged();
    // A pulled board is dark, whatever it showed last.
    const auto rows = plugged ? panel.board->LedRows() : std::array<std::uint32_t, 8>{};
    screen += std::string(selected ? " > " : "   ") + "panel " + panel.serial + "  \"" +
              DigitText(rows) + "\"" + (plugged ? "" : "  (unplugged)") +
              (worker || !plugged ? "" : "  (not served)") + "\n";
    DrawDigits(screen, rows);
    screen += "   LEDs lit:";
    for (int column = kDemoDigits; column < 32; ++column)
        for (int row = 0; row < 8; ++row)
            if (rows[row] >> column & 1) screen += " " + std::to_string(column * 8 + row + 1);
    screen += "    ports:";
    for (std::uint8_t port : panel.board->PortLines()) {
        char text[4];
        std::snprintf(text, sizeof text, " %02X", port);
        screen += text;
    }
    screen += "\n";
    if (worker) DrawSwitches(screen, worker->Inputs(), catalogue);
    screen += "\n";
}

}  // namespace

int RunDemoTerminal(DemoRuntime& runtime) {
    const EventCatalogue catalogue = BuildEventCatalogue();
    EventList events(catalogue);
    Flight flight;
    runtime.host.SetObserver([&events, &flight](const SimHostRecord& record) {
        events.Add(record);
        flight.Hear(record);
    });
    // Standard error is the screen, which the next frame would overwrite: the screen lists
    // the messages instead.
    runtime.messages.Echo(false);
    flight.Fly(runtime.host, 0);
    runtime.Start();
    {
        RawTerminal terminal;
        int selected = 1;
        bool viewOpen = true;
        auto lastTick = std::chrono::steady_clock::now();
        std::string lastScreen;
        stopRequested = false;
        while (!stopRequested) {
            const int key = RawTerminal::ReadKey();
            if (key < 0 || key == 'q' || key == 'Q') break;
            if (key == '\t' || key == 'n')
                selected = selected % static_cast<int>(runtime.Panels().size()) + 1;
            if (key == 'f') flight.TogglePause();
            if (key == 'v') runtime.SetView(viewOpen = !viewOpen);
            if (key == 'u' || key == 'p') {
                DemoPanel& panel = *runtime.Panel(selected);
                if (key == 'u') panel.board->Pull();
                else panel.board->Plug();
                runtime.Reload();
            }
            // A key is a push on the switch: the runtime acts on the press alone.
            if (const int n = SwitchOfKey(key)) {
                runtime.SetSwitch(*runtime.Panel(selected), n, true);
                runtime.SetSwitch(*runtime.Panel(selected), n, false);
            }
            const auto now = std::chrono::steady_clock::now();
            const std::string state =
                flight.Fly(runtime.host, std::chrono::duration<double>(now - lastTick).count());
            lastTick = now;

            std::string screen = " mfp demo: the Tarnell Multi Function Panel simulator\n\n";
            for (int i = 1; i <= static_cast<int>(runtime.Panels().size()); ++i)
                DrawPanel(screen, runtime, *runtime.Panel(i), i == selected, catalogue);
            screen += " " + state + ", view " + (viewOpen ? "open" : "closed") +
                      "\n keys: 1-9 0 a-e press SW1-SW15, Tab next panel, f pause, v view, u/p "
                      "unplug/plug, q quit\n\n";
            for (const std::string& line : runtime.TakeFileReloads()) runtime.messages.Show(line, MessageIcon::Information);
            const std::vector<std::string> messages = runtime.messages.Shown();
            if (!messages.empty()) screen += " messages:\n";
            const std::size_t first =
                messages.size() > kListedMessages ? messages.size() - kListedMessages : 0;
            for (std::size_t i = first; i < messages.size(); ++i)
                screen += "   " + messages[i] + "\n";
            screen += " events sent:\n";
            for (const std::string& line : events.Lines()) screen += "   " + line + "\n";
            if (screen != lastScreen) {
                // Home, each line cleared to its end, the rest of the screen cleared: no flicker.
                std::string frame = "\x1b[H";
                for (char c : screen) frame += c == '\n' ? std::string("\x1b[K\n") : std::string(1, c);
                frame += "\x1b[J";
                std::fputs(frame.c_str(), stdout);
                std::fflush(stdout);
                lastScreen = screen;
            }
        }
    }
    runtime.Stop();
    runtime.host.SetObserver(nullptr);
    // The screen is gone; what it told stays on standard error.
    runtime.messages.Echo(true);
    return 0;
}

#endif
