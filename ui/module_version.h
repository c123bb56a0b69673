// The module's version as the about box shows it.
#pragma once

#include <string>

// "1, 2, 6, 0" -> "1.2.6.0": commas become dots, blanks go.
std::string FormatVersionText(const std::string& fileVersion);
// The FileVersion string of the first translation the file's version resource lists, formatted;
// "N/A" when the file has no version resource, no translation or no FileVersion.
std::string FileVersionText(const std::string& filePath);
