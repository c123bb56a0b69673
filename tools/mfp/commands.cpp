#include "tools/mfp/commands.h"

// One line per command; each command lives in its own cmd_*.cpp file.
const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"eval", "eval [--degrees] [STATEMENT...]  evaluate output formulas (stdin lines without statements)", RunEvalCommand},
    };
    return commands;
}
