#include "config/check_section.h"

#include <cstdio>

#include "catalogue/gauge_variables.h"
#include "config/build_mfp_data.h"
#include "config/fields.h"
#include "config/parse_hex_text.h"
#include "os/user_message.h"

namespace {

// Enough for any value a user would write by hand; used only to see whether a value was cut.
constexpr std::size_t kWholeValueBufferSize = 1 << 20;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// True when the text from pos on is one or more zeros.
bool SpellsZeroFrom(const std::string& field, std::size_t pos) {
    return pos < field.size() && field.find_first_not_of('0', pos) == std::string::npos;
}

// A field that reads as 0 without spelling a zero: a leading blank before hexadecimal digits,
// or text that is not a number at all.
bool HexReadsAsZeroByAccident(const std::string& field) {
    const bool prefixed = field.size() >= 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X');
    return ParseHexText(field) == 0 && !SpellsZeroFrom(field, prefixed ? 2 : 0);
}

bool DecimalReadsAsZeroByAccident(const std::string& field) {
    std::size_t pos = field.find_first_not_of(" \t\n\v\f\r");
    if (pos != std::string::npos && (field[pos] == '+' || field[pos] == '-')) ++pos;
    return ParseDecimalText(field) == 0 && !SpellsZeroFrom(field, pos);
}

struct NumberField {
    int number;  // counted from 1 within the group
    const char* name;
};

std::vector<NumberField> DecimalFieldsOf(OutputKind kind) {
    switch (kind) {
        case OutputKind::Display: return {{2, "digit"}, {6, "width"}};
        case OutputKind::PortLed: return {{2, "port"}, {5, "on"}, {6, "off"}, {7, "bit"}};
        case OutputKind::MatrixLed: return {{2, "led"}, {5, "on"}, {6, "off"}};
        case OutputKind::None: break;
    }
    return {};
}

class SectionChecker {
public:
    SectionChecker(const ProfileFile& profile, const std::string& iniPath, SectionCheck& check)
        : profile(profile), iniPath(iniPath), check(check) {}

    void CheckCut(const char* key, const std::string& defaultValue) {
        const std::string value = profile.GetString(check.section, key, defaultValue, kConfigValueBufferSize, iniPath);
        if (value.size() + 1 < kConfigValueBufferSize) return;
        const std::string whole = profile.GetString(check.section, key, defaultValue, kWholeValueBufferSize, iniPath);
        if (whole.size() > value.size())
            Warn(std::string(key) + ": the value has " + std::to_string(whole.size()) + " characters; only the first " +
                 std::to_string(value.size()) + " are read");
    }

    void CheckInputFields() {
        const std::vector<std::string> fields = Fields(kInputsKey, DefaultInputsLine());
        if (fields.size() != kFieldsPerInput * kInputCount) return;
        for (int k = 0; k < kInputCount; ++k) {
            const std::string where = "Inputs: SW" + std::to_string(k + 1) + " (" + InputKeys()[k] + ")";
            const std::string& eventId = fields[kFieldsPerInput * k];
            const std::string& value = fields[kFieldsPerInput * k + 1];
            if (HexReadsAsZeroByAccident(eventId)) Warn(where + " event id " + Quoted(eventId) + " reads as 0");
            if (DecimalReadsAsZeroByAccident(value)) Warn(where + " value " + Quoted(value) + " reads as 0");
        }
    }

    void CheckOutputFields() {
        const std::vector<std::string> fields = Fields(kOutputsKey, kDefaultOutputs);
        if (fields.size() % kFieldsPerOutput != 0) return;
        for (std::size_t group = 0; group * kFieldsPerOutput < fields.size(); ++group) {
            const std::string* field = &fields[group * kFieldsPerOutput];
            const std::string where = "outputs: output " + std::to_string(group + 1);
            if (HexReadsAsZeroByAccident(field[0]))
                Warn(where + " flags " + Quoted(field[0]) + " reads as 0");
            const OutputKind kind = KindOfFlags(ParseHexText(field[0]));
            if (kind == OutputKind::None) {
                Warn(where + " has flags " + Quoted(field[0]) + " without a kind bit (4, 1 or 2); it shows nothing");
                continue;
            }
            CheckGaugeField(where, field[2]);
            for (const NumberField& number : DecimalFieldsOf(kind)) {
                if (DecimalReadsAsZeroByAccident(field[number.number - 1]))
                    Warn(where + " " + number.name + " " + Quoted(field[number.number - 1]) + " reads as 0");
            }
        }
    }

private:
    // Field 3 names a variable by number or by name; 0 and numbers FS2004 does not have show nothing.
    void CheckGaugeField(const std::string& where, const std::string& field) {
        const GaugeVariableField gauge = ParseGaugeVariableField(field);
        if (gauge.unknownName)
            Warn(where + " gauge " + Quoted(field) + " is no FS2004 gauge variable; it reads as 0, no variable");
        else if (gauge.number == 0)
            Warn(where + " gauge " + Quoted(field) + " is 0, no variable");
        else if (!FindGaugeVariable(gauge.number))
            Warn(where + " gauge " + Quoted(field) + " is no FS2004 gauge variable (those are 1 to " +
                 std::to_string(kLastGaugeVariable) + ")");
    }

    std::vector<std::string> Fields(const char* key, const std::string& defaultValue) {
        return SplitFields(profile.GetString(check.section, key, defaultValue, kConfigValueBufferSize, iniPath));
    }

    void Warn(const std::string& text) { check.warnings.push_back(text); }

    const ProfileFile& profile;
    const std::string& iniPath;
    SectionCheck& check;
};

}  // namespace

SectionCheck CheckSection(const ProfileFile& profile, const std::string& iniPath, const std::string& section) {
    SectionCheck check;
    check.section = section;
    RecordedUserMessages messages;
    if (!BuildMFPData(profile, iniPath, section, check.inputs, check.outputs, messages)) {
        check.corrupt = true;
        check.messageText = messages.shown.empty() ? std::string() : messages.shown.back().text;
        check.corruptItem = check.messageText == CorruptionMessage(iniPath, kInputsKey) ? kInputsKey : kOutputsKey;
        check.inputs.clear();
        check.outputs.clear();
    }
    SectionChecker checker(profile, iniPath, check);
    checker.CheckCut(kInputsKey, DefaultInputsLine());
    checker.CheckCut(kOutputsKey, kDefaultOutputs);
    checker.CheckInputFields();
    checker.CheckOutputFields();
    return check;
}
