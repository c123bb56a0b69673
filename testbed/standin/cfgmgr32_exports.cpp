// The stand-in cfgmgr32.dll: the device-node tree of the stand-in hid.dll's devices.
#include <windows.h>

#include <cfgmgr32.h>

#include "testbed/standin/device_tree.h"

CONFIGRET WINAPI CM_Get_Parent(PDEVINST parent, DEVINST node, ULONG flags) {
    if (!parent) return CR_INVALID_POINTER;
    if (flags != 0) return CR_INVALID_FLAG;
    unsigned long found = 0;
    const unsigned long result = StandinParentNode(node, &found);
    if (result == CR_SUCCESS) *parent = found;
    return result;
}
