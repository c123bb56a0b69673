// Placing a top-level window that has no owner to keep it in view: a dialog opened on a thread
// without windows (a board's reading thread) while the simulator may fill the screen.
#pragma once

#include <windows.h>

// Centres the window on the work area of the monitor that shows the foreground window (the
// simulator's, usually), or of the primary monitor.
void CentreOnScreen(HWND window);
// Centres the window over its owner, or on the work area when it has none.
void CentreOverOwner(HWND window);

// Shows the window above every other one, the topmost included (a full-screen simulator window
// is topmost), and makes it the foreground window so that it gets the keyboard.
void BringToFront(HWND window);
