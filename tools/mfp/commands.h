// The subcommands of the mfp companion tool. Each takes the arguments after its own name
// and returns the process exit status.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;  // one line for "mfp help"
    int (*run)(const Arguments& args);
};

int RunCheckCommand(const Arguments& args);
int RunDemoCommand(const Arguments& args);
int RunEvalCommand(const Arguments& args);
int RunEventsCommand(const Arguments& args);
int RunPanelsCommand(const Arguments& args);

// Every command the tool knows, in the order "mfp help" lists them.
const std::vector<Command>& AllCommands();

