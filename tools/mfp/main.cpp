// mfp: the Tarnell Multi Function Panel companion tool.
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

#include <cstdio>
#include <string>

#include "mfp_version.h"

namespace {

const struct {
    const char* name;
    int (*run)(const Arguments& args);
} kCommands[] = {
    {"check", RunCheckCommand}, {"demo", RunDemoCommand}, {"eval", RunEvalCommand},
    {"events", RunEventsCommand}, {"panels", RunPanelsCommand}, {"vars", RunVarsCommand},
};

const char kUsage[] = "usage: mfp COMMAND [ARGUMENTS]   (mfp help lists the commands)\n";

int PrintHelp() {
    std::printf("usage: mfp COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const CommandHelp& help : AllCommandHelp()) std::printf("  %-7s %s\n", help.name, help.summary);
    std::printf("\nmfp COMMAND --help (or mfp help COMMAND) describes a command; mfp --version shows "
                "the version.\n");
    return 0;
}

int Fail(const char* why) {
    std::fprintf(stderr, "mfp: %s\n%s", why, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("a command is needed");
    const std::string first = argv[1];
    if (first == "--version") {
        std::printf("mfp %s\n", MFP_VERSION_TEXT);
        return 0;
    }
    const bool helpFirst = first == "help" || first == "--help";
    if (helpFirst && argc < 3) return PrintHelp();
    // "mfp help COMMAND", and "mfp COMMAND --help" whether or not the command reads its own.
    if (helpFirst || (argc == 3 && std::string(argv[2]) == "--help")) {
        if (const CommandHelp* help = FindCommandHelp(argv[helpFirst ? 2 : 1])) {
            PrintCommandHelp(*help);
            return 0;
        }
    }
    for (const auto& command : kCommands) {
        if (first == command.name) return command.run(Arguments(argv + 2, argv + argc));
    }
    return Fail((UserText(argv[helpFirst ? 2 : 1]) + ": unknown command").c_str());
}
