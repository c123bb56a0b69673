// The interactive panel simulator on Windows: a window that looks like the panels, with a button
// for each switch, the controls of the terminal demo and the lists of what the simulator got.
#pragma once

#include "tools/mfp/demo/demo_runtime.h"

// Whether the demo opens its window: on Windows, unless standard output goes to a file or a pipe
// (then it plays its script and prints, as everywhere).
bool DemoWindowAvailable();

// Runs until the window is closed. Returns the exit status.
int RunDemoWindow(DemoRuntime& runtime);
