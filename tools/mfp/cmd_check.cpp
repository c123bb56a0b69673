// mfp check [--json | --map] [--section SERIAL] INI: shows every board section of a configuration file
// as the module builds it, or the corruption the module would report, with warnings.
#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "config/output_fields.h"
#include "tools/mfp/check_report.h"
#include "tools/mfp/output_places.h"
#include "tools/mfp/arguments.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

namespace {

// The module reads a few KiB; anything near this is not a configuration file.
constexpr std::size_t kMaxInputSize = 1 << 20;

struct CheckOptions {
    bool json = false;
    bool map = false;
    bool oneSection = false;
    std::string section;
    std::string iniPath;
};

void ParseOptions(ArgumentReader& reader, CheckOptions& options) {
    while (reader.Next()) {
        if (reader.Is("--json")) {
            options.json = true;
        } else if (reader.Is("--map")) {
            options.map = true;
        } else if (reader.Is("--section")) {
            options.oneSection = true;
            options.section = reader.Value().value_or("");
        } else if (reader.IsOperand() && reader.Current().size() > 1 && reader.Current()[0] == '-') {
            // -h and the like are options mistyped; a file so named is written ./-h.
            reader.Fail("unknown option");
        } else if (reader.IsOperand() && options.iniPath.empty()) {
            options.iniPath = reader.Current();
        } else {
            reader.Unexpected();
        }
    }
    if (options.map && options.json) {
        reader.Fail("--map", "the map is text: leave out --json");
    } else if (options.iniPath.empty()) {
        reader.Fail("INI", "the configuration file to check is missing");
    } else if (options.iniPath != "-" && options.iniPath != "/dev/stdin") {
        const std::string why = UnreadableFile(options.iniPath);
        if (!why.empty()) reader.Fail(options.iniPath, why);
    }
}

enum class Input { Read, Unreadable, TooLarge };

// The whole file, or standard input for "-" and "/dev/stdin", read once: a pipe gives its text
// only once, and every section is then read from memory.
Input ReadInput(const std::string& path, std::string& text) {
    const bool standardInput = path == "-" || path == "/dev/stdin";
    std::FILE* file = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!file) return Input::Unreadable;
#ifdef _WIN32
    if (standardInput) _setmode(_fileno(stdin), _O_BINARY);  // CR LF and ^Z as the file holds them
#endif
    char chunk[4096];
    std::size_t count;
    while (text.size() <= kMaxInputSize && (count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, count);
    const bool failed = std::ferror(file) != 0;
    if (!standardInput) std::fclose(file);
    if (failed) return Input::Unreadable;
    return text.size() > kMaxInputSize ? Input::TooLarge : Input::Read;
}

void PrintOutput(std::size_t number, const MFPOutput& o) {
    const std::string gaugeName = GaugeVariableName(o.gaugeVariable);
    std::printf("    %2zu  %-7s flags %X  gauge %d%s%s  format \"%s\"", number, KindName(o.Kind()),
                static_cast<unsigned>(o.flags), o.gaugeVariable, gaugeName.empty() ? "" : " ", gaugeName.c_str(),
                TerminalText(o.format).c_str());
    for (const OutputField& field : DecimalFieldsOf(o.Kind()))
        if (field.shown) std::printf("  %s %s", field.name, OutputFieldText(field, o).c_str());
    std::printf("\n");
}

void PrintSection(const SectionCheck& check, bool map) {
    std::printf("[%s]\n", TerminalText(check.section).c_str());
    if (check.corrupt) {
        std::printf("  corrupt: item \"%s\"; the module shows:\n", check.corruptItem.c_str());
        std::string indented = "    ";
        for (const char c : check.messageText) indented += c == '\n' ? std::string("\n    ") : std::string(1, c);
        std::printf("%s\n", indented.c_str());
    } else {
        std::printf("  inputs:\n");
        int number = 0;
        for (const auto& [key, input] : check.inputs)
            std::printf("    SW%-2d  %s  event %X  value %d\n", ++number, key.c_str(),
                        static_cast<unsigned>(input.eventId), input.value);
        std::printf("  outputs: %zu\n", check.outputs.size());
        for (std::size_t i = 0; i < check.outputs.size(); ++i) PrintOutput(i + 1, check.outputs[i]);
        if (map)
            for (const std::string& line : PanelMap(check.outputs)) std::printf("  %s\n", line.c_str());
    }
    for (const std::string& warning : check.warnings) std::printf("  warning: %s\n", TerminalText(warning).c_str());
}

}  // namespace

int RunCheckCommand(const Arguments& args) {
    CheckOptions options;
    ArgumentReader reader("check", args);
    ParseOptions(reader, options);
    if (const auto status = reader.Finish()) return *status;
    std::string text;
    const Input input = ReadInput(options.iniPath, text);
    if (input == Input::TooLarge) {
        std::fprintf(stderr, "mfp check: %s is larger than 1 MiB; a configuration file holds a few KiB\n",
                     UserText(options.iniPath).c_str());
        return 2;
    }
    if (input != Input::Read) {
        std::fprintf(stderr, "mfp check: cannot read %s\n", UserText(options.iniPath).c_str());
        return 2;
    }
    const ProfileText profile(std::move(text));
    const std::vector<SectionCheck> checks =
        CheckConfiguration(profile, options.iniPath, options.oneSection ? &options.section : nullptr);
    bool anyCorrupt = false;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        anyCorrupt |= checks[i].corrupt;
        if (options.json) continue;
        if (i) std::printf("\n");
        PrintSection(checks[i], options.map);
    }
    if (options.json) std::printf("%s\n", CheckJson(checks).c_str());
    else if (checks.empty()) std::printf("no board sections in %s\n", UserText(options.iniPath).c_str());
    return anyCorrupt ? 1 : 0;
}
