#include "host/window_hook.h"

#include "board/device_path.h"
#include "host/tarnell_mfp_app.h"
#include "log/log.h"
#include "os/win32/come_to_front.h"
#include "os/win32/message_owner.h"
#include "os/win32/module_instance.h"
#include "resources/resource_ids.h"

#include <dbt.h>

#include <cstring>

namespace {

const char kModuleName[] = "MFP";
const char kTarnellMenuText[] = "&Tarnell";
// The special-function interface: one notification per board.
constexpr unsigned kBoardNotificationInterface = 1;
// Size, device type, reserved word and class GUID precede the path.
constexpr size_t kDeviceInterfaceHeaderSize = 28;

}  // namespace

// Resources always come from ModuleInstance(), never from the host's process module, so each
// entry from the host finds the module's own menu and dialogs without switching any state.
// Whatever the module's part throws stays here; the host's procedure still gets the message.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == ComeToFrontMessage()) {
            ComeToFront(window);  // asked by a panel's thread before a keystroke
            return 0;
        }
        if (message == UserMessagesWaitingMessage()) {
            ShowWaitingUserMessages();  // handed over by the panels' threads
            return 0;
        }
        switch (message) {
        case WM_NCPAINT: InsertMenus(window); break;
        case WM_COMMAND: OnMenuCommand(LOWORD(wParam)); break;
        case WM_DEVICECHANGE: OnDeviceChange(wParam, lParam); break;
        default: break;
        }
    } catch (...) {
        theLog.Write(2, kModuleName, "Message 0x%X stopped by an exception\n", message);
    }
    return CallWindowProcA(theApp.PreviousWindowProc(), window, message, wParam, lParam);
}

HMENU FindMenuPopup(HMENU menu, const char* text, bool create) {
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char itemText[MAX_PATH] = {};
        GetMenuStringA(menu, position, itemText, MAX_PATH, MF_BYPOSITION);
        if (std::strcmp(itemText, text) != 0) continue;
        if (HMENU popup = GetSubMenu(menu, position)) return popup;
        break;  // an item of that text without a submenu ends the search
    }
    if (!create) return nullptr;
    HMENU popup = CreateMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
    return popup;
}

void InsertMenus(HWND window) {
    HMENU menuBar = GetMenu(window);
    if (!menuBar) return;
    HMENU tarnell = FindMenuPopup(menuBar, kTarnellMenuText, true);

    HMENU menuTemplate = LoadMenuA(ModuleInstance(), MAKEINTRESOURCEA(IDR_MFP_MENU));
    if (!menuTemplate) return;
    char entryText[MAX_PATH] = {};
    GetMenuStringA(menuTemplate, 0, entryText, MAX_PATH, MF_BYPOSITION);
    if (!FindMenuPopup(tarnell, entryText, false)) {
        HMENU entry = GetSubMenu(menuTemplate, 0);
        AppendMenuA(tarnell, MF_POPUP, reinterpret_cast<UINT_PTR>(entry), entryText);
        // Detach the popup from the template first: destroying the template would destroy it.
        RemoveMenu(menuTemplate, 0, MF_BYPOSITION);
    }
    DestroyMenu(menuTemplate);
}

void OnMenuCommand(UINT commandId) {
    if (commandId == ID_MFP_CONFIGURATION) theApp.ConfigureMFP();
    else if (commandId == ID_MFP_ABOUT) theApp.AboutMFP();
}

void OnDeviceChange(WPARAM eventCode, LPARAM record) {
    if (eventCode != DBT_DEVICEARRIVAL && eventCode != DBT_DEVICEREMOVECOMPLETE) return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return;
    const char* path = reinterpret_cast<const char*>(header) + kDeviceInterfaceHeaderSize;
    if (!IsOurDevicePath(path, kBoardNotificationInterface)) return;
    theApp.OurDeviceChanged(static_cast<UINT>(eventCode), path);
}
