// The copy of the configuration file that every Save makes first, so that a Save gone wrong
// (or a change the user regrets) can be undone by hand: "Tarnell_MFP.ini.bak" beside it.
#pragma once

#include <string>

// path + ".bak".
std::string BackupPath(const std::string& path);

// Copies the file byte for byte to BackupPath(path), replacing an older copy. False with the
// reason in `problem` when the file cannot be read (also when there is none yet) or the copy
// cannot be written whole.
bool BackUpFile(const std::string& path, std::string& problem);
