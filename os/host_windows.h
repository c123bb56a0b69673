// The simulator's windows as the panel runtime sees them: its main window (class "FS98MAIN")
// and the view windows (class "FS98CHILD", children of the main window) found by title.
// Any thread may call these.
#pragma once

#include <cstdint>
#include <string>

// A window handle as a number; 0 is no window.
using WindowHandle = std::uintptr_t;

constexpr const char* kMainWindowClass = "FS98MAIN";
constexpr const char* kViewWindowClass = "FS98CHILD";

class HostWindows {
public:
    virtual ~HostWindows() = default;
    // The top-level window of the class (FindWindowA, no title); 0 when none.
    virtual WindowHandle FindTopWindow(const char* className) = 0;
    // A child of the parent with this class and title (FindWindowExA from the first child).
    virtual WindowHandle FindChildWindow(WindowHandle parent, const char* className,
                                         const char* title) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    // The window's title (GetWindowTextA, at most 259 characters); false when it cannot be read.
    virtual bool GetWindowTitle(WindowHandle window, std::string& title) = 0;
};

// The real windows (Windows builds only).
HostWindows& PlatformHostWindows();
