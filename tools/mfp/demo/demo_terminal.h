// The interactive panel simulator: draws every panel in the terminal and lets the keyboard
// toggle its switches while a scripted flight moves the gauges.
#pragma once

#include "tools/mfp/demo/demo_runtime.h"

// Runs until q or Ctrl-C; the terminal is restored either way. Returns the exit status.
int RunDemoTerminal(DemoRuntime& runtime);
