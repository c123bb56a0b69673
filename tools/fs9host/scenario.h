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
// With the stand-in hid.dll's simulated boards (tests/standin):
//   press:SERIAL:SWn, release:SERIAL:SWn    a switch of a board closes or opens
//   unplug:SERIAL, plug:PID:SERIAL[:TYPE:VERSION]   the cable, with the WM_DEVICECHANGE it causes
//   show:SERIAL                  after two output passes, the board's LED matrix and port lines
//   gauge:TOKEN=TYPE:VALUE       the host answers lookups of TOKEN with this value from now on
//   view-close, view-open        the view window "COCKPIT - View 00" goes and comes back
//   counts                       the process's thread and handle counts
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class HostWindows;
class PanelsTable;

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
void RunScenario(const std::vector<Step>& steps, HostWindows& windows, PanelsTable& panels);
// A WM_DEVICECHANGE with a device-interface record naming path.
void SendDeviceChange(HWND window, WPARAM event, DWORD deviceType, const std::string& path);
// Prints "counts threads=N handles=M stand-in-threads=K" of this process: N threads started
// through the C runtime (the module's, the stand-ins' and this host's; not Wine's own), M open
// handles, K threads of the stand-in hid.dll (0 without it).
void PrintCounts();
// Dispatches every queued message of the calling thread.
void PumpMessages();
