// A scripted scenario: the steps the stand-in host plays between module_init and
// module_deinit. Each step is one word, arguments after colons:
//   ncpaint                      a non-client paint of the main window
//   menu                         print the main window's menu bar
//   rebuild-menu                 replace the menu bar with a fresh one
//   command:ID                   a WM_COMMAND with that id (e.g. 8520, 8521)
//   device:EVENT:TYPE:PATH       a WM_DEVICECHANGE with a device-interface record
//   device-null:EVENT            a WM_DEVICECHANGE without a record
//   show-menu:MS                 open the module's popup under "&Tarnell" for MS milliseconds
//   wait:MS                      pump messages for MS milliseconds
#pragma once

#include <string>
#include <vector>

class HostWindows;

struct Step {
    std::string text;  // as written, for the printout
    std::string kind;
    std::vector<std::string> arguments;
};

// Parses one step; false for an unknown word or a wrong number of arguments.
bool ParseStep(const std::string& text, Step& step);
// Steps from a file, one per line; blank lines and lines starting with '#' are skipped.
bool ReadScenarioFile(const std::string& path, std::vector<Step>& steps);
// Runs every step, printing "step <text>" before each.
void RunScenario(const std::vector<Step>& steps, HostWindows& windows);
// Dispatches every queued message of the calling thread.
void PumpMessages();
