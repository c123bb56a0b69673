// The configuration file as a whole: whether it can be read at all (the profile functions
// answer the defaults either way), and the copy that every Save makes first, so that a Save
// gone wrong (or a change the user regrets) can be undone by hand: "Tarnell_MFP.ini.bak".
#pragma once

#include <string>

// The module's configuration file, beside the module.
constexpr const char* kConfigurationFileName = "Tarnell_MFP.ini";

// False for a missing file, a folder, or a file the process may not read.
bool IsReadableFile(const std::string& path);

// path + ".bak".
std::string BackupPath(const std::string& path);

// Copies the file byte for byte to BackupPath(path), replacing an older copy only once the new
// one is written whole: a full disk leaves the old copy as it was. False with the reason in
// `problem` when the file cannot be read (also when there is none yet) or the copy cannot be
// written whole.
bool BackUpFile(const std::string& path, std::string& problem);
