// Registration of the simulator's main window for HID device-interface notifications. Windows
// sends interface arrivals and removals only to windows registered for their class, so without
// it a board plugged in or pulled out while the simulator runs would go unnoticed.
#pragma once

#include <windows.h>

// The registration's handle; null (with a level 2 log line) when it was refused.
HDEVNOTIFY RegisterForHidNotifications(HWND window);
void UnregisterHidNotifications(HDEVNOTIFY registration);
