#include "os/keyboard.h"

#include <windows.h>

namespace {

class Win32Keyboard : public Keyboard {
public:
    void BringToForeground(WindowHandle window) override {
        const HWND target = reinterpret_cast<HWND>(window);
        if (GetForegroundWindow() == target) return;
        const DWORD self = GetCurrentThreadId();
        const DWORD owner = GetWindowThreadProcessId(target, nullptr);
        AttachThreadInput(self, owner, TRUE);
        SetForegroundWindow(target);
        AttachThreadInput(self, owner, FALSE);
    }
    void SendKey(uint8_t virtualKey, bool up) override {
        const BYTE scanCode = static_cast<BYTE>(MapVirtualKeyA(virtualKey, 0));
        keybd_event(virtualKey, scanCode, up ? KEYEVENTF_KEYUP : 0, 0);
    }
};

}  // namespace

Keyboard& PlatformKeyboard() {
    static Win32Keyboard keyboard;
    return keyboard;
}
