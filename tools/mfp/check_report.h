// What "mfp check" finds in a configuration text: every board section as the module builds it,
// or the corruption the module would report, with warnings (each output tried with sample gauge
// values through the runtime's own code), and the JSON report of it.
#pragma once

#include <string>
#include <vector>

#include "config/check_section.h"
#include "os/profile_file.h"

// Every board section (every named one but "Misc"), or only *onlySection when given.
std::vector<SectionCheck> CheckConfiguration(const ProfileText& profile, const std::string& iniPath,
                                             const std::string* onlySection);

// {"sections":[...]}: valid UTF-8 JSON whatever bytes the file held.
std::string CheckJson(const std::vector<SectionCheck>& checks);

// FS2004's name of a gauge variable number, or "" for a number it has no variable for.
std::string GaugeVariableName(int number);

// "display", "port", "matrix" or "none".
const char* KindName(OutputKind kind);
