// The interactive panel simulator: a full-screen terminal view of every panel, redrawn as the
// boards' LED matrices change, with the keyboard on the switches and a flight moving the
// gauges of the bundled configuration.
#include "tools/mfp/demo/demo_terminal.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "catalogue/event_catalogue.h"

#if defined(_WIN32)

int RunDemoTerminal(DemoRuntime&) {
    std::fprintf(stderr, "mfp demo: the interactive mode needs a POSIX terminal; "
                         "use --script FILE here\n");
    return 1;
}

#else

#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kDigitColumns = 12;  // the bundled configuration's digits: columns 0 to 11
constexpr std::size_t kListedEvents = 10;

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
            raw.c_cc[VMIN] = 0;
            raw.c_cc[VTIME] = 1;  // reads wait at most 100 ms
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

    // A key typed, or 0 after 100 ms without one.
    static char ReadKey() {
        char key = 0;
        return read(STDIN_FILENO, &key, 1) == 1 ? key : 0;
    }

private:
    termios saved{};
    bool ok = false;
};

// The events and keystrokes the host saw, newest last, with their catalogue descriptions.
class EventList {
public:
    EventList() : catalogue(BuildEventCatalogue()) {
        for (EventId id = kFirstKeyboardEvent; id <= kLastKeyboardEvent; ++id)
            keyEvents[KeystrokeVirtualKey(id)] = id;
    }
    void Add(const SimHostRecord& record) {
        char line[160];
        if (record.kind == SimHostRecord::Kind::Event) {
            std::snprintf(line, sizeof line, "event 0x%X %d  %s", record.eventId,
                          static_cast<int32_t>(record.value),
                          EventDescription(catalogue, record.eventId).c_str());
        } else if (record.kind == SimHostRecord::Kind::KeyDown) {
            std::snprintf(line, sizeof line, "key 0x%02X  %s", record.value,
                          EventDescription(catalogue, keyEvents[record.value & 0xFF]).c_str());
        } else {
            return;
        }
        std::lock_guard<std::mutex> guard(lock);
        lines.push_back(line);
        if (lines.size() > kListedEvents) lines.pop_front();
        ++changes;
    }
    std::deque<std::string> Lines(unsigned& changeCount) const {
        std::lock_guard<std::mutex> guard(lock);
        changeCount = changes;
        return lines;
    }

private:
    const EventCatalogue catalogue;
    EventId keyEvents[256] = {};
    mutable std::mutex lock;
    std::deque<std::string> lines;
    unsigned changes = 0;
};

// The bundled flight, repeated every two minutes: take-off roll, gear up, climb and turns,
// descent, gear down. Each value keeps its number of digits.
void FlyBundledFlight(SimHost& host, double seconds) {
    const double t = std::fmod(seconds, 120.0);
    const double climb = t < 10 ? 0 : t < 60 ? (t - 10) / 50 : t < 100 ? 1 - (t - 60) / 40 : 0;
    host.SetGauge(1, std::round(1200 + 7800 * climb));
    host.SetGauge(2, std::round(100 + std::fmod(270 + t * 3, 260)));
    host.SetGauge(3, std::round(t < 100 ? 120 + 100 * std::sin(climb * 1.5) : 120));
    const bool gearMoving = (t >= 12 && t < 16) || (t >= 90 && t < 94);
    host.SetGauge(4, gearMoving ? 0.5 : (t >= 16 && t < 94) ? 0 : 1);
    host.SetGauge(5, t < 3 ? 1 : 0);
}

std::uint8_t DigitPattern(const std::array<std::uint32_t, 8>& rows, int column) {
    std::uint8_t pattern = 0;
    for (int row = 0; row < 8; ++row)
        if (rows[row] >> column & 1) pattern |= static_cast<std::uint8_t>(1u << row);
    return pattern;
}

// Three text lines of seven-segment digits: segment a is bit 0 ... g bit 6, the point bit 7.
void DrawDigits(std::string& screen, const std::array<std::uint32_t, 8>& rows) {
    std::string lines[3];
    for (int column = 0; column < kDigitColumns; ++column) {
        const std::uint8_t p = DigitPattern(rows, column);
        auto on = [p](int bit, const char* lit) { return (p >> bit & 1) ? lit : " "; };
        lines[0] += std::string(" ") + on(0, "_") + "  ";
        lines[1] += std::string(on(5, "|")) + on(6, "_") + on(1, "|") + " ";
        lines[2] += std::string(on(4, "|")) + on(3, "_") + on(2, "|") + on(7, ".");
    }
    for (const std::string& line : lines) screen += "   " + line + "\n";
}

void DrawPanel(std::string& screen, const DemoPanel& panel, bool selected, bool served) {
    screen += std::string(selected ? " > " : "   ") + "panel " + panel.serial +
              (panel.board->IsPlugged() ? "" : "  (unplugged)") +
              (served || !panel.board->IsPlugged() ? "" : "  (not served)") + "\n";
    // A pulled board is dark, whatever it showed last.
    const auto rows = panel.board->IsPlugged() ? panel.board->LedRows()
                                               : std::array<std::uint32_t, 8>{};
    DrawDigits(screen, rows);
    screen += "   LEDs lit:";
    for (int column = kDigitColumns; column < 32; ++column)
        for (int row = 0; row < 8; ++row)
            if (rows[row] >> column & 1) screen += " " + std::to_string(column * 8 + row + 1);
    screen += "    ports:";
    for (std::uint8_t port : panel.board->PortLines()) {
        char text[4];
        std::snprintf(text, sizeof text, " %02X", port);
        screen += text;
    }
    screen += "\n   switches:";
    const auto keys = panel.board->Keys();
    for (int n = 1; n <= 15; ++n) {
        const int byte = n <= 8 ? 0 : 1;
        const int bit = n <= 8 ? n - 1 : n - 9;
        screen += (keys[byte] >> bit & 1) ? " [SW" + std::to_string(n) + "]"
                                         : "  sw" + std::to_string(n) + " ";
    }
    screen += "\n\n";
}

// Keys 1..9 and 0 are SW1..SW10, a..e SW11..SW15.
int SwitchOfKey(char key) {
    if (key >= '1' && key <= '9') return key - '0';
    if (key == '0') return 10;
    if (key >= 'a' && key <= 'e') return 11 + (key - 'a');
    return 0;
}

}  // namespace

int RunDemoTerminal(DemoRuntime& runtime) {
    EventList events;
    runtime.host.SetObserver([&events](const SimHostRecord& record) { events.Add(record); });
    const auto start = std::chrono::steady_clock::now();
    FlyBundledFlight(runtime.host, 0);
    runtime.Start();

    RawTerminal terminal;
    int selected = 1;
    bool flying = true;
    bool viewOpen = true;
    double flightSeconds = 0;
    auto lastTick = start;
    std::string lastScreen;
    stopRequested = false;
    while (!stopRequested) {
        const char key = RawTerminal::ReadKey();
        if (key == 'q' || key == 'Q') break;
        if (key == '\t' || key == 'n') selected = selected % static_cast<int>(runtime.Panels().size()) + 1;
        if (key == 'f') flying = !flying;
        if (key == 'v') runtime.SetView(viewOpen = !viewOpen);
        if (key == 'u' || key == 'p') {
            DemoPanel& panel = *runtime.Panel(selected);
            if (key == 'u') panel.board->Pull();
            else panel.board->Plug();
            runtime.Reload();
        }
        if (const int n = SwitchOfKey(key)) {
            DemoPanel& panel = *runtime.Panel(selected);
            const int byte = n <= 8 ? 0 : 1;
            const int bit = n <= 8 ? n - 1 : n - 9;
            runtime.SetSwitch(panel, n, (panel.board->Keys()[byte] >> bit & 1) == 0);
        }
        const auto now = std::chrono::steady_clock::now();
        if (flying) flightSeconds += std::chrono::duration<double>(now - lastTick).count();
        lastTick = now;
        FlyBundledFlight(runtime.host, flightSeconds);

        std::string screen = " mfp demo: the Tarnell Multi Function Panel simulator\n\n";
        for (int i = 1; i <= static_cast<int>(runtime.Panels().size()); ++i) {
            DemoPanel& panel = *runtime.Panel(i);
            DrawPanel(screen, panel, i == selected, runtime.Worker(panel) != nullptr);
        }
        char status[160];
        std::snprintf(status, sizeof status,
                      " flight %s at %.0f s, view %s\n keys: 1-9 0 a-e toggle SW1-SW15, Tab next "
                      "panel, f flight, v view, u/p unplug/plug, q quit\n\n events sent:\n",
                      flying ? "running" : "paused", flightSeconds, viewOpen ? "open" : "closed");
        screen += status;
        unsigned changeCount = 0;
        for (const std::string& line : events.Lines(changeCount)) screen += "   " + line + "\n";
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
    runtime.Stop();
    runtime.host.SetObserver(nullptr);
    return 0;
}

#endif
