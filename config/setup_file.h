// The two small profile files a user chooses with a file dialog: the panel setup file (the 15
// switch bindings of one panel, section "MFP-Module") and the single-event file (section
// "MFP-Import"). Other sections and keys of these files are neither read nor changed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/build_mfp_data.h"
#include "config/mfp_data.h"
#include "os/profile_file.h"

// One event id with the value sent with it, as read from a setup file.
struct EventChoice {
    uint32_t eventId = kNoActionEvent;
    int32_t value = 0;
};

bool operator==(const EventChoice& a, const EventChoice& b);

// Writes "Action %d" ("%X" of the event id) and "Value %d" (the row's value text as shown) of
// section "MFP-Module" for every row, n being the row's number. False when a write failed.
bool WritePanelSetup(const ProfileFile& profile, const std::string& path, const std::vector<InputRow>& rows);

// Reads the 15 bindings in input-key order; missing keys give event 10000 and value 0.
std::array<EventChoice, kInputCount> ReadPanelSetup(const ProfileFile& profile, const std::string& path);

// "Action" and "Value" of section "MFP-Import", with the same defaults.
EventChoice ReadSingleEvent(const ProfileFile& profile, const std::string& path);
bool WriteSingleEvent(const ProfileFile& profile, const std::string& path, const InputRow& choice);
