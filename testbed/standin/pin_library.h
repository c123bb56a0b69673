// Keeps a stand-in library loaded until the process ends, whatever FreeLibrary calls follow.
#pragma once

#include <windows.h>

// Pins the library that holds `address`; called from its DllMain at process attach.
inline void PinLibraryHolding(const void* address) {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       static_cast<LPCSTR>(address), &self);
}
