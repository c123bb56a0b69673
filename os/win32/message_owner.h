// Messages shown for the panels' threads belong to the simulator's main window: such a thread
// hands its message to the window's own thread and goes on, so that it never sits in a message
// box that a full-screen simulator hides while the window thread waits for it to end.
#pragma once

#include <windows.h>

// The window that owns every message box from now on (null: none, as before module_init, and
// the messages still waiting are dropped: the module is going).
void SetUserMessageOwner(HWND window);
// Posted to the owner when messages wait; its procedure calls ShowWaitingUserMessages.
UINT UserMessagesWaitingMessage();
// On the owner's thread: shows the waiting messages, one after the other.
void ShowWaitingUserMessages();
