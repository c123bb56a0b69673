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

// Posts Cancel to every window of the calling thread that `owner` owns, directly or through
// another: a modal dialog it opened and a file dialog that one opened. Each ends as its own
// modal loop returns, innermost first, all on this thread, with nothing to wait for.
void CancelOwnedWindows(HWND owner);
