#include "tools/mfp/arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/mfp/output_text.h"

void PrintCommandHelp(const CommandHelp& help) {
    std::printf("usage: mfp %s %s\n%s\n\n%s"
                "  --help            this help\n"
                "  --                ends the options: what follows is never taken for one\n"
                "%s%s",
                help.name, help.synopsis, help.summary, help.options, *help.notes ? "\n" : "", help.notes);
}

std::string UnreadableFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "is a directory";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::strerror(errno);
    std::fclose(file);
    return "";
}

ArgumentReader::ArgumentReader(std::string_view command, const Arguments& args, bool operandsEndOptions)
    : help(*FindCommandHelp(command)), args(args), operandsEndOptions(operandsEndOptions) {}

bool ArgumentReader::Next() {
    if (helpWanted || Failed()) return false;
    for (at = next; at < args.size(); ++at) {
        option = !optionsEnded && args[at].size() > 2 && args[at].compare(0, 2, "--") == 0;
        if (!optionsEnded && args[at] == "--") {
            optionsEnded = true;
            continue;
        }
        if (!option && operandsEndOptions) optionsEnded = true;
        next = at + 1;
        if (!Is("--help")) return true;
        helpWanted = true;
        return false;
    }
    return false;
}

bool ArgumentReader::Is(std::string_view name) const { return option && args[at] == name; }

std::optional<std::string> ArgumentReader::Value() {
    if (next >= args.size()) {
        Fail("a value must follow");
        return std::nullopt;
    }
    return args[next++];
}

void ArgumentReader::Fail(std::string_view why) {
    std::string argument;
    for (std::size_t n = at; n < next; ++n) argument += (n == at ? "" : " ") + args[n];
    Fail(argument, why);
}

void ArgumentReader::Fail(std::string_view argument, std::string_view why) {
    if (!Failed()) error = UserText(std::string(argument) + ": " + std::string(why));
}

void ArgumentReader::Unexpected() { Fail(option ? "unknown option" : "unexpected argument"); }

std::optional<int> ArgumentReader::Finish() const {
    // Help asked for before any error; what the command found missing after that does not matter.
    if (helpWanted) {
        PrintCommandHelp(help);
        return 0;
    }
    if (!Failed()) return std::nullopt;
    std::fprintf(stderr, "mfp %s: %s\nusage: mfp %s %s\n", help.name, error.c_str(), help.name, help.synopsis);
    return 2;
}
