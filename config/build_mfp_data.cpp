#include "config/build_mfp_data.h"

#include <cstdio>

#include "config/fields.h"
#include "config/file_access.h"
#include "config/parse_hex_text.h"
#include "log/log.h"

namespace {

bool ReportCorruption(UserMessages& messages, const std::string& iniPath, const std::string& item) {
    messages.Show(CorruptionMessage(iniPath, item), MessageIcon::Error);
    return false;
}

// Fields 2 to 7 of one output group, as its kind uses them.
MFPOutput ReadOutput(const std::string* field) {
    MFPOutput output;
    output.flags = ParseHexText(field[0]);
    switch (output.Kind()) {
        case OutputKind::Display:
            output.startDigit = ParseDecimalText(field[1]);
            output.gaugeVariable = ParseDecimalText(field[2]);
            output.format = field[3];
            output.decimalPoint = ParseDecimalText(field[4]) == 1;
            output.width = ParseDecimalText(field[5]);
            output.displayReserved = ParseDecimalText(field[6]);
            break;
        case OutputKind::PortLed:
            output.port = ParseDecimalText(field[1]);
            output.gaugeVariable = ParseDecimalText(field[2]);
            output.format = field[3];
            output.onValue = ParseDecimalText(field[4]);
            output.offValue = ParseDecimalText(field[5]);
            output.bit = ParseDecimalText(field[6]);
            break;
        case OutputKind::MatrixLed:
            output.matrixLed = ParseDecimalText(field[1]);
            output.gaugeVariable = ParseDecimalText(field[2]);
            output.format = field[3];
            output.onValue = ParseDecimalText(field[4]);
            output.offValue = ParseDecimalText(field[5]);
            break;
        case OutputKind::None:
            break;
    }
    return output;
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

bool BuildMFPData(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                  MFPInputTable& inputs, MFPOutputList& outputs, UserMessages& messages) {
    theLog.Write(0, "MFPWorker", "BuildMFPData\n");
    if (!IsReadableFile(iniPath))
        theLog.Write(0, "MFPWorker", "%s cannot be read: every switch and output has its default\n", iniPath.c_str());

    const std::vector<std::string> inputFields = SplitFields(
        profile.GetString(section, kInputsKey, DefaultInputsLine(), kConfigValueBufferSize, iniPath));
    if (inputFields.size() != kFieldsPerInput * kInputCount) return ReportCorruption(messages, iniPath, kInputsKey);
    for (int k = 0; k < kInputCount; ++k) {
        MFPInput input;
        input.eventId = ParseHexText(inputFields[kFieldsPerInput * k]);
        input.value = ParseDecimalText(inputFields[kFieldsPerInput * k + 1]);
        inputs[InputKeys()[k]] = input;
    }

    const std::vector<std::string> outputFields = SplitFields(
        profile.GetString(section, kOutputsKey, kDefaultOutputs, kConfigValueBufferSize, iniPath));
    if (outputFields.size() % kFieldsPerOutput != 0) return ReportCorruption(messages, iniPath, kOutputsKey);
    for (std::size_t group = 0; group < outputFields.size(); group += kFieldsPerOutput)
        outputs.push_back(ReadOutput(&outputFields[group]));
    return true;
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
