// The subcommands of the mfp companion tool. Each takes the arguments after its own name
// and returns the process exit status.
#pragma once

#include "tools/mfp/arguments.h"

int RunCheckCommand(const Arguments& args);
int RunDemoCommand(const Arguments& args);
int RunEvalCommand(const Arguments& args);
int RunEventsCommand(const Arguments& args);
int RunPanelsCommand(const Arguments& args);
int RunVarsCommand(const Arguments& args);
