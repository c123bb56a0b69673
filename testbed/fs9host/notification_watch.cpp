#include "testbed/fs9host/notification_watch.h"

#include "testbed/fs9host/observations.h"

#include <dbt.h>

#include <cstring>
#include <mutex>
#include <set>

namespace {

using RegisterFunction = HDEVNOTIFY(WINAPI*)(HANDLE, LPVOID, DWORD);
using UnregisterFunction = BOOL(WINAPI*)(HDEVNOTIFY);

RegisterFunction realRegister = nullptr;
UnregisterFunction realUnregister = nullptr;
HWND watchedMain = nullptr;
std::mutex openLock;
std::set<HDEVNOTIFY> open;

// The module's import address table entry of function from dll; null when it imports none.
void** ImportSlot(HMODULE module, const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 || !entry->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// Points the slot at replacement and gives the function it pointed at.
void* Redirect(void** slot, void* replacement) {
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return nullptr;
    void* original = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return original;
}

HDEVNOTIFY WINAPI WatchedRegister(HANDLE recipient, LPVOID filter, DWORD flags) {
    const HDEVNOTIFY registration = realRegister(recipient, filter, flags);
    const auto* header = static_cast<const DEV_BROADCAST_HDR*>(filter);
    char guid[40] = "-";
    if (header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        const GUID& g = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(filter)->dbcc_classguid;
        std::snprintf(guid, sizeof guid, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                      g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                      g.Data4[7]);
    }
    Observe("devnotify register window=%s type=%lu class=%s flags=0x%lX result=%s",
            recipient == watchedMain ? "main" : "other", header ? header->dbch_devicetype : 0UL, guid, flags,
            registration ? "handle" : "failed");
    if (registration) {
        std::lock_guard<std::mutex> hold(openLock);
        open.insert(registration);
    }
    return registration;
}

BOOL WINAPI WatchedUnregister(HDEVNOTIFY registration) {
    bool known = false;
    {
        std::lock_guard<std::mutex> hold(openLock);
        known = open.erase(registration) != 0;
    }
    const BOOL result = realUnregister(registration);
    Observe("devnotify unregister %s result=%d", known ? "registered" : "unknown", result ? 1 : 0);
    return result;
}

}  // namespace

void WatchDeviceNotifications(HMODULE module, HWND mainWindow) {
    watchedMain = mainWindow;
    if (void** slot = ImportSlot(module, "user32.dll", "RegisterDeviceNotificationA"))
        realRegister = reinterpret_cast<RegisterFunction>(Redirect(slot, reinterpret_cast<void*>(&WatchedRegister)));
    if (void** slot = ImportSlot(module, "user32.dll", "UnregisterDeviceNotification"))
        realUnregister =
            reinterpret_cast<UnregisterFunction>(Redirect(slot, reinterpret_cast<void*>(&WatchedUnregister)));
}

void ReportOpenDeviceNotifications() {
    std::lock_guard<std::mutex> hold(openLock);
    Observe("devnotify open %u", static_cast<unsigned>(open.size()));
}
