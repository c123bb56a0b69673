// Reading a board's section of "Tarnell_MFP.ini" into its input table and output list, and the
// text of the "Inputs" key as the panel input page writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/mfp_data.h"
#include "os/profile_file.h"
#include "os/user_message.h"

// The board keys' values are read into a buffer of this many characters, terminator included:
// the most the platform's profile interface gives. A value that fills it is taken as cut and
// reported as corruption of its key.
constexpr std::size_t kConfigValueBufferSize = 32768;

constexpr const char* kInputsKey = "Inputs";
constexpr const char* kOutputsKey = "outputs";
constexpr const char* kDefaultOutputs = "9,0,10,%g,1,0,1,9,0,10,%g,1,0,2";
// "Inputs" holds an event id and a value per switch; "outputs" groups of this many fields.
constexpr int kFieldsPerInput = 2;
constexpr int kFieldsPerOutput = 7;

// Fifteen times the pair "10000,0", joined by ",".
std::string DefaultInputsLine();

// The message the user sees for a key whose data is corrupt.
std::string CorruptionMessage(const std::string& iniPath, const std::string& item);

// Where a value cut after `fieldsRead` fields falls: "field N", for "outputs" with "(output K)".
std::string CutPlace(const char* key, std::size_t fieldsRead);

// What BuildMFPData made of a section: its tables, or the key whose data is corrupt.
struct MFPDataBuilt {
    const char* corruptKey = nullptr;  // kInputsKey or kOutputsKey
    bool Built() const { return corruptKey == nullptr; }
    explicit operator bool() const { return Built(); }
};

// Reads the section's "Inputs" into `inputs` (replacing entries of the same keys) and appends
// its "outputs" to `outputs`. Missing file, section or keys give the defaults. A field count
// that is wrong for a key is reported to the user as corruption of that key, and the result
// names it; when "outputs" is the corrupt key, the inputs have already been filled.
MFPDataBuilt BuildMFPData(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                  MFPInputTable& inputs, MFPOutputList& outputs, UserMessages& messages);

// A worker's reload: logs it, empties both tables and builds them again; the result is not
// looked at (a corrupt key has been reported to the user already).
void ReloadMFPData(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                   MFPInputTable& inputs, MFPOutputList& outputs, UserMessages& messages);

// One switch as the page shows it: its event id and the value text of its row.
struct InputRow {
    uint32_t eventId = kNoActionEvent;
    std::string valueText = "0";
};

// The "Inputs" value for rows in input-key order: "%s%X,%s" per row with the separator ","
// before every row but the first.
std::string FormatInputsLine(const std::vector<InputRow>& rows);
