// mfp demo: the panel simulator. The real panel runtime runs against simulated panels and a
// simulated simulator host. Interactively it draws the panels in the terminal; with --script
// it runs a script and prints what the host and the panels saw, for tests and bug reports.
#include <cstdio>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/mfp/commands.h"
#include "tools/mfp/demo/demo_runtime.h"
#include "tools/mfp/demo/demo_script.h"
#include "tools/mfp/demo/demo_terminal.h"

namespace {

struct DemoOptions {
    std::string iniPath;
    std::vector<std::string> serials;
    std::string scriptPath;
};

int PrintUsage() {
    std::fprintf(stderr, "usage: mfp demo [--ini FILE] [--sim SERIAL]... [--script FILE]\n");
    return 2;
}

std::optional<DemoOptions> ParseOptions(const Arguments& args) {
    DemoOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i + 1 >= args.size()) return std::nullopt;
        const std::string& value = args[++i];
        if (arg == "--ini") options.iniPath = value;
        else if (arg == "--script") options.scriptPath = value;
        else if (arg == "--sim" && !value.empty() && value.size() <= 8) options.serials.push_back(value);
        else return std::nullopt;
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
        std::string matrix = "panel " + panel.serial + " matrix";
        for (uint32_t row : panel.board->LedRows()) matrix += " " + Hex(row, 8);
        std::string ports = "panel " + panel.serial + " ports";
        for (uint8_t port : panel.board->PortLines()) ports += " " + Hex(port, 2);
        PrintLine(matrix);
        PrintLine(ports);
    }
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
        case Verb::Wait:
            std::this_thread::sleep_for(std::chrono::milliseconds(command.milliseconds));
            break;
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

int RunScript(const DemoOptions& options) {
    std::ifstream file(options.scriptPath);
    if (!file) {
        std::fprintf(stderr, "mfp demo: cannot read %s\n", options.scriptPath.c_str());
        return 2;
    }
    std::string error;
    const auto commands =
        ParseDemoScript(file, static_cast<int>(options.serials.size()), error);
    if (!commands) {
        std::fprintf(stderr, "mfp demo: %s: %s\n", options.scriptPath.c_str(), error.c_str());
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
    for (const DemoCommand& command : *commands) Run(runtime, command);
    runtime.Stop();
    return 0;
}

}  // namespace

int RunDemoCommand(const Arguments& args) {
    const std::optional<DemoOptions> options = ParseOptions(args);
    if (!options) return PrintUsage();
    if (!options->scriptPath.empty()) return RunScript(*options);
    DemoRuntime runtime(options->serials, options->iniPath);
    return RunDemoTerminal(runtime);
}
