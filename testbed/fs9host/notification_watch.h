// Watches the module's registrations for device notifications, which the host cannot ask Windows
// about: the module's imports of RegisterDeviceNotificationA and UnregisterDeviceNotification
// (user32.dll) are pointed at functions that call the real ones and print
//   devnotify register window=main|other type=N class={GUID} flags=0xN result=handle|failed
//   devnotify unregister registered|unknown result=N
// A module that registers by other means is not seen.
#pragma once

#include <windows.h>

// Call after loading the module and before module_init.
void WatchDeviceNotifications(HMODULE module, HWND mainWindow);
// Prints "devnotify open N": registrations the module has not undone.
void ReportOpenDeviceNotifications();
