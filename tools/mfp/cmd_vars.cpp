// mfp vars [--search TEXT] [--json]: lists FS2004's gauge variables, so that users writing an
// output by hand find the number or name of the value they want to show.
#include "catalogue/gauge_variables.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

struct VarsOptions {
    std::string search;
    bool json = false;
};

VarsOptions ParseOptions(ArgumentReader& reader) {
    VarsOptions options;
    while (reader.Next()) {
        if (reader.Is("--json")) {
            options.json = true;
        } else if (reader.Is("--search")) {
            options.search = reader.Value().value_or("");
        } else {
            reader.Unexpected();
        }
    }
    return options;
}

// Names are written with "_" where descriptions have spaces: both match either, in any case.
std::string Searchable(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == '_') c = ' ';
    }
    return folded;
}

// `wanted` is already Searchable.
bool Matches(const GaugeVariableInfo& variable, const std::string& wanted) {
    return Searchable(variable.name).find(wanted) != std::string::npos ||
           Searchable(GaugeVariableText(variable)).find(wanted) != std::string::npos;
}

}  // namespace

int RunVarsCommand(const Arguments& args) {
    ArgumentReader reader("vars", args);
    const VarsOptions options = ParseOptions(reader);
    if (const auto status = reader.Finish()) return *status;
    const std::string wanted = Searchable(options.search);
    const char* separator = "\n";
    if (options.json) std::printf("[");
    for (const GaugeVariableInfo& variable : GaugeVariables()) {
        if (!Matches(variable, wanted)) continue;
        if (options.json) {
            std::printf("%s{\"number\":%d,\"name\":%s,\"description\":%s,\"unit\":%s}", separator, variable.number,
                        JsonString(variable.name).c_str(), JsonString(variable.description).c_str(),
                        JsonString(variable.unit).c_str());
            separator = ",\n";
        } else {
            std::printf("%d\t%s\t%s\n", variable.number, variable.name, GaugeVariableText(variable).c_str());
        }
    }
    if (options.json) std::printf("\n]\n");
    return 0;
}
