// The interactive panel simulator: draws every panel in the terminal and lets the keyboard
// toggle its switches while a scripted flight moves the gauges.
#pragma once

#include "tools/mfp/demo/demo_runtime.h"

// Whether standard input and output are a terminal the interactive mode can draw on.
bool DemoTerminalAvailable();

// Runs until q, Ctrl-C or the end of the input; the terminal is restored either way. Returns
// the exit status.
int RunDemoTerminal(DemoRuntime& runtime);
