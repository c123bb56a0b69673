#include "ui/window_placement.h"

#include <vector>

namespace {

void CentreIn(HWND window, const RECT& area) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int x = area.left + (area.right - area.left - (rect.right - rect.left)) / 2;
    const int y = area.top + (area.bottom - area.top - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CentreOnScreen(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    CentreIn(window, monitor.rcWork);
}

void CentreOverOwner(HWND window) {
    RECT area{};
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    CentreIn(window, area);
}

void BringToFront(HWND window) {
    ShowWindow(window, SW_SHOW);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!SetForegroundWindow(window)) {
        // Refused to a thread that lacks the foreground: joined to the foreground window's
        // input for the moment, ours is the thread that has it.
        const DWORD own = GetCurrentThreadId();
        const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
        if (!foreground || foreground == own || !AttachThreadInput(own, foreground, TRUE)) return;
        SetForegroundWindow(window);
        AttachThreadInput(own, foreground, FALSE);
    }
    // Activated while another thread's window was still in front, the caption was drawn
    // inactive, and Wine does not redraw it once the window is in front.
    if (GetForegroundWindow() == window) SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
}

namespace {

struct OwnedSearch {
    HWND owner;
    std::vector<HWND> owned;
};

BOOL CALLBACK CollectOwned(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<OwnedSearch*>(context);
    for (HWND up = GetWindow(window, GW_OWNER); up; up = GetWindow(up, GW_OWNER)) {
        if (up != search.owner) continue;
        search.owned.push_back(window);
        break;
    }
    return TRUE;
}

}  // namespace

void CancelOwnedWindows(HWND owner) {
    OwnedSearch search{owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectOwned, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.owned) PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}
