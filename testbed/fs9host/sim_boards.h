// The simulated boards behind the tests' stand-in hid.dll: fs9host presses their switches, pulls
// and plugs their cables (sending the WM_DEVICECHANGE Windows would send) and prints what they
// show, through the C interface that library exports. The module loads the library, so these
// work only after module_init; each prints "error ..." and returns false when they cannot.
#pragma once

#include <windows.h>

#include <string>

// switchName "SW1" to "SW15".
bool SimSwitch(const std::string& serial, const std::string& switchName, bool down);
bool SimUnplug(HWND main, const std::string& serial);
// board text "PID:SERIAL[:TYPE:VERSION]" (hexadecimal), as MFP_SIM_BOARDS and mfp panels --sim take it.
bool SimPlug(HWND main, const std::string& boardText);
// Prints "panel SERIAL matrix R0 ... R7" and "panel SERIAL ports P0 ... P3", as mfp demo does.
bool SimShow(const std::string& serial);
