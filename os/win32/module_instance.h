// The module's own file: its instance handle (for every resource it loads) and its directory.
#pragma once

#include <windows.h>

#include <string>

HINSTANCE ModuleInstance();
// Full path of the module file, as GetModuleFileNameA gives it (at most 260 characters).
std::string ModuleFilePath();
// The path with everything after its last backslash replaced by fileName.
std::string SiblingPath(const std::string& path, const char* fileName);
