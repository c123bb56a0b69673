// Keystrokes injected into the system's input stream for the simulator's main window, and the
// foreground switch that makes that window receive them. Called on a board's key-matrix thread.
#pragma once

#include <cstdint>

#include "os/host_windows.h"

class Keyboard {
public:
    virtual ~Keyboard() = default;
    // When the window is not the foreground window: attach the calling thread's input to the
    // window's thread, make it the foreground window, detach again.
    virtual void BringToForeground(WindowHandle window) = 0;
    // One key down or up (keybd_event with the key's scan code from MapVirtualKeyA).
    virtual void SendKey(uint8_t virtualKey, bool up) = 0;
};

// The real keyboard (Windows builds only).
Keyboard& PlatformKeyboard();
