// mfp demo: the panel simulator. The real panel runtime runs against simulated panels and a
// simulated simulator host. Interactively it draws the panels in a window on Windows and in the
// terminal elsewhere; with --script, or with nowhere to draw (then the bundled flight), it plays
// a script and prints what the host and the panels saw, for tests and bug reports.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "config/parse_hex_text.h"
#include "tools/mfp/arguments.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/demo/demo_runtime.h"
#include "tools/mfp/output_text.h"
#include "tools/mfp/demo/demo_script.h"
#include "tools/mfp/demo/demo_terminal.h"
#include "tools/mfp/demo/demo_window.h"

namespace {

struct DemoOptions {
    std::string iniPath;
    std::vector<std::string> serials;
    std::string scriptPath;
};

// The options; nothing with `status` 0 after the help, 2 after telling what is wrong.
std::optional<DemoOptions> ParseOptions(const Arguments& args, int& status) {
    ArgumentReader reader("demo", args);
    DemoOptions options;
    while (reader.Next()) {
        const bool sim = reader.Is("--sim");
        if (!sim && !reader.Is("--ini") && !reader.Is("--script")) {
            reader.Unexpected();
            continue;
        }
        const std::optional<std::string> value = reader.Value();
        if (!value) continue;
        if (sim) {
            std::string serial = *value;
            for (char& c : serial) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (!IsHexDigits(serial, 8))
                reader.Fail("a serial is 8 hexadecimal digits");
            else if (std::count(options.serials.begin(), options.serials.end(), serial) != 0)
                reader.Fail("the panel is simulated already");
            else
                options.serials.push_back(serial);
            continue;
        }
        std::string& path = reader.Is("--ini") ? options.iniPath : options.scriptPath;
        // "--script -" reads the script from standard input.
        const bool standardInput = reader.Is("--script") && *value == "-";
        const std::string why = !path.empty() ? "given twice" : standardInput ? "" : UnreadableFile(*value);
        if (!why.empty()) reader.Fail(why);
        else path = *value;
    }
    if (const auto finished = reader.Finish()) {
        status = *finished;
        return std::nullopt;
    }
    if (options.serials.empty()) options.serials.push_back("0000A1B2");
    return options;
}

// Standard output is written by the host's observer (board threads) and by "show" (this
// thread); each line goes out whole.
std::mutex outputLock;

void PrintLine(const std::string& line) {
    std::lock_guard<std::mutex> guard(outputLock);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

void ShowPanels(DemoRuntime& runtime) {
    runtime.AwaitFreshPass();
    for (const DemoPanel& panel : runtime.Panels()) {
        const auto rows = panel.board->LedRows();
        std::string matrix = "panel " + panel.serial + " matrix";
        for (uint32_t row : rows) matrix += " " + Hex(row, 8);
        std::string ports = "panel " + panel.serial + " ports";
        for (uint8_t port : panel.board->PortLines()) ports += " " + Hex(port, 2);
        PrintLine(matrix);
        PrintLine(ports);
        PrintLine("panel " + panel.serial + " digits \"" + DigitText(rows) + "\"");
    }
}

void PrintReloads(DemoRuntime& runtime) {
    for (const std::string& line : runtime.TakeFileReloads()) PrintLine(line);
}

void Run(DemoRuntime& runtime, const DemoCommand& command) {
    using Verb = DemoCommand::Verb;
    DemoPanel& panel = *runtime.Panel(command.panel);
    switch (command.verb) {
        case Verb::Press:
        case Verb::Release:
            runtime.SetSwitch(panel, command.switchNumber, command.verb == Verb::Press);
            break;
        case Verb::Gauge:
            runtime.host.SetGauge(command.gauge, command.value, command.typeCode);
            break;
        case Verb::Wait: {
            // The configuration file may change meanwhile: its reload is told as it comes.
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(command.milliseconds);
            while (std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_until(std::min(end, std::chrono::steady_clock::now() + std::chrono::milliseconds(50)));
                PrintReloads(runtime);
            }
            break;
        }
        case Verb::ViewOff:
        case Verb::ViewOn:
            runtime.SetView(command.verb == Verb::ViewOn);
            break;
        case Verb::Unplug:
            panel.board->Pull();
            runtime.Reload();
            break;
        case Verb::Plug:
            panel.board->Plug();
            runtime.Reload();
            break;
        case Verb::Show:
            ShowPanels(runtime);
            break;
    }
}

// Plays the script `text` (named `name` in messages).
int RunScript(std::istream& text, const std::string& name, const DemoOptions& options) {
    std::string error;
    const auto commands =
        ParseDemoScript(text, static_cast<int>(options.serials.size()), error);
    if (!commands) {
        // The line may hold any bytes: shown as UTF-8, control characters as \xNN.
        std::fprintf(stderr, "mfp demo: %s: %s\n", UserText(name).c_str(), UserText(error).c_str());
        return 2;
    }
    DemoRuntime runtime(options.serials, options.iniPath);
    runtime.host.SetObserver([](const SimHostRecord& record) {
        if (record.kind == SimHostRecord::Kind::Event)
            PrintLine("event 0x" + Hex(record.eventId, 1) + " " +
                      std::to_string(static_cast<int32_t>(record.value)));
        else if (record.kind == SimHostRecord::Kind::KeyDown)
            PrintLine("key 0x" + Hex(record.value, 2));
    });
    const int started = runtime.Start();
    std::fprintf(stderr, "mfp demo: %d panel(s) started\n", started);
    for (const DemoCommand& command : *commands) {
        PrintReloads(runtime);
        Run(runtime, command);
    }
    PrintReloads(runtime);
    runtime.Stop();
    return 0;
}

}  // namespace

int RunDemoCommand(const Arguments& args) {
    int status = 0;
    const std::optional<DemoOptions> options = ParseOptions(args, status);
    if (!options) return status;
    if (options->scriptPath == "-") return RunScript(std::cin, "standard input", *options);
    if (!options->scriptPath.empty()) {
        std::ifstream script(options->scriptPath);
        return RunScript(script, options->scriptPath, *options);
    }
    if (DemoWindowAvailable()) {
        DemoRuntime runtime(options->serials, options->iniPath);
        return RunDemoWindow(runtime);
    }
    if (!DemoTerminalAvailable()) {
        std::fprintf(stderr, "mfp demo: no terminal: playing the bundled flight\n");
        std::istringstream flight(BundledFlight());
        return RunScript(flight, "the bundled flight", *options);
    }
    DemoRuntime runtime(options->serials, options->iniPath);
    return RunDemoTerminal(runtime);
}
