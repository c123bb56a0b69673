#include "ui/input_page_model.h"

#include <algorithm>

#include "config/fields.h"
#include "config/parse_hex_text.h"

bool InputPageModel::Load(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                          UserMessages& messages) {
    rows.clear();
    rowOfKey.clear();
    loadedValue = profile.GetString(section, kInputsKey, DefaultInputsLine(), kConfigValueBufferSize, iniPath);
    loadedLine.clear();
    const std::vector<std::string> fields = SplitFields(loadedValue);
    if (fields.size() != kFieldsPerInput * kInputCount) {
        messages.Show(CorruptionMessage(iniPath, kInputsKey), MessageIcon::Error);
        return false;
    }
    for (int r = 0; r < kInputCount; ++r) {
        InputPageRow row;
        row.input = "SW" + std::to_string(r + 1);
        row.key = InputKeys()[r];
        rows.push_back(row);
        rowOfKey[InputKeys()[r]] = r;
        SetInput(InputKeys()[r], ParseHexText(fields[kFieldsPerInput * r]), ParseDecimalText(fields[kFieldsPerInput * r + 1]));
    }
    loadedLine = FormatInputsLine(ExportRows());
    return true;
}

bool InputPageModel::Changed() const { return !rows.empty() && FormatInputsLine(ExportRows()) != loadedLine; }

int InputPageModel::RowOfKey(const std::string& key) const {
    const auto found = rowOfKey.find(key);
    return found == rowOfKey.end() ? -1 : found->second;
}

int InputPageModel::SetInput(const std::string& key, uint32_t eventId, int32_t value) {
    const int r = RowOfKey(key);
    if (r < 0) return r;
    rows[r].eventId = eventId;
    rows[r].action = EventDescription(catalogue, eventId);
    rows[r].valueText = std::to_string(value);
    return r;
}

SaveResult InputPageModel::SaveInputs(const ProfileFile& profile, const std::string& iniPath,
                                      const std::string& section) const {
    if (rows.empty()) return SaveResult::NoRows;
    if (!Changed()) return SaveResult::Unchanged;
    return profile.WriteString(section, kInputsKey, FormatInputsLine(ExportRows()), iniPath) ? SaveResult::Written
                                                                                          : SaveResult::WriteFailed;
}

std::vector<InputRow> InputPageModel::ExportRows() const {
    std::vector<InputRow> exported;
    for (const auto& entry : rowOfKey) exported.push_back({rows[entry.second].eventId, rows[entry.second].valueText});
    return exported;
}

void InputPageModel::ImportSetup(const std::array<EventChoice, kInputCount>& choices) {
    for (int n = 0; n < kInputCount; ++n) SetInput(InputKeys()[n], choices[n].eventId, choices[n].value);
}

std::vector<std::pair<int, int>> SwitchEdges::OnReport(const uint8_t* keys) {
    std::vector<std::pair<int, int>> wentOn;
    if (!keys) return wentOn;
    for (int b = 0; b < 8; ++b)
        for (int n = 0; n < 8; ++n)
            if (!(lastKeys[b] & (1u << n)) && (keys[b] & (1u << n))) wentOn.emplace_back(b, n);
    std::copy(keys, keys + lastKeys.size(), lastKeys.begin());
    return wentOn;
}
