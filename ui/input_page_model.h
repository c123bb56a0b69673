// The panel input page without windows: one row per switch ("SW1" to "SW15") with the event it
// fires and the value sent with it, read from the board's "Inputs" key, saved back, exported to
// and imported from panel setup files; and which switches went on between two key reports.
// CConfigPageMFP (config_page_mfp.h) shows the rows and passes the user's actions in.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/event_catalogue.h"
#include "config/build_mfp_data.h"
#include "config/setup_file.h"
#include "os/profile_file.h"
#include "os/user_message.h"

struct InputPageRow {
    std::string input;  // "SW1"
    std::string key;    // "0000"
    uint32_t eventId = kNoActionEvent;
    std::string action;  // the catalogue's description; empty for an id it does not hold
    std::string valueText = "0";
};

enum class SaveResult { Written, Unchanged, NoRows, WriteFailed };

// Used by the configuration dialog's thread, except RowOfKey, which any thread may call once
// Load has returned (the rows are never added or removed after it).
class InputPageModel {
public:
    InputPageModel() : catalogue(BuildEventCatalogue()) {}

    // Reads the section's "Inputs" (missing file, section or key: every switch does nothing).
    // A key without exactly 30 fields is shown to the user as corrupt and leaves the page
    // without rows: false.
    bool Load(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
              UserMessages& messages);

    const std::vector<InputPageRow>& Rows() const { return rows; }
    // The row that shows the input key; -1 when none does (a switch beyond SW15, or a page
    // without rows).
    int RowOfKey(const std::string& key) const;
    // Binds the key's switch to the event and value; returns its row, or -1 when no row shows
    // the key, and then nothing changes.
    int SetInput(const std::string& key, uint32_t eventId, int32_t value);

    // The section's "Inputs" value as Load read it from the file.
    const std::string& LoadedValue() const { return loadedValue; }
    // True when the rows differ from what Load gave them.
    bool Changed() const;

    // Writes the rows as the section's "Inputs" line. A page without rows writes nothing, so
    // that a key that could not be read is never replaced by an empty one; rows as Load gave
    // them are not written again, so the file stays as it is.
    SaveResult SaveInputs(const ProfileFile& profile, const std::string& iniPath,
                          const std::string& section) const;

    // The rows in input-key order, as a setup file stores them.
    std::vector<InputRow> ExportRows() const;
    // The 15 bindings of a setup file, in input-key order.
    void ImportSetup(const std::array<EventChoice, kInputCount>& choices);

private:
    EventCatalogue catalogue;
    std::vector<InputPageRow> rows;
    std::map<std::string, int> rowOfKey;
    std::string loadedValue;
    std::string loadedLine;  // the rows as loaded, as SaveInputs would write them
};

// The switch states of a board's last report: which switches went on since.
class SwitchEdges {
public:
    // Every (key byte, bit) off in the last report and on in this one, in byte and then bit
    // order; remembers the report. No key bytes (null) give none. At start every switch is off,
    // so one already on goes on at the first report.
    std::vector<std::pair<int, int>> OnReport(const uint8_t* keys);

private:
    std::array<uint8_t, 8> lastKeys{};
};
