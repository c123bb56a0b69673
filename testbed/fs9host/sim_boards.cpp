#include "testbed/fs9host/sim_boards.h"

#include "config/mfp_data.h"
#include "testbed/fs9host/observations.h"
#include "testbed/fs9host/scenario.h"

#include <dbt.h>

#include <cstdio>

namespace {

template <typename Function>
Function StandInFunction(const char* name) {
    const HMODULE hid = GetModuleHandleA("hid.dll");
    const auto function = hid ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(hid, name))) : nullptr;
    if (!function) Observe("error the loaded hid.dll has no %s: not the stand-in", name);
    return function;
}

bool Done(int result, const char* what, const std::string& argument) {
    if (result != 0) Observe("error %s %s failed (%d)", what, argument.c_str(), result);
    return result == 0;
}

// Windows names the chip's special-function interface, product id 0x1500, in its notifications.
void NotifyDevice(HWND main, WPARAM event, const std::string& serial) {
    const std::string path = "\\\\?\\HID#VID_07C0&PID_1500&MI_01#7&" + serial +
                             "&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const DWORD start = GetTickCount();
    SendDeviceChange(main, event, DBT_DEVTYP_DEVICEINTERFACE, path);
    // How long the module held the window thread (a reload waits a second for the device).
    Observe("devicechange-ms %lu", GetTickCount() - start);
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

bool SimSwitch(const std::string& serial, const std::string& switchName, bool down) {
    const int number = switchName.rfind("SW", 0) == 0 ? std::atoi(switchName.c_str() + 2) : 0;
    if (number < 1 || number > kInputCount) {
        Observe("error no switch %s (SW1 to SW15)", switchName.c_str());
        return false;
    }
    const std::string& key = InputKeys()[static_cast<size_t>(number - 1)];  // "BBbb": byte, bit
    const auto setKey = StandInFunction<int (*)(const char*, int, int, int)>("SimBoardSetKey");
    return setKey && Done(setKey(serial.c_str(), std::stoi(key.substr(0, 2)), std::stoi(key.substr(2)), down ? 1 : 0),
                          "key of", serial);
}

bool SimUnplug(HWND main, const std::string& serial) {
    const auto unplug = StandInFunction<int (*)(const char*)>("SimBoardUnplug");
    if (!unplug || !Done(unplug(serial.c_str()), "unplug", serial)) return false;
    NotifyDevice(main, DBT_DEVICEREMOVECOMPLETE, serial);
    return true;
}

bool SimPlug(HWND main, const std::string& boardText) {
    const auto plug = StandInFunction<int (*)(const char*)>("SimBoardPlug");
    if (!plug || !Done(plug(boardText.c_str()), "plug", boardText)) return false;
    const size_t colon = boardText.find(':');
    NotifyDevice(main, DBT_DEVICEARRIVAL, boardText.substr(colon + 1, boardText.find(':', colon + 1) - colon - 1));
    return true;
}

bool SimShow(const std::string& serial) {
    const auto matrix = StandInFunction<int (*)(const char*, unsigned*)>("SimBoardMatrix");
    const auto ports = StandInFunction<int (*)(const char*, unsigned char*)>("SimBoardPorts");
    unsigned rows[8] = {};
    unsigned char lines[4] = {};
    if (!matrix || !ports || !Done(matrix(serial.c_str(), rows), "matrix of", serial) ||
        !Done(ports(serial.c_str(), lines), "ports of", serial))
        return false;
    std::string matrixLine = "panel " + serial + " matrix";
    for (unsigned row : rows) matrixLine += " " + Hex(row, 8);
    std::string portLine = "panel " + serial + " ports";
    for (unsigned char line : lines) portLine += " " + Hex(line, 2);
    Observe("%s", matrixLine.c_str());
    Observe("%s", portLine.c_str());
    return true;
}
