#include "tools/mfp/demo/demo_terminal.h"

#include <cstdio>

int RunDemoTerminal(DemoRuntime&) {
    std::fprintf(stderr, "mfp demo: the interactive mode is not built yet; use --script FILE\n");
    return 1;
}
