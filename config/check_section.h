// A board section as the module builds it, with what would surprise its author: the work of
// "mfp check". The tables come from BuildMFPData itself, so they are exactly the module's.
#pragma once

#include <string>
#include <vector>

#include "config/mfp_data.h"
#include "os/profile_file.h"

struct SectionCheck {
    std::string section;
    bool corrupt = false;
    std::string corruptItem;     // "Inputs" or "outputs" when corrupt
    std::string messageText;     // the message the user would see when corrupt
    MFPInputTable inputs;        // both empty when corrupt
    MFPOutputList outputs;
    std::vector<std::string> warnings;
};

SectionCheck CheckSection(const ProfileFile& profile, const std::string& iniPath, const std::string& section);
