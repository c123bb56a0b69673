// Runs the stand-in host (fs9host.exe, beside the test program) on a private copy of the
// module and hands back what it printed and what the module logged.
#pragma once

#include <string>
#include <vector>

// A fresh folder holding a copy of Tarnell_MFP.dll and, when iniText is not null, a
// Tarnell_MFP.ini with that text.
class ModuleFolder {
public:
    explicit ModuleFolder(const char* iniText);
    ~ModuleFolder();
    std::string ModulePath() const { return folder + "\\Tarnell_MFP.dll"; }
    std::string LogPath() const { return folder + "\\Tarnell_MFP.log"; }

private:
    std::string folder;
};

struct HostRun {
    int exitCode = -1;
    std::vector<std::string> output;  // the program's lines (the host's observations)
};

// Runs a program with the arguments and waits for it; its output (stdout and stderr) as lines.
HostRun RunProgram(const std::string& program, const std::vector<std::string>& arguments);
// Runs the stand-in host (fs9host.exe beside the test program, or the copy named by host) with
// the arguments (options and steps) and waits for it.
HostRun RunHostProgram(const std::vector<std::string>& arguments, const char* host = "fs9host.exe");
// The same with the module of the folder.
HostRun RunHost(const ModuleFolder& folder, const std::vector<std::string>& arguments,
                const char* host = "fs9host.exe");

std::string BesideTestProgram(const char* fileName);
// The lines of a text file; empty when it does not exist.
std::vector<std::string> ReadLines(const std::string& path);
bool FileExists(const std::string& path);
