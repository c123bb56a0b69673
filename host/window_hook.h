// The steps of the hooked window procedure: the module's menu, its commands and device changes.
#pragma once

#include <windows.h>

// Adds the "&Tarnell" popup and its "Multi Function Panel" entry to the window's menu bar
// unless they are there already.
void InsertMenus(HWND window);
// The submenu of the first item of menu whose text is exactly text; with create, a new empty
// popup appended under that text when there is none. Null otherwise.
HMENU FindMenuPopup(HMENU menu, const char* text, bool create);
void OnMenuCommand(UINT commandId);
void OnDeviceChange(WPARAM eventCode, LPARAM record);
