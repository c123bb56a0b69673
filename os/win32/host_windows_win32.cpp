#include "os/host_windows.h"

#include <windows.h>

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class Win32HostWindows : public HostWindows {
public:
    WindowHandle FindTopWindow(const char* className) override {
        return reinterpret_cast<WindowHandle>(FindWindowA(className, nullptr));
    }
    WindowHandle FindChildWindow(WindowHandle parent, const char* className,
                                 const char* title) override {
        return reinterpret_cast<WindowHandle>(
            FindWindowExA(ToHwnd(parent), nullptr, className, title));
    }
    bool IsWindow(WindowHandle window) override { return ::IsWindow(ToHwnd(window)) != FALSE; }
    bool GetWindowTitle(WindowHandle window, std::string& title) override {
        char text[MAX_PATH] = {};
        const int length = GetWindowTextA(ToHwnd(window), text, MAX_PATH);
        if (length <= 0) return false;
        title.assign(text, static_cast<size_t>(length));
        return true;
    }
};

}  // namespace

HostWindows& PlatformHostWindows() {
    static Win32HostWindows windows;
    return windows;
}
