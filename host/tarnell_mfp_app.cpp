#include "host/tarnell_mfp_app.h"

#include "config/file_access.h"
#include "host/device_notifications.h"
#include "host/host_panels_win32.h"
#include "iokit/iokit.h"
#include "log/log.h"
#include "os/hid.h"
#include "os/host_windows.h"
#include "os/keyboard.h"
#include "os/profile_file.h"
#include "os/user_message.h"
#include "os/win32/message_owner.h"
#include "os/win32/module_instance.h"
#include "ui/about_dlg.h"
#include "ui/config_dlg.h"

namespace {
const char kModuleName[] = "MFP";

PanelServices HostPanelServices() {
    return PanelServices{HostPanelsFromImportTable(), PlatformHostWindows(), PlatformKeyboard(),
                         PlatformProfileFile(), PlatformUserMessages(),
                         SiblingPath(ModuleFilePath(), kConfigurationFileName)};
}
}  // namespace

CTarnellMFPApp::CTarnellMFPApp() : panels(HostPanelServices()) {}

// Built after theLog (init_priority 200), and never destroyed: a host may end its process with
// the panels running, and then their threads are gone, perhaps holding locks, and a destructor
// would join threads that no longer run. After module_deinit it holds nothing but memory.
CTarnellMFPApp& theApp = *new CTarnellMFPApp;

void CTarnellMFPApp::Init() {
    deinitialised = false;
    // Our own reference to the module, until module_deinit: a host that unloads the module
    // without it leaves the panels' threads running, and their code must stay where it is.
    if (!selfReference)
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&HostWindowProc),
                           &selfReference);
    const std::string modulePath = ModuleFilePath();
    const std::string configPath = SiblingPath(modulePath, kConfigurationFileName);
    const std::string logPath = SiblingPath(modulePath, "Tarnell_MFP.log");

    const uint32_t debug = PlatformProfileFile().GetInt("Misc", "Debug", 0, configPath);
    theLog.SetFileName(logPath);
    theLog.Enable(debug == 1);

    theLog.Write(0, kModuleName, "module_init called\n");
    theLog.Write(0, kModuleName, "Checking for FS9 main window\n");
    mainWindow = reinterpret_cast<HWND>(PlatformHostWindows().FindTopWindow(kMainWindowClass));
    if (!mainWindow) {
        theLog.Write(2, kModuleName, "FS9 windows was not found\n");
    } else {
        theLog.Write(0, kModuleName, "FS9 windows found (0x%X)\n",
                     static_cast<unsigned>(reinterpret_cast<UINT_PTR>(mainWindow)));
        // SetWindowLongPtrA is SetWindowLongA in the 32-bit build.
        previousWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc)));
        if (previousWindowProc) {
            theLog.Write(0, kModuleName, "Inserted into the FS9 menu\n");
            SetUserMessageOwner(mainWindow);  // its procedure shows what the panels' threads report
            // Only a hooked window passes the notifications on to the module.
            deviceNotifications = RegisterForHidNotifications(mainWindow);
        } else {
            theLog.Write(2, kModuleName, "Unable to insert into the FS menu\n");
        }
        KitUseBackend(PlatformHidBackend());
        panelCount = panels.LoadMFPs();
        theLog.Write(0, kModuleName, "Loaded %d MFP's\n", panelCount);
    }
    theLog.Write(0, kModuleName, "module_init finished\n");
}

void CTarnellMFPApp::Deinit() {
    theLog.Write(0, kModuleName, "module_deinit\n");
    if (mainWindow) KillTimer(mainWindow, kSettleTimer);  // a reload still waiting is not made
    // Called from within the configuration dialog's message loop: the dialog lets go of the
    // boards before they are deleted, and nothing reloads once it has returned.
    if (configurationDialog) configurationDialog->Close();
    reloadPending = false;
    deinitialised = true;
    panels.UnloadMFPs();
    theLog.Write(0, kModuleName, "MFP's unloaded\n");
    SetUserMessageOwner(nullptr);
    UnregisterHidNotifications(deviceNotifications);
    deviceNotifications = nullptr;
    if (previousWindowProc) {
        // Another add-on that hooked the window after us keeps its hook, and calls ours on: it
        // passes every message on to the saved procedure.
        const auto installed = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(mainWindow, GWLP_WNDPROC));
        if (installed == &HostWindowProc) {
            SetWindowLongPtrA(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWindowProc));
            previousWindowProc = nullptr;
            theLog.Write(0, kModuleName, "Removed ourselves from the FS9 menu\n");
        } else {
            theLog.Write(2, kModuleName, "Another add-on hooked the FS9 window after us: our hook stays, passing messages on\n");
        }
    }
    // A hook that stays keeps the module too: its procedure must not go away under the window.
    if (selfReference && !previousWindowProc) {
        FreeLibrary(selfReference);  // the host's own reference still holds the module
        selfReference = nullptr;
    }
}

void CTarnellMFPApp::ConfigureMFP() {
    theLog.Write(0, kModuleName, "ConfigureMFP called\n");
    if (panelCount == 0) {
        PlatformUserMessages().Show("There are now MFP's to configure.", MessageIcon::Information);
        theLog.Write(0, kModuleName, "There are now MFP's to configure.\n");
        return;
    }
    if (configurationDialog) {
        theLog.Write(0, kModuleName, "The configuration is open already\n");
        return;
    }
    try {
        ModuleConfigurationDialog dialog(mainWindow);
        configurationDialog = &dialog;
        panels.RunConfiguration(dialog);
    } catch (...) {
        // Device changes would otherwise wait for a dialog that is gone.
        theLog.Write(2, kModuleName, "Configuration stopped by an exception\n");
    }
    configurationDialog = nullptr;
    theLog.Write(0, kModuleName, "ConfigureMFP finished\n");
    if (reloadPending && !deinitialised) {
        reloadPending = false;
        ReloadMFPs();
    }
}

void CTarnellMFPApp::AboutMFP() {
    theLog.Write(0, kModuleName, "About MFP called\n");
    CAboutDlg about(nullptr);
    about.DoModal();
}

void CTarnellMFPApp::ReloadMFPs() {
    if (configurationDialog) {
        reloadPending = true;
        return;
    }
    theLog.Write(0, kModuleName, "Reloading MFP's\n");
    panels.UnloadMFPs();
    panelCount = panels.LoadMFPs();
    theLog.Write(0, kModuleName, "Loaded %d MFP's\n", panelCount);
    deviceChanges.ReloadFinished(DeviceChangeFilter::Clock::now());
}

void CTarnellMFPApp::OurDeviceChanged(UINT eventCode, const char* path) {
    if (!deviceChanges.Accept(eventCode, path, DeviceChangeFilter::Clock::now())) {
        theLog.Write(0, kModuleName, "The same device change again: no second reload\n");
        return;
    }
    theLog.Write(0, kModuleName, "One of our devices has been added/removed.\n");
    // The device needs a moment before it can be opened, and a burst of changes (a hub, two
    // interfaces) is one reload: the reload runs kDeviceSettle after the last change, from a
    // timer of the window thread, which meanwhile goes on drawing.
    if (!mainWindow || !SetTimer(mainWindow, kSettleTimer, kDeviceSettle, &OnDevicesSettled)) ReloadMFPs();
}

void CALLBACK CTarnellMFPApp::OnDevicesSettled(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    try {
        theApp.ReloadMFPs();
    } catch (...) {
        theLog.Write(2, kModuleName, "Reloading stopped by an exception\n");
    }
}
