// The simulator's full-screen window, for tests of what opens in front of it.
#pragma once

#include <windows.h>

// A black topmost popup over the whole screen but its bottom row of pixels: under Wine without
// a window manager, a window of exactly the screen's size stalls its thread's message queue.
inline HWND FullScreenStandIn() {
    return CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Flight Simulator", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 1, nullptr, nullptr, nullptr,
                           nullptr);
}
