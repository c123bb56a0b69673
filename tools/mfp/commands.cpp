#include "tools/mfp/commands.h"

// One line per command; each command lives in its own cmd_*.cpp file.
const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"check", "check [--json] [--section SERIAL] INI   check a configuration file", RunCheckCommand},
        {"demo", "demo [--ini FILE] [--sim SERIAL]... [--script FILE]   the panel simulator", RunDemoCommand},
        {"eval", "eval [--degrees] [STATEMENT...]  evaluate output formulas (stdin lines without statements)", RunEvalCommand},
        {"events", "events [--category N] [--search TEXT] [--json]   list the event ids", RunEventsCommand},
        {"panels", "panels [--sim PID:SERIAL[:TYPE:VERSION]]... [--test] [--watch]   list and check the boards", RunPanelsCommand},
    };
    return commands;
}
