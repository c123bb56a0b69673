#include "config/check_section.h"

#include <cstdio>

#include "catalogue/event_catalogue.h"
#include "catalogue/gauge_variables.h"
#include "config/build_mfp_data.h"
#include "config/fields.h"
#include "config/output_fields.h"
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
                 std::to_string(value.size()) + " are read, and the cut falls in " +
                 CutPlace(key, SplitFields(value).size()));
    }

    void CheckInputFields() {
        const std::vector<std::string> fields = Fields(kInputsKey, DefaultInputsLine());
        if (fields.size() != kFieldsPerInput * kInputCount) return;
        for (int k = 0; k < kInputCount; ++k) {
            const std::string where = "Inputs: SW" + std::to_string(k + 1) + " (" + InputKeys()[k] + ")";
            const std::string& eventId = fields[kFieldsPerInput * k];
            const std::string& value = fields[kFieldsPerInput * k + 1];
            if (HexReadsAsZeroByAccident(eventId))
                Warn(where + " event id " + Quoted(eventId) + " reads as 0");
            else if (!IsKnownEvent(ParseHexText(eventId)))
                Warn(where + " event id " + Quoted(eventId) + " is no event FS2004 knows (mfp events lists them)");
            if (DecimalReadsAsZeroByAccident(value)) Warn(where + " value " + Quoted(value) + " reads as 0");
        }
    }

    void CheckOutputFields() {
        const std::vector<std::string> fields = Fields(kOutputsKey, kDefaultOutputs);
        if (fields.size() % kFieldsPerOutput != 0) return;
        for (std::size_t group = 0; group * kFieldsPerOutput < fields.size(); ++group) {
            const std::string* field = &fields[group * kFieldsPerOutput];
            const std::string where = "outputs: output " + std::to_string(group + 1);
            const std::string& flags = field[kFlagsField];
            if (HexReadsAsZeroByAccident(flags)) Warn(where + " flags " + Quoted(flags) + " reads as 0");
            CheckDecimalLookingFlags(where, flags);
            const MFPOutput output = ReadOutputGroup(field);
            if (output.Kind() == OutputKind::None) {
                Warn(where + " has flags " + Quoted(flags) + " without a kind bit (4, 1 or 2); it shows nothing");
                continue;
            }
            CheckGaugeField(where, field[kGaugeField]);
            for (const OutputField& decimal : DecimalFieldsOf(output.Kind())) {
                const std::string& text = field[decimal.index];
                if (decimal.shown && DecimalReadsAsZeroByAccident(text))
                    Warn(where + " " + decimal.name + " " + Quoted(text) + " reads as 0");
            }
            CheckPosition(where, output);
        }
    }

    // A panel reads the section of its own serial only.
    void CheckSectionName() {
        if (!IsHexDigits(check.section, 8))
            Warn("[" + check.section + "] is no board serial (8 hexadecimal digits, as mfp panels lists them): "
                 "no panel reads this section");
    }

private:
    static bool IsKnownEvent(uint32_t id) {
        static const EventCatalogue events = BuildEventCatalogue();
        return events.count(id) != 0;
    }

    // Flags are hexadecimal: sums of 1, 2, 8 and 16 worked out in decimal name other bits.
    void CheckDecimalLookingFlags(const std::string& where, const std::string& field) {
        static const char* const decimalSums[] = {"10", "17", "18", "25", "26"};
        for (const char* sum : decimalSums) {
            if (field != sum) continue;
            const int meant = ParseDecimalText(field);
            std::string parts;
            for (int bit = 1; bit <= 16; bit *= 2)
                if (meant & bit) parts += (parts.empty() ? "" : " + ") + std::to_string(bit);
            char hex[8];
            std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(meant));
            Warn(where + " flags " + Quoted(field) + " are hexadecimal, not " + parts + ": for " + parts + " write " + hex);
        }
    }

    // What falls outside the board's 32 digits, 256 matrix LEDs, 4 ports and 8 lines is not shown.
    void CheckPosition(const std::string& where, const MFPOutput& output) {
        switch (output.Kind()) {
            case OutputKind::Display: {
                const int position = output.startDigit, width = output.width;
                if (position < 1 || position > 32)
                    Warn(where + " digit " + std::to_string(position) +
                         " is not on the panel (1 to 32): only what falls on digits 1 to 32 shows");
                if (width < 0)
                    Warn(where + " width " + std::to_string(width) + " is below 0: it works as width 0");
                else if (position >= 1 && position <= 32 && position + width - 1 > 32)
                    Warn(where + " width " + std::to_string(width) + " from digit " + std::to_string(position) +
                         " runs past digit 32: the padding fills every digit up to 32");
                break;
            }
            case OutputKind::MatrixLed:
                if (output.matrixLed < 1 || output.matrixLed > 256)
                    Warn(where + " led " + std::to_string(output.matrixLed) +
                         " is not on the panel (1 to 256): it never lights");
                break;
            case OutputKind::PortLed:
                if (output.port < 0 || output.port > 3)
                    Warn(where + " port " + std::to_string(output.port) + " is not on the panel (0 to 3): it never lights");
                if (output.bit < 0 || output.bit > 7)
                    Warn(where + " bit " + std::to_string(output.bit) + " is no line of a port (0 to 7): it never lights");
                break;
            case OutputKind::None: break;
        }
    }

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
    const MFPDataBuilt built = BuildMFPData(profile, iniPath, section, check.inputs, check.outputs, messages);
    if (!built) {
        check.corrupt = true;
        check.messageText = messages.shown.empty() ? std::string() : messages.shown.back().text;
        check.corruptItem = built.corruptKey;
        check.inputs.clear();
        check.outputs.clear();
    }
    SectionChecker checker(profile, iniPath, check);
    checker.CheckSectionName();
    checker.CheckCut(kInputsKey, DefaultInputsLine());
    checker.CheckCut(kOutputsKey, kDefaultOutputs);
    checker.CheckInputFields();
    checker.CheckOutputFields();
    return check;
}
