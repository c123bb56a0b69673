// Recognises the device-interface paths of the module's own boards in device-change
// notifications, e.g. \\?\HID#VID_07C0&PID_1500&MI_01#7&1a2b3c&0&0000#{4d1e55b2-...}.
#pragma once

#include <string_view>

// True when the path names a supported board (vendor 0x1FD1 or 0x07C0, product 0x03E8, 0x03EA
// or 0x1500) and its interface number equals interfaceNumber. Case does not matter.
bool IsOurDevicePath(std::string_view path, unsigned interfaceNumber);
