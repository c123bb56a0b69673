// mfp panels: lists the attached controller boards, and on request lights every LED and digit
// of each panel in turn (a wiring check for builders) or prints every switch that goes on or
// off. Simulated boards (--sim) stand in for real ones, which mfp.exe reaches through the kit.
#include <algorithm>
#include <array>
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
#include "iokit/iokit.h"
#include "os/same_name.h"
#include "os/sim_board.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

namespace {

using Milliseconds = std::chrono::milliseconds;

constexpr int kRealStepMs = 100;  // long enough to see each LED on a real panel

// One action of --sim-keys: press or release a key of a simulated board, or wait.
struct KeyAction {
    enum class Verb { Press, Release, Wait } verb = Verb::Wait;
    std::string serial;
    int byte = 0;
    int bit = 0;
    int waitMs = 0;
};

struct PanelsOptions {
    std::vector<SimBoardSetup> sims;
    bool test = false;
    bool watch = false;
    std::optional<int> stepMs;
    std::optional<int> watchMs;  // none: until Ctrl-C
    std::vector<KeyAction> simKeys;
};

std::optional<int> ParseCount(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

// A board text that the kit also opens: the simulated boards go through the kit as real ones do.
std::optional<SimBoardSetup> ParseSim(const std::string& text, std::string& problem) {
    auto setup = ParseSimBoardText(text, &problem);
    if (setup && !KitSupportedDevices().Accepts({setup->vendorId, setup->productId})) {
        problem = "product id " + text.substr(0, 4) + ": the kit opens";
        for (const std::uint16_t id : KitSupportedDevices().productIds) {
            char hex[8];
            std::snprintf(hex, sizeof hex, " %04X", id);
            problem += hex;
        }
        return std::nullopt;
    }
    return setup;
}

// "press SERIAL BYTE BIT; wait MS; ..." on the given simulated boards; nothing when an action is
// wrong, which then names itself in problem.
std::optional<std::vector<KeyAction>> ParseKeyScript(const std::string& script,
                                                     const std::vector<SimBoardSetup>& sims,
                                                     std::string& problem) {
    std::vector<KeyAction> actions;
    std::stringstream texts(script);
    for (std::string text; std::getline(texts, text, ';');) {
        std::stringstream words(text);
        std::string verb, extra;
        KeyAction action;
        if (!(words >> verb)) continue;
        bool good = false;
        if (verb == "wait") {
            good = words >> action.waitMs && action.waitMs >= 0;
        } else if (verb == "press" || verb == "release") {
            action.verb = verb == "press" ? KeyAction::Verb::Press : KeyAction::Verb::Release;
            good = words >> action.serial >> action.byte >> action.bit && action.byte >= 0 &&
                   action.byte <= 7 && action.bit >= 0 && action.bit <= 7 &&
                   std::any_of(sims.begin(), sims.end(),
                               [&](const SimBoardSetup& sim) { return sim.serial == action.serial; });
        }
        if (!good || words >> extra) {
            problem = text + ": press SERIAL BYTE BIT, release SERIAL BYTE BIT or wait MS expected "
                             "(SERIAL a --sim board, BYTE and BIT 0 to 7)";
            return std::nullopt;
        }
        actions.push_back(action);
    }
    return actions;
}

PanelsOptions ParseOptions(ArgumentReader& reader) {
    PanelsOptions options;
    std::optional<std::string> simKeys;
    std::string problem;
    while (reader.Next()) {
        if (reader.Is("--test")) {
            options.test = true;
        } else if (reader.Is("--watch")) {
            options.watch = true;
        } else if (reader.Is("--sim")) {
            const auto setup = ParseSim(reader.Value().value_or(""), problem);
            // The same chip twice would be one board: the serial (or name) picks the chip.
            const bool twice = setup && std::any_of(options.sims.begin(), options.sims.end(), [&](const SimBoardSetup& sim) {
                                   return sim.productId == setup->productId && SameName(sim.serial, setup->serial);
                               });
            if (!setup) reader.Fail(problem);
            else if (twice) reader.Fail("the board is simulated already");
            else options.sims.push_back(*setup);
        } else if (reader.Is("--step-ms") || reader.Is("--watch-ms")) {
            const bool step = reader.Is("--step-ms");
            const std::optional<int> count = ParseCount(reader.Value().value_or(""));
            (step ? options.stepMs : options.watchMs) = count;
            if (!count) reader.Fail("a whole number of milliseconds expected");
        } else if (reader.Is("--sim-keys")) {
            simKeys = reader.Value();
        } else {
            reader.Unexpected();
        }
    }
    if (simKeys && !reader.Failed()) {
        if (options.sims.empty() || !options.watch) {
            reader.Fail("--sim-keys", "needs --sim and --watch");
        } else if (auto actions = ParseKeyScript(*simKeys, options.sims, problem)) {
            options.simKeys = std::move(*actions);
        } else {
            reader.Fail("--sim-keys", problem);
        }
    }
    return options;
}

// --- Listing

bool IsPanel(int type, int version) { return type == 2 && version == 1; }

// The boards in device-key order, each named by its serial, or "#N", its place in the listing,
// for a chip without one: those share a key, and the listing, tests and switch lines must
// still tell them apart.
struct ListedBoard {
    std::string key;
    CTarnellController* board;
    std::string name;
};

std::vector<ListedBoard> ListedBoards(const CTarnellControllers& registry) {
    std::vector<ListedBoard> listed;
    for (std::size_t i = 0; i < registry.Boards().size(); ++i)
        listed.push_back({registry.KeyAt(static_cast<int>(i)), registry.Boards()[i].get(), ""});
    std::stable_sort(listed.begin(), listed.end(),
                     [](const ListedBoard& a, const ListedBoard& b) { return a.key < b.key; });
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string serial = listed[i].board->GetSerialNumber();
        listed[i].name = serial.empty() ? "#" + std::to_string(i + 1) : TerminalText(serial);
    }
    return listed;
}

void ListBoards(const std::vector<ListedBoard>& boards) {
    std::printf("%-16s %-9s %-10s %-9s %s\n", "device key", "serial", "product", "module 1",
                "panel");
    std::map<std::string, std::vector<std::string>> namesByKey;
    for (const ListedBoard& listed : boards) {
        int type = -1;
        int version = -1;
        char module[16] = "no answer";
        if (listed.board->GetModuleId(type, version, 1))
            std::snprintf(module, sizeof module, "%02X %02X", type, version);
        namesByKey[listed.key].push_back(listed.name);
        std::printf("%-16s %-9s 0x%04X     %-9s %s\n", TerminalText(listed.key).c_str(), listed.name.c_str(),
                    listed.board->ProductId(), module, IsPanel(type, version) ? "yes" : "no");
    }
    // The module tells boards apart by their device key, so of boards sharing one it uses one.
    for (const auto& [key, names] : namesByKey) {
        if (names.size() < 2) continue;
        std::string list;
        for (std::size_t i = 0; i < names.size(); ++i) list += (i ? (i + 1 == names.size() ? " and " : ", ") : "") + names[i];
        std::printf("note: %s have no serial number and share the device key %s: the module uses only %s\n",
                    list.c_str(), TerminalText(key).c_str(), names.back().c_str());
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
    WiringTest(CTarnellController& board, std::string name, const SimBoard* sim, Milliseconds step)
        : board(board), sim(sim), step(step), serial(std::move(name)) {}

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
    std::string name;
    std::array<std::uint8_t, 8> previous{};
};

int PrintChanges(const std::string&, const std::uint8_t* keys, void* context) {
    if (keys == nullptr) return 1;
    auto& watched = *static_cast<WatchedBoard*>(context);
    for (int byte = 0; byte < 8; ++byte) {
        const int changed = keys[byte] ^ watched.previous[static_cast<std::size_t>(byte)];
        for (int bit = 0; bit < 8; ++bit) {
            if ((changed >> bit & 1) == 0) continue;
            std::printf("%s %02d%02d %-4s %s\n", watched.name.c_str(), byte, bit,
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

using Clock = std::chrono::steady_clock;

// Until Ctrl-C or the time, whichever comes first.
void WaitUntil(Clock::time_point until) {
    while (!stopRequested && Clock::now() < until)
        std::this_thread::sleep_for(std::min(Milliseconds(20),
                                             std::chrono::duration_cast<Milliseconds>(until - Clock::now())));
}

// Plays the key actions until they end, Ctrl-C or the end of the watch.
void PlayKeys(const SimHidBackend& backend, const std::vector<KeyAction>& actions, Clock::time_point end) {
    for (const KeyAction& action : actions) {
        if (stopRequested || Clock::now() >= end) return;
        if (action.verb == KeyAction::Verb::Wait) {
            WaitUntil(std::min(end, Clock::now() + Milliseconds(action.waitMs)));
        } else if (const auto sim = FindSim(backend, action.serial)) {
            if (action.verb == KeyAction::Verb::Press) sim->PressKey(action.byte, action.bit);
            else sim->ReleaseKey(action.byte, action.bit);
        }
    }
}

void Watch(const std::vector<ListedBoard>& boards, const SimHidBackend& simBackend, const PanelsOptions& options) {
    std::vector<WatchedBoard> watched(boards.size());
    std::vector<CTarnellController*> registered;
    for (std::size_t i = 0; i < boards.size(); ++i) {
        watched[i].name = boards[i].name;
        if (boards[i].board->SetKeyMatrixCallback(true, PrintChanges, &watched[i]))
            registered.push_back(boards[i].board);
        else
            std::fprintf(stderr, "mfp panels: %s: the key matrix could not be switched on\n", boards[i].name.c_str());
    }
    const auto end = options.watchMs ? Clock::now() + Milliseconds(*options.watchMs) : Clock::time_point::max();
    stopRequested = false;
    std::signal(SIGINT, RequestStop);
    PlayKeys(simBackend, options.simKeys, end);
    WaitUntil(end);
    std::signal(SIGINT, SIG_DFL);
    for (CTarnellController* board : registered) board->SetKeyMatrixCallback(false, nullptr, nullptr);
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
    ArgumentReader reader("panels", args);
    const PanelsOptions options = ParseOptions(reader);
    if (const auto status = reader.Finish()) return *status;

    SimHidBackend simBackend;
    const bool simulated = !options.sims.empty();
    if (simulated) {
        for (const SimBoardSetup& setup : options.sims) simBackend.AddBoard(setup);
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
    const std::vector<ListedBoard> boards = ListedBoards(registry);
    ListBoards(boards);

    int status = 0;
    if (options.test) {
        const Milliseconds step(options.stepMs.value_or(simulated ? 0 : kRealStepMs));
        for (const ListedBoard& listed : boards) {
            int type = -1, version = -1;
            if (!listed.board->GetModuleId(type, version, 1) || !IsPanel(type, version)) continue;
            // A chip without a serial cannot be told from its simulated twin: only the writes count.
            const std::string serial = listed.board->GetSerialNumber();
            const auto sim = simulated && !serial.empty() ? FindSim(simBackend, serial) : nullptr;
            if (!WiringTest(*listed.board, listed.name, sim.get(), step).Run()) status = 1;
        }
    }
    if (options.watch && status == 0) Watch(boards, simBackend, options);
    registry.CloseAll();
    return status;
}
