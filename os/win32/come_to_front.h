// Bringing the simulator's window to the front for a keystroke, from any thread, without ever
// joining a thread's input to the simulator's window thread, which may be waiting for that very
// thread (unloading the panels joins them). The window's own thread does it when asked, and the
// asker waits a bounded time.
#pragma once

#include <windows.h>

// The message the window's procedure answers by calling ComeToFront on its own thread.
UINT ComeToFrontMessage();

// On the window's thread: makes it the foreground window, joining this thread's input to the
// current foreground thread for the moment when the system refuses otherwise.
void ComeToFront(HWND window);
