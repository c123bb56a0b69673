// Runs the stand-in host (fs9host.exe, beside the test program) on a private copy of the
// module and hands back what it printed and what the module logged.
#pragma once

#include <cstddef>
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
    std::string Path(const char* fileName) const { return folder + "\\" + fileName; }

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

// The same with the simulated boards of the tests' stand-in hid.dll (MFP_SIM_BOARDS, board texts
// "PID:SERIAL,..."): the host runs from the stand-ins' folder, where Windows finds them first.
HostRun RunHostWithBoards(const ModuleFolder& folder, const std::string& boards,
                          const std::vector<std::string>& arguments);

std::string BesideTestProgram(const char* fileName);
// The messages of the module's log, without their time stamps and module names.
std::vector<std::string> LogMessages(const ModuleFolder& folder);
size_t Count(const std::vector<std::string>& lines, const std::string& wanted);
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix);
// The lines of a text file; empty when it does not exist.
std::vector<std::string> ReadLines(const std::string& path);
bool FileExists(const std::string& path);
