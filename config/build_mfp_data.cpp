#include "config/build_mfp_data.h"

#include <cstdio>

#include "config/fields.h"
#include "config/file_access.h"
#include "config/output_fields.h"
#include "config/parse_hex_text.h"
#include "log/log.h"

namespace {

MFPDataBuilt ReportCorruption(UserMessages& messages, const std::string& iniPath, const char* key) {
    messages.Show(CorruptionMessage(iniPath, key), MessageIcon::Error);
    return {key};
}

// A value that fills the buffer may go on in the file: the profile interface gives no more, so
// it is taken as cut, even if its field count happens to fit.
bool IsCut(const std::string& value) { return value.size() + 1 >= kConfigValueBufferSize; }

// A cut value is corruption of its key; the log says where the cut fell, for lines the message
// alone would leave a mystery.
MFPDataBuilt ReportCut(UserMessages& messages, const std::string& iniPath, const std::string& section, const char* key,
                       std::size_t fieldsRead) {
    theLog.Write(2, "MFPWorker", "[%s] %s: the value is cut after %d characters, in %s\n", section.c_str(), key,
                 static_cast<int>(kConfigValueBufferSize - 1), CutPlace(key, fieldsRead).c_str());
    return ReportCorruption(messages, iniPath, key);
}

// A name FS2004 does not have reads as 0; the log names the output.
void LogUnknownGaugeName(const std::string* field, const std::string& section, std::size_t number) {
    if (KindOfFlags(ParseHexText(field[kFlagsField])) == OutputKind::None) return;
    if (!ParseGaugeVariableField(field[kGaugeField]).unknownName) return;
    theLog.Write(2, "MFPWorker", "[%s] outputs: output %d: \"%s\" is no FS2004 gauge variable; it reads as 0, no variable\n",
                 section.c_str(), static_cast<int>(number), field[kGaugeField].c_str());
}

}  // namespace

std::string DefaultInputsLine() {
    std::vector<InputRow> rows(kInputCount);
    return FormatInputsLine(rows);
}

std::string CorruptionMessage(const std::string& iniPath, const std::string& item) {
    return "Corruption of data found!\n\tFile: " + iniPath + "\n\tItem: " + item +
           ".\n\nPlease reinstall the configuration files";
}

std::string CutPlace(const char* key, std::size_t fieldsRead) {
    std::string where = "field " + std::to_string(fieldsRead);
    if (std::string_view(key) == kOutputsKey)
        where += " (output " + std::to_string((fieldsRead + kFieldsPerOutput - 1) / kFieldsPerOutput) + ")";
    return where;
}

MFPDataBuilt BuildMFPData(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                  MFPInputTable& inputs, MFPOutputList& outputs, UserMessages& messages) {
    theLog.Write(0, "MFPWorker", "BuildMFPData\n");
    if (!IsReadableFile(iniPath))
        theLog.Write(0, "MFPWorker", "%s cannot be read: every switch and output has its default\n", iniPath.c_str());

    const std::string inputsValue =
        profile.GetString(section, kInputsKey, DefaultInputsLine(), kConfigValueBufferSize, iniPath);
    const std::vector<std::string> inputFields = SplitFields(inputsValue);
    if (IsCut(inputsValue)) return ReportCut(messages, iniPath, section, kInputsKey, inputFields.size());
    if (inputFields.size() != kFieldsPerInput * kInputCount) return ReportCorruption(messages, iniPath, kInputsKey);
    for (int k = 0; k < kInputCount; ++k) {
        MFPInput input;
        input.eventId = ParseHexText(inputFields[kFieldsPerInput * k]);
        input.value = ParseDecimalText(inputFields[kFieldsPerInput * k + 1]);
        inputs[InputKeys()[k]] = input;
    }

    const std::string outputsValue = profile.GetString(section, kOutputsKey, kDefaultOutputs, kConfigValueBufferSize, iniPath);
    const std::vector<std::string> outputFields = SplitFields(outputsValue);
    if (IsCut(outputsValue)) return ReportCut(messages, iniPath, section, kOutputsKey, outputFields.size());
    if (outputFields.size() % kFieldsPerOutput != 0) return ReportCorruption(messages, iniPath, kOutputsKey);
    for (std::size_t group = 0; group < outputFields.size(); group += kFieldsPerOutput) {
        LogUnknownGaugeName(&outputFields[group], section, group / kFieldsPerOutput + 1);
        outputs.push_back(ReadOutputGroup(&outputFields[group]));
    }
    return {};
}

void ReloadMFPData(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                   MFPInputTable& inputs, MFPOutputList& outputs, UserMessages& messages) {
    theLog.Write(0, "MFPWorker", "Reloading data from INI\n");
    inputs.clear();
    outputs.clear();
    BuildMFPData(profile, iniPath, section, inputs, outputs, messages);
}

std::string FormatInputsLine(const std::vector<InputRow>& rows) {
    std::string line;
    const char* separator = "";
    for (const InputRow& row : rows) {
        char pair[32];
        std::snprintf(pair, sizeof pair, "%s%X,", separator, static_cast<unsigned>(row.eventId));
        line += pair + row.valueText;
        separator = ",";
    }
    return line;
}
