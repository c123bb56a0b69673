// Shows the event picker for a screenshot, as the panel page opens it: on a thread of its own
// while the main thread runs a topmost window over the screen (the simulator's). Prints
// "picker-held" once a group is chosen and a search is under way, or with "file-dialog" the
// import's file dialog and "file-dialog-held", then cancels everything after two seconds.
#include "resources/resource_ids.h"
#include "tests/host/picker_on_thread.h"
#include "tests/host/screen_stand_in.h"
#include "tools/fs9host/dialog_driver.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr DWORD kHoldMilliseconds = 2000;
constexpr DWORD kPaintMilliseconds = 700;

void Hold(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kHoldMilliseconds) {
        PumpMessages();
        Sleep(20);
    }
}

std::string TempPath() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

// A folder of setups to choose from, the current directory while it lives.
class SetupFolder {
public:
    SetupFolder() {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* name : kSetups) std::ofstream(folder + "\\" + name) << "[MFP-Import]\r\nAction=1003C\r\n";
        SetCurrentDirectoryA(folder.c_str());
    }
    ~SetupFolder() {
        SetCurrentDirectoryA(TempPath().c_str());
        for (const char* name : kSetups) DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

private:
    static constexpr const char* kSetups[] = {"Gear and flaps.INI", "Throttle quadrant.INI", "Autopilot.INI"};
    const std::string folder = TempPath() + "Panel setups";
};

int ShowFileDialog(const PickerOnThread& picker) {
    const SetupFolder setups;
    PostClick(picker.Control(IDC_IMPORT_EVENT));
    HWND open = WaitForDialog(picker.ThreadId(), "Open", picker.Window());
    if (!open) return 1;
    Sleep(kPaintMilliseconds);  // the folder's files are listed and drawn
    Hold("file-dialog-held");
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool fileDialog = argc > 1 && std::string(argv[1]) == "file-dialog";
    HWND simulator = FullScreenStandIn();
    SetForegroundWindow(simulator);
    PumpMessages();

    PickerOnThread picker;
    if (!picker.Window()) return 1;
    ChooseComboItem(picker.Window(), IDC_EVENT_GROUPS, "Aircraft Engine");
    for (char c : std::string("thr")) TypeCharacter(picker.Control(IDC_SEARCH_TEXT), c);
    Click(picker.Control(IDC_FIND_NEXT));
    Click(picker.Control(IDC_FIND_NEXT));
    if (fileDialog) return ShowFileDialog(picker);
    Hold("picker-held");
    return 0;
}

