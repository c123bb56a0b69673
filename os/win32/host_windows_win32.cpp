#include "os/host_windows.h"

#include <windows.h>

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// GetWindowTextA's buffer of MAX_PATH holds 259 bytes; a double-byte character that would
// straddle the end is left out whole.
std::string CutToAnsiLimit(const std::string& text) {
    constexpr size_t kLimit = MAX_PATH - 1;
    if (text.size() <= kLimit) return text;
    size_t end = 0;
    while (end < kLimit) {
        const size_t next = end + (IsDBCSLeadByte(static_cast<BYTE>(text[end])) ? 2 : 1);
        if (next > kLimit) break;
        end = next;
    }
    return text.substr(0, end);
}

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
    // InternalGetWindowText reads the stored title without sending WM_GETTEXT: the window's
    // thread may be the host's, waiting for this very thread in UnloadMFPs.
    bool GetWindowTitle(WindowHandle window, std::string& title) override {
        wchar_t text[MAX_PATH] = {};
        const int length = InternalGetWindowText(ToHwnd(window), text, MAX_PATH);
        if (length <= 0) return false;
        const int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
        if (bytes <= 0) return false;
        std::string narrow(static_cast<size_t>(bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
        title = CutToAnsiLimit(narrow);
        return !title.empty();
    }
};

}  // namespace

HostWindows& PlatformHostWindows() {
    static Win32HostWindows windows;
    return windows;
}
