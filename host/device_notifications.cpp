#include "host/device_notifications.h"

#include <dbt.h>

#include "log/log.h"

namespace {

const char kModuleName[] = "MFP";
// GUID_DEVINTERFACE_HID, the HID interface class.
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

}  // namespace

HDEVNOTIFY RegisterForHidNotifications(HWND window) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    const HDEVNOTIFY registration = RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (registration)
        theLog.Write(0, kModuleName, "Registered for HID device notifications\n");
    else
        theLog.Write(2, kModuleName, "Unable to register for HID device notifications (error %lu)\n",
                     GetLastError());
    return registration;
}

void UnregisterHidNotifications(HDEVNOTIFY registration) {
    if (!registration) return;
    UnregisterDeviceNotification(registration);
    theLog.Write(0, kModuleName, "Unregistered from HID device notifications\n");
}
