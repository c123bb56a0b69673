// What the stand-in hid.dll tells the stand-in setupapi.dll and cfgmgr32.dll, which link to it:
// the present HID interfaces and the device-node tree above them (device_registry.h).
#pragma once

#include <windows.h>

// The HID device-interface class, as HidD_GetHidGuid gives it.
constexpr GUID kHidInterfaceClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

extern "C" {

struct StandinInterface {
    char path[200];
    unsigned long node;  // the interface's HID device node
};

// Copies up to capacity present interfaces in enumeration order; returns how many are present.
unsigned StandinListInterfaces(StandinInterface* interfaces, unsigned capacity);
// CM_Get_Parent's answer (a CONFIGRET) for a node.
unsigned long StandinParentNode(unsigned long node, unsigned long* parent);
}
