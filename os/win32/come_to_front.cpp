#include "os/win32/come_to_front.h"

UINT ComeToFrontMessage() {
    static const UINT message = RegisterWindowMessageA("Tarnell MFP: come to the front");
    return message;
}

void ComeToFront(HWND window) {
    if (GetForegroundWindow() == window || SetForegroundWindow(window)) return;
    const DWORD own = GetCurrentThreadId();
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (!foreground || foreground == own || !AttachThreadInput(own, foreground, TRUE)) return;
    SetForegroundWindow(window);
    AttachThreadInput(own, foreground, FALSE);
}
