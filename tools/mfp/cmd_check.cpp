// mfp check [--json] [--section SERIAL] INI: shows every board section of a configuration file
// as the module builds it, or the corruption the module would report, with warnings.
#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "config/check_section.h"
#include "os/profile_file.h"
#include "panels/output_rules.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

namespace {

// The module reads a few KiB; anything near this is not a configuration file.
constexpr std::size_t kMaxInputSize = 1 << 20;

struct CheckOptions {
    bool json = false;
    bool oneSection = false;
    std::string section;
    std::string iniPath;
};

void ParseOptions(ArgumentReader& reader, CheckOptions& options) {
    while (reader.Next()) {
        if (reader.Is("--json")) {
            options.json = true;
        } else if (reader.Is("--section")) {
            options.oneSection = true;
            options.section = reader.Value().value_or("");
        } else if (reader.IsOperand() && options.iniPath.empty()) {
            options.iniPath = reader.Current();
        } else {
            reader.Unexpected();
        }
    }
    if (options.iniPath.empty()) reader.Fail("INI", "the configuration file to check is missing");
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

// One warning for each output that a pass with a sample gauge value leaves dark, from the
// runtime's own formatting and evaluator.
void AddTrialWarnings(SectionCheck& check) {
    for (const OutputTrial& trial : TryOutputs(check.outputs)) {
        const MFPOutput& output = check.outputs[trial.output];
        if (output.Kind() == OutputKind::None) continue;  // warned already: it shows nothing
        std::string warning = "outputs: output " + std::to_string(trial.output + 1) + ": ";
        if (trial.step == OutputStep::UnusableFormat) {
            warning += trial.problem;
        } else {
            char value[32];
            std::snprintf(value, sizeof value, "%g", trial.value);
            warning += "\"" + output.format + "\" gives " + trial.problem + " for " + value;
            if (trial.typeCode != kGaugeTypeDouble) warning += " as type code " + std::to_string(trial.typeCode);
        }
        check.warnings.push_back(warning + (output.Kind() == OutputKind::Display ? "; the display" : "; the LED") +
                                 " stays dark");
    }
}

// Every named section but "Misc" (the module's global settings) is a board's.
std::vector<std::string> BoardSections(const std::vector<std::string>& sections) {
    std::vector<std::string> boards;
    for (const std::string& name : sections) {
        std::string lower;
        for (const char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (!name.empty() && lower != "misc") boards.push_back(name);
    }
    return boards;
}

const char* KindName(OutputKind kind) {
    switch (kind) {
        case OutputKind::Display: return "display";
        case OutputKind::PortLed: return "port";
        case OutputKind::MatrixLed: return "matrix";
        case OutputKind::None: break;
    }
    return "none";
}

std::string JsonOutput(const MFPOutput& o) {
    std::string json = "{\"flags\":" + std::to_string(o.flags) + ",\"kind\":\"" + KindName(o.Kind()) +
                       "\",\"gauge\":" + std::to_string(o.gaugeVariable) + ",\"format\":" + JsonString(o.format);
    switch (o.Kind()) {
        case OutputKind::Display:
            json += ",\"digit\":" + std::to_string(o.startDigit) + ",\"decimalPoint\":" +
                    (o.decimalPoint ? "true" : "false") + ",\"width\":" + std::to_string(o.width);
            break;
        case OutputKind::PortLed:
            json += ",\"port\":" + std::to_string(o.port) + ",\"bit\":" + std::to_string(o.bit) +
                    ",\"on\":" + std::to_string(o.onValue) + ",\"off\":" + std::to_string(o.offValue);
            break;
        case OutputKind::MatrixLed:
            json += ",\"led\":" + std::to_string(o.matrixLed) + ",\"on\":" + std::to_string(o.onValue) +
                    ",\"off\":" + std::to_string(o.offValue);
            break;
        case OutputKind::None: break;
    }
    return json + "}";
}

std::string JsonSection(const SectionCheck& check) {
    std::string json = "{\"section\":" + JsonString(check.section);
    if (check.corrupt) {
        json += ",\"error\":\"corruption\",\"item\":" + JsonString(check.corruptItem);
    } else {
        json += ",\"inputs\":[";
        const char* separator = "";
        for (const auto& [key, input] : check.inputs) {
            json += separator;
            json += "{\"key\":" + JsonString(key) + ",\"event\":" + std::to_string(input.eventId) +
                    ",\"value\":" + std::to_string(input.value) + "}";
            separator = ",";
        }
        json += "],\"outputs\":[";
        separator = "";
        for (const MFPOutput& output : check.outputs) {
            json += separator + JsonOutput(output);
            separator = ",";
        }
        json += "]";
    }
    json += ",\"warnings\":[";
    const char* separator = "";
    for (const std::string& warning : check.warnings) {
        json += separator + JsonString(warning);
        separator = ",";
    }
    return json + "]}";
}

void PrintOutput(std::size_t number, const MFPOutput& o) {
    std::printf("    %2zu  %-7s flags %X  gauge %d  format \"%s\"", number, KindName(o.Kind()),
                static_cast<unsigned>(o.flags), o.gaugeVariable, TerminalText(o.format).c_str());
    switch (o.Kind()) {
        case OutputKind::Display:
            std::printf("  digit %d  decimal point %s  width %d\n", o.startDigit, o.decimalPoint ? "on" : "off", o.width);
            break;
        case OutputKind::PortLed:
            std::printf("  port %d  bit %d  on %d  off %d\n", o.port, o.bit, o.onValue, o.offValue);
            break;
        case OutputKind::MatrixLed:
            std::printf("  led %d  on %d  off %d\n", o.matrixLed, o.onValue, o.offValue);
            break;
        case OutputKind::None: std::printf("\n"); break;
    }
}

void PrintSection(const SectionCheck& check) {
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
    const std::vector<std::string> sections =
        options.oneSection ? std::vector<std::string>{options.section} : BoardSections(profile.SectionNames());

    bool anyCorrupt = false;
    std::string json = "{\"sections\":[";
    for (std::size_t i = 0; i < sections.size(); ++i) {
        SectionCheck check = CheckSection(profile, options.iniPath, sections[i]);
        AddTrialWarnings(check);
        anyCorrupt |= check.corrupt;
        if (options.json) {
            json += (i ? "," : "") + JsonSection(check);
        } else {
            if (i) std::printf("\n");
            PrintSection(check);
        }
    }
    if (options.json) std::printf("%s]}\n", json.c_str());
    else if (sections.empty()) std::printf("no board sections in %s\n", options.iniPath.c_str());
    return anyCorrupt ? 1 : 0;
}
