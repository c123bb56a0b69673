// mfp check [--json] [--section SERIAL] INI: shows every board section of a configuration file
// as the module builds it, or the corruption the module would report, with warnings.
#include <cstdio>
#include <string>
#include <vector>

#include "config/check_section.h"
#include "os/profile_file.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

namespace {

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
                static_cast<unsigned>(o.flags), o.gaugeVariable, o.format.c_str());
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
    std::printf("[%s]\n", check.section.c_str());
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
    for (const std::string& warning : check.warnings) std::printf("  warning: %s\n", warning.c_str());
}

}  // namespace

int RunCheckCommand(const Arguments& args) {
    CheckOptions options;
    ArgumentReader reader("check", args);
    ParseOptions(reader, options);
    if (const auto status = reader.Finish()) return *status;
    const SimProfileFile profile;
    std::vector<std::string> sections;
    if (!profile.ReadSectionNames(options.iniPath, sections)) {
        std::fprintf(stderr, "mfp check: cannot read %s\n", options.iniPath.c_str());
        return 2;
    }
    if (options.oneSection) sections = {options.section};
    else sections = BoardSections(sections);

    bool anyCorrupt = false;
    std::string json = "{\"sections\":[";
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const SectionCheck check = CheckSection(profile, options.iniPath, sections[i]);
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
