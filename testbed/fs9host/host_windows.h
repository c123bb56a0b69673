// The simulator's windows as the module sees them: a top-level "FS98MAIN" with a menu bar and
// a child "FS98CHILD" view titled "COCKPIT - View 00".
#pragma once

#include <windows.h>

#include <functional>

// Posted to the main window by the scripted user: the host calls module_deinit from its own
// procedure, as a host that unloads the module in the middle of a modal loop would.
constexpr UINT kDeinitRequest = WM_APP + 0x70;

class HostWindows {
public:
    // Creates and shows both windows; false when either cannot be created.
    bool Create(HINSTANCE instance);
    ~HostWindows();

    HWND Main() const { return main; }
    HWND View() const { return view; }
    // The host's own procedure, as it was installed at creation.
    static WNDPROC OwnProcedure();
    // What the main window's procedure does on kDeinitRequest.
    static void OnDeinitRequest(std::function<void()> action);
    // The view window closes and opens again, as when the user changes views.
    bool OpenView();
    void CloseView();
    // Replaces the menu bar with a new one, as the simulator does when it rebuilds its menus.
    void RebuildMenuBar();
    // Opens the popup of the menu-bar item barText's first entry (the module's "Multi Function
    // Panel" under "&Tarnell") below that item for about milliseconds, printing "menu-shown"
    // once it is up; false when there is no such popup.
    bool ShowMenu(const char* barText, DWORD milliseconds);
    // Prints every item of the menu bar as "menu <path> <id=N|popup|separator>".
    void PrintMenuBar() const;

private:
    HWND main = nullptr;
    HWND view = nullptr;
};
