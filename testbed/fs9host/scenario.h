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
// With the stand-in hid.dll's simulated boards (testbed/standin):
//   press:SERIAL:SWn, release:SERIAL:SWn    a switch of a board closes or opens
//   unplug:SERIAL, plug:PID:SERIAL[:TYPE:VERSION]   the cable, with the WM_DEVICECHANGE it causes
//   show:SERIAL                  after two output passes, the board's LED matrix and port lines
//   gauge:TOKEN=TYPE:VALUE       the host answers lookups of TOKEN with this value from now on
//   view-close, view-open        the view window "COCKPIT - View 00" goes and comes back
//   counts                       the process's thread and handle counts
// A run of user steps is played by a user thread while the step before it runs (a modal dialog
// holds the host thread), dialogs left to the user; the first that fails prints "user-error":
//   user:wait:CAPTION, user:gone:CAPTION     a dialog of any thread comes, goes (up to 20 s)
//   user:tabs, user:rows         the configuration dialog's tabs, the visible page's list rows
//   user:choose:CAPTION:ID:TEXT  select an item of a combo box or list box
//   user:click:CAPTION:ID, user:close:CAPTION   a button, the close box
//   user:type:CAPTION:ID:TEXT    type into an edit control
//   user:file:CAPTION:PATH       enter PATH in the file dialog "Open" or "Save As", OK, wait till it closes
//   user:press:SERIAL:SWn, user:release:SERIAL:SWn, user:unplug:SERIAL, user:plug:BOARDTEXT
//   user:hold:MS, user:sleep:MS  wait; hold prints "user-held" first (time for a screenshot)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DialogCloser;
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
// Runs every step, printing "step <text>" before each; the closer is held off while user steps play.
void RunScenario(const std::vector<Step>& steps, HostWindows& windows, PanelsTable& panels, DialogCloser& closer);
// A WM_DEVICECHANGE with a device-interface record naming path.
void SendDeviceChange(HWND window, WPARAM event, DWORD deviceType, const std::string& path);
// Prints "counts threads=N handles=M stand-in-threads=K stand-in-handles=H" of this process: N
// threads started through the C runtime (the module's, the stand-ins' and this host's; not
// Wine's own), M open handles, K threads and H pipe handles of the stand-in hid.dll (0 without).
void PrintCounts();
// Dispatches every queued message of the calling thread.
void PumpMessages();
// The module's Tarnell_MFP.ini, which the step "ini" writes.
void SetConfigurationPath(const std::string& path);
std::string ConfigurationPath();
// The longest time one message took from dispatch to return since the last call: what a user
// sees as one frozen frame of the simulator.
double TakeLongestDispatchMs();
