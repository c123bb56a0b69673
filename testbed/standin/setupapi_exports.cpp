// The stand-in setupapi.dll: the HID device-interface class of the stand-in hid.dll's devices,
// with the argument checks and errors of the platform's SetupDi functions. A set is a snapshot
// taken when it is made, as the platform's is.
#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "testbed/standin/pin_library.h"
#include "testbed/standin/device_tree.h"

namespace {

// The device setup class of HID nodes ("HIDClass").
constexpr GUID kHidSetupClass = {0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};

struct InterfaceSet {
    std::vector<StandinInterface> interfaces;
};

// The sets handed out, so that a stale or foreign handle is refused rather than followed.
std::mutex setsLock;
std::set<InterfaceSet*> sets;

InterfaceSet* Valid(HDEVINFO handle) {
    std::lock_guard<std::mutex> hold(setsLock);
    auto* set = static_cast<InterfaceSet*>(handle);
    if (sets.count(set) != 0) return set;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, PCSTR, HWND, DWORD flags) {
    const bool allClasses = (flags & DIGCF_ALLCLASSES) != 0;
    if (!classGuid && !allClasses) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto* set = new InterfaceSet;
    // Only device interfaces of the HID class exist here.
    if ((flags & DIGCF_DEVICEINTERFACE) && (allClasses || *classGuid == kHidInterfaceClass)) {
        set->interfaces.resize(StandinListInterfaces(nullptr, 0) + 8);
        set->interfaces.resize(std::min<std::size_t>(
            set->interfaces.size(), StandinListInterfaces(set->interfaces.data(), set->interfaces.size())));
    }
    std::lock_guard<std::mutex> hold(setsLock);
    sets.insert(set);
    return set;
}

WINBOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA device, const GUID* classGuid,
                                           DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
    InterfaceSet* set = Valid(handle);
    if (!set) return FALSE;
    if (!classGuid) return Fail(ERROR_INVALID_PARAMETER);
    if (!data || data->cbSize != sizeof *data) return Fail(ERROR_INVALID_USER_BUFFER);
    if (device && device->cbSize != sizeof *device) return Fail(ERROR_INVALID_USER_BUFFER);
    // The index counts the interfaces of the class (and of the one device, when given).
    DWORD seen = 0;
    for (std::size_t i = 0; i < set->interfaces.size() && *classGuid == kHidInterfaceClass; ++i) {
        if (device && device->DevInst != set->interfaces[i].node) continue;
        if (seen++ != index) continue;
        data->InterfaceClassGuid = kHidInterfaceClass;
        data->Flags = SPINT_ACTIVE;
        data->Reserved = i + 1;
        return TRUE;
    }
    return Fail(ERROR_NO_MORE_ITEMS);
}

WINBOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data,
                                                PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD size,
                                                PDWORD required, PSP_DEVINFO_DATA device) {
    InterfaceSet* set = Valid(handle);
    if (!set) return FALSE;
    if (!data || data->Reserved == 0 || data->Reserved > set->interfaces.size()) return Fail(ERROR_INVALID_PARAMETER);
    const StandinInterface& found = set->interfaces[data->Reserved - 1];
    const DWORD needed = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + std::strlen(found.path) + 1;
    if (detail ? detail->cbSize != sizeof *detail : size != 0) return Fail(ERROR_INVALID_USER_BUFFER);
    if (device && device->cbSize != sizeof *device) return Fail(ERROR_INVALID_USER_BUFFER);
    if (required) *required = needed;
    if (!detail || size < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(detail->DevicePath, found.path, std::strlen(found.path) + 1);
    if (device) {
        device->ClassGuid = kHidSetupClass;
        device->DevInst = found.node;
        device->Reserved = 0;
    }
    return TRUE;
}

WINBOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    InterfaceSet* set = Valid(handle);
    if (!set) return FALSE;
    {
        std::lock_guard<std::mutex> hold(setsLock);
        sets.erase(set);
    }
    delete set;
    return TRUE;
}

// Pinned at load, as hid.dll is: this library carries its own copy of the threads runtime, which
// keeps a duplicate of the loading thread's handle (and an event) from the moment the library
// registers its unwind tables; unloading it would leak both on every load the module's kit makes.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) PinLibraryHolding(reinterpret_cast<const void*>(&SetupDiGetClassDevsA));
    return TRUE;
}
