#include "config/setup_file.h"

#include <cstdio>

#include "config/fields.h"
#include "config/parse_hex_text.h"

namespace {

constexpr const char* kPanelSetupSection = "MFP-Module";
constexpr const char* kSingleEventSection = "MFP-Import";
// Setup values are read into buffers of 260 characters, terminator included.
constexpr std::size_t kSetupValueBufferSize = 260;

std::string Numbered(const char* key, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s %d", key, n);
    return text;
}

std::string HexText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

EventChoice ReadChoice(const ProfileFile& profile, const std::string& path, const char* section,
                       const std::string& actionKey, const std::string& valueKey) {
    EventChoice choice;
    choice.eventId = ParseHexText(profile.GetString(section, actionKey, HexText(kNoActionEvent), kSetupValueBufferSize, path));
    choice.value = ParseDecimalText(profile.GetString(section, valueKey, "0", kSetupValueBufferSize, path));
    return choice;
}

bool WriteChoice(const ProfileFile& profile, const std::string& path, const char* section,
                 const std::string& actionKey, const std::string& valueKey, const InputRow& row) {
    const bool actionWritten = profile.WriteString(section, actionKey, HexText(row.eventId), path);
    const bool valueWritten = profile.WriteString(section, valueKey, row.valueText, path);
    return actionWritten && valueWritten;
}

}  // namespace

bool operator==(const EventChoice& a, const EventChoice& b) {
    return a.eventId == b.eventId && a.value == b.value;
}

bool WritePanelSetup(const ProfileFile& profile, const std::string& path, const std::vector<InputRow>& rows) {
    bool allWritten = true;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const int row = static_cast<int>(n);
        allWritten &= WriteChoice(profile, path, kPanelSetupSection, Numbered("Action", row), Numbered("Value", row), rows[n]);
    }
    return allWritten;
}

std::array<EventChoice, kInputCount> ReadPanelSetup(const ProfileFile& profile, const std::string& path) {
    std::array<EventChoice, kInputCount> choices;
    for (int n = 0; n < kInputCount; ++n)
        choices[n] = ReadChoice(profile, path, kPanelSetupSection, Numbered("Action", n), Numbered("Value", n));
    return choices;
}

EventChoice ReadSingleEvent(const ProfileFile& profile, const std::string& path) {
    return ReadChoice(profile, path, kSingleEventSection, "Action", "Value");
}

bool WriteSingleEvent(const ProfileFile& profile, const std::string& path, const InputRow& choice) {
    return WriteChoice(profile, path, kSingleEventSection, "Action", "Value", choice);
}
