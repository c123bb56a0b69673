// The interactive panel simulator: a full-screen terminal view of every panel, redrawn as the
// boards' LED matrices change, with the keyboard on the switches and a flight moving the
// gauges of the bundled configuration.
#include "tools/mfp/demo/demo_terminal.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "tools/mfp/demo/demo_session.h"
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

// Each switch bound to an event, with its key and the event's description.
void DrawSwitches(std::string& screen, const DemoPanelView& panel) {
    std::string line = "   switches:";
    bool bound = false;
    for (const DemoSwitch& button : panel.switches) {
        if (button.action.empty()) continue;
        const std::string item = std::string("  [") + button.key + "] SW" + std::to_string(button.number) + " " +
                                 TerminalText(button.action);
        if (line.size() + item.size() > kScreenWidth) {
            screen += line + "\n";
            line = "            ";
        }
        line += item;
        bound = true;
    }
    screen += line + (bound ? "\n" : " none bound\n");
}

void DrawPanel(std::string& screen, const DemoPanelView& panel) {
    screen += std::string(panel.selected ? " > " : "   ") + "panel " + panel.serial + "  \"" +
              DigitText(panel.rows) + "\"" + (panel.plugged ? "" : "  (unplugged)") +
              (panel.served || !panel.plugged ? "" : "  (not served)") + "\n";
    DrawDigits(screen, panel.rows);
    screen += "   LEDs lit:";
    for (int column = kDemoDigits; column < 32; ++column)
        for (int row = 0; row < 8; ++row)
            if (panel.rows[row] >> column & 1) screen += " " + std::to_string(column * 8 + row + 1);
    screen += "    ports:";
    for (std::uint8_t port : panel.ports) {
        char text[4];
        std::snprintf(text, sizeof text, " %02X", port);
        screen += text;
    }
    screen += "\n";
    if (panel.served) DrawSwitches(screen, panel);
    screen += "\n";
}

}  // namespace

int RunDemoTerminal(DemoRuntime& runtime) {
    // Standard error is the screen, which the next frame would overwrite: the screen lists
    // the messages instead.
    DemoSession session(runtime);
    RawTerminal terminal;
    auto lastTick = std::chrono::steady_clock::now();
    std::string lastScreen;
    stopRequested = false;
    while (!stopRequested) {
        const int key = RawTerminal::ReadKey();
        if (key < 0 || key == 'q' || key == 'Q') break;
        session.Key(key);
        const auto now = std::chrono::steady_clock::now();
        session.Tick(std::chrono::duration<double>(now - lastTick).count());
        lastTick = now;

        std::string screen = " mfp demo: the Tarnell Multi Function Panel simulator\n\n";
        for (const DemoPanelView& panel : session.Panels()) DrawPanel(screen, panel);
        screen += " " + session.FlightState() + ", view " + (session.ViewOpen() ? "open" : "closed") +
                  "\n keys: 1-9 0 a-e press SW1-SW15, Tab next panel, f pause, v view, u/p "
                  "unplug/plug, q quit\n\n";
        const std::vector<std::string> messages = session.Messages();
        if (!messages.empty()) screen += " messages:\n";
        for (std::size_t i = messages.size() - std::min(messages.size(), kListedMessages); i < messages.size(); ++i)
            screen += "   " + messages[i] + "\n";
        screen += " events sent:\n";
        const std::vector<std::string> events = session.Events();
        for (std::size_t i = events.size() - std::min(events.size(), kListedEvents); i < events.size(); ++i)
            screen += "   " + TerminalText(events[i]) + "\n";
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
    // The terminal is put back before the session ends: what the screen told stays on standard
    // error.
    return 0;
}

#endif
