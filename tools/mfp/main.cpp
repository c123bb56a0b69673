// mfp: the Tarnell Multi Function Panel companion tool.
#include "tools/mfp/commands.h"

#include <cstdio>
#include <cstring>

namespace {

int PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: mfp COMMAND [OPTIONS]\n\ncommands:\n");
    for (const Command& command : AllCommands()) std::fprintf(out, "  %s\n", command.usage);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& command : AllCommands()) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(Arguments(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "mfp: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
