// mfp panels: lists the attached controller boards, and on request lights every LED and digit
// of each panel in turn (a wiring check for builders) or prints every switch that goes on or
// off. Simulated boards (--sim) stand in for real ones, which mfp.exe reaches through the kit.
#include <array>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board/tarnell_controllers.h"
#include "config/sim_board_text.h"
#include "os/sim_board.h"
#include "tools/mfp/commands.h"

namespace {

using Milliseconds = std::chrono::milliseconds;

constexpr int kRealStepMs = 100;  // long enough to see each LED on a real panel

struct PanelsOptions {
    std::vector<SimBoardSetup> sims;
    bool test = false;
    bool watch = false;
    std::optional<int> stepMs;
    std::optional<int> watchMs;  // none: until Ctrl-C
    std::string simKeys;
};

int PrintUsage() {
    std::fprintf(stderr,
        "usage: mfp panels [--sim PID:SERIAL[:TYPE:VERSION]]... [--test [--step-ms N]]\n"
        "                  [--watch [--watch-ms N] [--sim-keys SCRIPT]]\n"
        "  --sim PID:SERIAL[:TYPE:VERSION]  attach a simulated board instead of the real ones\n"
        "                  (hexadecimal product id and sub-module 1 type and version; the\n"
        "                  default module is a panel, 02:01); SERIAL -NAME: a chip without a\n"
        "                  serial string; repeatable\n"
        "  --test          light every matrix LED, digit and port line of each panel in turn\n"
        "                  and clear them again; simulated panels are checked as well\n"
        "  --step-ms N     how long each LED stays lit (default 100, 0 with --sim)\n"
        "  --watch         print every switch that goes on or off until Ctrl-C\n"
        "  --watch-ms N    stop watching after N milliseconds\n"
        "  --sim-keys SCRIPT  actions on simulated boards while watching, separated by ';':\n"
        "                  press SERIAL BYTE BIT, release SERIAL BYTE BIT, wait MS\n");
    return 2;
}

std::optional<int> ParseCount(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

std::optional<PanelsOptions> ParseOptions(const Arguments& args) {
    PanelsOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--test") {
            options.test = true;
        } else if (args[i] == "--watch") {
            options.watch = true;
        } else if (args[i] == "--sim" && hasValue) {
            const auto setup = ParseSimBoardText(args[++i]);
            if (!setup) return std::nullopt;
            options.sims.push_back(*setup);
        } else if (args[i] == "--step-ms" && hasValue) {
            if (!(options.stepMs = ParseCount(args[++i]))) return std::nullopt;
        } else if (args[i] == "--watch-ms" && hasValue) {
            if (!(options.watchMs = ParseCount(args[++i]))) return std::nullopt;
        } else if (args[i] == "--sim-keys" && hasValue) {
            options.simKeys = args[++i];
        } else {
            return std::nullopt;
        }
    }
    if (!options.simKeys.empty() && options.sims.empty()) return std::nullopt;
    return options;
}

// --- Listing

bool IsPanel(int type, int version) { return type == 2 && version == 1; }

void ListBoards(CTarnellControllers& registry) {
    std::printf("%-16s %-9s %-10s %-9s %s\n", "device key", "serial", "product", "module 1",
                "panel");
    for (const auto& [key, board] : registry.Controllers()) {
        int type = -1;
        int version = -1;
        char module[16] = "no answer";
        if (board->GetModuleId(type, version, 1))
            std::snprintf(module, sizeof module, "%02X %02X", type, version);
        std::printf("%-16s %-9s 0x%04X     %-9s %s\n", key.c_str(),
                    board->GetSerialNumber().c_str(), board->ProductId(), module,
                    IsPanel(type, version) ? "yes" : "no");
    }
    std::fflush(stdout);
}

// --- Wiring test

// What a simulated panel shows while one output is lit: exactly that, and nothing else.
struct Expected {
    std::array<std::uint32_t, 8> rows{};
    std::array<std::uint8_t, 4> lines{0xFF, 0xFF, 0xFF, 0xFF};
};

bool Shows(const SimBoard* sim, const Expected& expected) {
    return sim == nullptr || (sim->LedRows() == expected.rows && sim->PortLines() == expected.lines);
}

class WiringTest {
public:
    WiringTest(CTarnellController& board, const SimBoard* sim, Milliseconds step)
        : board(board), sim(sim), step(step), serial(board.GetSerialNumber()) {}

    // Lights and clears every output in turn; false at the first write that fails or the first
    // simulated panel that shows something else.
    bool Run() {
        if (!board.EnableLedMatrix(true)) return Fail("the LED matrix could not be switched on");
        std::printf("%s: matrix LEDs 1-256\n", serial.c_str());
        std::fflush(stdout);
        for (int led = 1; led <= 256; ++led) {
            Expected lit;
            lit.rows[static_cast<std::size_t>((led - 1) % 8)] = 1u << ((led - 1) / 8);
            if (!Step(board.SetMatrixLed(led, 1) == 0, lit, "matrix LED", led) ||
                !Step(board.SetMatrixLed(led, 0) == 0, Expected{}, "matrix LED", led))
                return false;
        }
        std::printf("%s: digits 1-32\n", serial.c_str());
        std::fflush(stdout);
        for (int position = 1; position <= 32; ++position) {
            Expected lit;
            for (auto& row : lit.rows) row = 1u << (position - 1);
            if (!Step(board.WriteDisplay(position, "8.", -1, 0) == 0, lit, "digit", position) ||
                !Step(board.WriteDisplay(position, " ", -1, 0) == 0, Expected{}, "digit", position))
                return false;
        }
        std::printf("%s: port lines 0.0-3.7\n", serial.c_str());
        std::fflush(stdout);
        for (int line = 0; line < 32; ++line) {
            Expected lit;
            lit.lines[static_cast<std::size_t>(line / 8)] =
                static_cast<std::uint8_t>(~(1u << (line % 8)));
            if (!Step(board.SetPortBit(line / 8, line % 8, 1), lit, "port line", line) ||
                !Step(board.SetPortBit(line / 8, line % 8, 0), Expected{}, "port line", line))
                return false;
        }
        board.EnableLedMatrix(false);
        std::printf("%s: 256 matrix LEDs, 32 digits and 32 port lines lit and cleared%s\n",
                    serial.c_str(), sim != nullptr ? ", each checked on the simulated panel" : "");
        std::fflush(stdout);
        return true;
    }

private:
    bool Step(bool written, const Expected& expected, const char* what, int number) {
        if (!written) return Fail(what, number, "could not be written");
        if (step.count() > 0) std::this_thread::sleep_for(step);
        if (!Shows(sim, expected)) return Fail(what, number, "shows something else");
        return true;
    }
    bool Fail(const char* what, int number, const char* problem) {
        std::printf("%s: %s %d %s (error %u)\n", serial.c_str(), what, number, problem,
                    KitGetLastError());
        return false;
    }
    bool Fail(const char* problem) {
        std::printf("%s: %s (error %u)\n", serial.c_str(), problem, KitGetLastError());
        return false;
    }

    CTarnellController& board;
    const SimBoard* sim;
    Milliseconds step;
    std::string serial;
};

// --- Watching switches

// Set by Ctrl-C; a lock-free atomic is safe to store from a signal handler.
std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int) { stopRequested = true; }

// "SW1".."SW15" for the panel's fifteen switches ("0000".."0007", "0100".."0106").
std::string SwitchName(int byte, int bit) {
    if (byte == 0) return "SW" + std::to_string(bit + 1);
    if (byte == 1 && bit <= 6) return "SW" + std::to_string(bit + 9);
    return "-";
}

struct WatchedBoard {
    std::array<std::uint8_t, 8> previous{};
};

int PrintChanges(const std::string& serial, const std::uint8_t* keys, void* context) {
    if (keys == nullptr) return 1;
    auto& watched = *static_cast<WatchedBoard*>(context);
    for (int byte = 0; byte < 8; ++byte) {
        const int changed = keys[byte] ^ watched.previous[static_cast<std::size_t>(byte)];
        for (int bit = 0; bit < 8; ++bit) {
            if ((changed >> bit & 1) == 0) continue;
            std::printf("%s %02d%02d %-4s %s\n", serial.c_str(), byte, bit,
                        SwitchName(byte, bit).c_str(), (keys[byte] >> bit & 1) ? "on" : "off");
        }
        watched.previous[static_cast<std::size_t>(byte)] = keys[byte];
    }
    std::fflush(stdout);
    return 1;
}

std::shared_ptr<SimBoard> FindSim(const SimHidBackend& backend, const std::string& serial) {
    for (const auto& sim : backend.Boards())
        if (sim->Setup().serial == serial) return sim;
    return nullptr;
}

void WaitOrStop(Milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!stopRequested && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min(Milliseconds(20), duration));
}

// Runs the key script on the simulated boards; false (after a message) on a bad action.
bool RunKeyScript(const SimHidBackend& backend, const std::string& script) {
    std::stringstream actions(script);
    for (std::string action; std::getline(actions, action, ';') && !stopRequested;) {
        std::stringstream words(action);
        std::string verb, serial;
        int byte = -1, bit = -1;
        words >> verb;
        if (verb.empty()) continue;
        if (verb == "wait" && words >> byte && byte >= 0) {
            WaitOrStop(Milliseconds(byte));
            continue;
        }
        words >> serial >> byte >> bit;
        const auto sim = FindSim(backend, serial);
        if ((verb != "press" && verb != "release") || !sim || byte < 0 || byte > 7 || bit < 0 ||
            bit > 7) {
            std::fprintf(stderr, "mfp panels: bad key action '%s'\n", action.c_str());
            return false;
        }
        if (verb == "press") sim->PressKey(byte, bit);
        else sim->ReleaseKey(byte, bit);
    }
    return true;
}

int Watch(CTarnellControllers& registry, const SimHidBackend* simBackend,
          const PanelsOptions& options) {
    std::map<std::string, WatchedBoard> watched;
    std::vector<CTarnellController*> registered;
    for (const auto& [key, board] : registry.Controllers()) {
        if (board->SetKeyMatrixCallback(true, PrintChanges, &watched[key]))
            registered.push_back(board.get());
        else
            std::fprintf(stderr, "mfp panels: %s: the key matrix could not be switched on\n",
                         key.c_str());
    }
    const auto start = std::chrono::steady_clock::now();
    stopRequested = false;
    std::signal(SIGINT, RequestStop);
    bool scriptOk = true;
    if (simBackend != nullptr && !options.simKeys.empty())
        scriptOk = RunKeyScript(*simBackend, options.simKeys);
    if (scriptOk) {
        const auto end = options.watchMs ? start + Milliseconds(*options.watchMs)
                                         : std::chrono::steady_clock::time_point::max();
        while (!stopRequested && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(Milliseconds(20));
    }
    std::signal(SIGINT, SIG_DFL);
    for (CTarnellController* board : registered) board->SetKeyMatrixCallback(false, nullptr, nullptr);
    return scriptOk ? 0 : 2;
}

bool UseRealBoards() {
#ifdef _WIN32
    KitUseBackend(PlatformHidBackend());
    return true;
#else
    std::fprintf(stderr, "mfp panels: real boards are reached by mfp.exe on Windows; "
                         "use --sim PID:SERIAL here\n");
    return false;
#endif
}

}  // namespace

int RunPanelsCommand(const Arguments& args) {
    const std::optional<PanelsOptions> options = ParseOptions(args);
    if (!options) return PrintUsage();

    SimHidBackend simBackend;
    const bool simulated = !options->sims.empty();
    if (simulated) {
        for (const SimBoardSetup& setup : options->sims) simBackend.AddBoard(setup);
        KitUseBackend(simBackend);
    } else if (!UseRealBoards()) {
        return 1;
    }

    CTarnellControllers registry;
    if (!registry.LoadControllers()) {
        const std::uint32_t error = KitGetLastError();
        if (error != 0) std::fprintf(stderr, "mfp panels: no board attached (error %u)\n", error);
        else std::fprintf(stderr, "mfp panels: no board attached\n");
        return 1;
    }
    ListBoards(registry);

    int status = 0;
    if (options->test) {
        const Milliseconds step(options->stepMs.value_or(simulated ? 0 : kRealStepMs));
        for (const auto& [serial, board] : registry.SelectControllers("02", "01")) {
            const auto sim = simulated ? FindSim(simBackend, serial) : nullptr;
            if (!WiringTest(*board, sim.get(), step).Run()) status = 1;
        }
    }
    if (options->watch && status == 0) status = Watch(registry, simulated ? &simBackend : nullptr,
                                                      *options);
    registry.CloseAll();
    return status;
}
