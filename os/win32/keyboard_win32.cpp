#include "os/keyboard.h"

#include "os/win32/come_to_front.h"

#include <windows.h>

namespace {

constexpr UINT kComeToFrontWaitMs = 250;

class Win32Keyboard : public Keyboard {
public:
    // Asked of the window's own thread, with a bounded wait: a window thread that is busy (or
    // waiting for this thread) costs a keystroke that may go astray, never a hang.
    void BringToForeground(WindowHandle window) override {
        const HWND target = reinterpret_cast<HWND>(window);
        if (GetForegroundWindow() == target) return;
        if (GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()) {
            ComeToFront(target);
            return;
        }
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(target, ComeToFrontMessage(), 0, 0, SMTO_ABORTIFHUNG, kComeToFrontWaitMs, &ignored);
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
