#include "tools/mfp/check_report.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/gauge_variables.h"
#include "config/output_fields.h"
#include "os/same_name.h"
#include "panels/output_rules.h"
#include "tools/mfp/output_places.h"
#include "tools/mfp/output_text.h"

namespace {

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

std::string Count(int count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// A digit-per-four-bits variable's sample as it is coded: 0x7777.
std::string SampleText(double value, int gaugeVariable) {
    char text[32];
    if (HoldsDigitsPerNibble(gaugeVariable)) std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    else std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A display whose results light digits it does not clear again: they keep what they showed.
void AddSpillWarnings(SectionCheck& check) {
    for (const SpillTrial& spill : TrySpills(check.outputs)) {
        const MFPOutput& output = check.outputs[spill.output];
        const int first = output.startDigit - 1;
        const std::string gives = "\"" + output.format + "\" gives \"" + spill.text + "\" for " + SampleText(spill.value, output.gaugeVariable);
        const int firstSpilled = first + (output.width > 0 ? output.width : spill.fewestDigits);
        const int lastSpilled = std::min(31, first + spill.digits - 1);
        if (lastSpilled < firstSpilled) continue;  // past digit 32 nothing shows
        const bool several = lastSpilled > firstSpilled;
        const std::string spilled = DigitsText(firstSpilled, lastSpilled);
        std::string warning = "outputs: output " + std::to_string(spill.output + 1) + " (";
        if (output.width > 0)
            warning += DigitsText(first, first + output.width - 1) + "): " + gives + ", " + Count(spill.digits, "digit") +
                       " on a width of " + std::to_string(output.width) + ": it spills onto " + spilled +
                       (several ? ", which keep their digits" : ", which keeps its digit") + " after a shorter result";
        else
            warning += "width 0, from digit " + std::to_string(output.startDigit) + "): " + gives + " and " +
                       Count(spill.fewestDigits, "digit") + " at other values: after it, a shorter result leaves " +
                       spilled + (several ? " as they were" : " as it was");
        check.warnings.push_back(warning);
    }
}

// Outputs that light the same matrix column garble each other; two outputs on one LED or port
// line fight over it.
void AddOverlapWarnings(SectionCheck& check) {
    std::vector<Place> matrix, ports;
    for (Place& place : PlacesOf(check.outputs)) (place.portLine ? ports : matrix).push_back(std::move(place));
    auto warn = [&](const Place& earlier, const Place& later, const char* what) {
        check.warnings.push_back("outputs: output " + std::to_string(later.output + 1) + " (" + later.text + ") and output " +
                                 std::to_string(earlier.output + 1) + " (" + earlier.text + ") " + what);
    };
    for (std::size_t b = 0; b < matrix.size(); ++b) {
        for (std::size_t a = 0; a < b; ++a) {
            const Place &earlier = matrix[a], &later = matrix[b];
            if (later.first > earlier.last || earlier.first > later.last) continue;
            const MFPOutput &x = check.outputs[earlier.output], &y = check.outputs[later.output];
            const bool twoLeds = x.Kind() == OutputKind::MatrixLed && y.Kind() == OutputKind::MatrixLed;
            if (!twoLeds) warn(earlier, later, "share the matrix: each garbles the other");
            else if (x.matrixLed == y.matrixLed) warn(earlier, later, "drive the same LED: the last one written wins");
        }
    }
    for (std::size_t b = 0; b < ports.size(); ++b)
        for (std::size_t a = 0; a < b; ++a)
            if (ports[a].first == ports[b].first) warn(ports[a], ports[b], "drive the same line: the last one written wins");
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

}  // namespace

const char* KindName(OutputKind kind) {
    switch (kind) {
        case OutputKind::Display: return "display";
        case OutputKind::PortLed: return "port";
        case OutputKind::MatrixLed: return "matrix";
        case OutputKind::None: break;
    }
    return "none";
}

std::string GaugeVariableName(int number) {
    const GaugeVariableInfo* variable = FindGaugeVariable(number);
    return variable ? variable->name : "";
}

namespace {

std::string JsonOutput(const MFPOutput& o) {
    std::string json = "{\"flags\":" + std::to_string(o.flags) + ",\"kind\":\"" + KindName(o.Kind()) +
                       "\",\"gauge\":" + std::to_string(o.gaugeVariable) +
                       ",\"gaugeName\":" + JsonString(GaugeVariableName(o.gaugeVariable)) +
                       ",\"format\":" + JsonString(o.format);
    for (const OutputField& field : DecimalFieldsOf(o.Kind())) {
        if (!field.shown) continue;
        json += ",\"" + std::string(field.jsonName) + "\":";
        json += field.onOff ? (field.get(o) ? "true" : "false") : std::to_string(field.get(o));
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

}  // namespace

std::vector<SectionCheck> CheckConfiguration(const ProfileText& profile, const std::string& iniPath,
                                             const std::string* onlySection) {
    const std::vector<std::string> sections =
        onlySection ? std::vector<std::string>{*onlySection} : BoardSections(profile.SectionNames());
    const std::vector<std::string> present = profile.SectionNames();
    std::vector<SectionCheck> checks;
    for (const std::string& section : sections) {
        checks.push_back(CheckSection(profile, iniPath, section));
        AddOverlapWarnings(checks.back());
        AddTrialWarnings(checks.back());
        AddSpillWarnings(checks.back());
        if (std::none_of(present.begin(), present.end(), [&](const std::string& name) { return SameName(name, section); }))
            checks.back().warnings.push_back("the file has no section [" + section +
                                             "]: a panel of that serial gets the defaults shown");
    }
    return checks;
}

std::string CheckJson(const std::vector<SectionCheck>& checks) {
    std::string json = "{\"sections\":[";
    for (std::size_t i = 0; i < checks.size(); ++i) json += (i ? "," : "") + JsonSection(checks[i]);
    return json + "]}";
}
