// The application object: the module's state between the host's calls, the panel set, and the
// operations behind the module's menu commands and device-change handling.
//
// Every member is used only on the host's window thread (module_init, module_deinit and the
// hooked window procedure run there), so nothing here takes a lock.
#pragma once

#include "board/device_change_filter.h"
#include "panels/mfp.h"

#include <windows.h>

class CTarnellMFPApp {
public:
    CTarnellMFPApp();
    virtual ~CTarnellMFPApp() = default;
    CTarnellMFPApp(const CTarnellMFPApp&) = delete;
    CTarnellMFPApp& operator=(const CTarnellMFPApp&) = delete;

    void Init();    // module_init
    void Deinit();  // module_deinit

    void ConfigureMFP();
    void AboutMFP();
    void ReloadMFPs();
    // One of our boards arrived or was removed: reloads, unless this is a copy of a change
    // already acted on (DeviceChangeFilter).
    void OurDeviceChanged(UINT eventCode, const char* path);

    WNDPROC PreviousWindowProc() const { return previousWindowProc; }

private:
    // The timer, on the simulator's main window, that reloads once devices settled.
    static constexpr UINT_PTR kSettleTimer = 0x7A4E1;
    static constexpr UINT kDeviceSettle = 1000;
    static void CALLBACK OnDevicesSettled(HWND window, UINT message, UINT_PTR timer, DWORD time);

    WNDPROC previousWindowProc = nullptr;
    bool reloadPending = false;
    bool deinitialised = false;  // module_deinit came while the configuration was open
    class ModuleConfigurationDialog* configurationDialog = nullptr;  // set while the configuration is open
    CMFP panels;  // runs against the real host, windows, keyboard and HID services
    HWND mainWindow = nullptr;
    int panelCount = 0;
    HDEVNOTIFY deviceNotifications = nullptr;
    HMODULE selfReference = nullptr;  // keeps the module loaded between module_init and module_deinit
    DeviceChangeFilter deviceChanges;
};

extern CTarnellMFPApp& theApp;

// The hook installed on the simulator's main window; passes every message on.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
