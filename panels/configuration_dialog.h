// The configuration dialog as the panel set shows it: the module's window on Windows, a scripted
// stand-in in the tests.
#pragma once

#include <map>
#include <string>

#include "board/tarnell_controller.h"

class ConfigurationDialog {
public:
    static constexpr int kSaved = 1;  // the Save button (IDOK)

    virtual ~ConfigurationDialog() = default;
    // Shows the dialog for the boards (by serial number, one tab each in this order) while
    // their inputs are stopped, and returns kSaved once the user saved; any other result
    // (Cancel, the close box, a window that could not be made) means nothing was written.
    // May throw: the panel set tells the user and carries on.
    virtual int Run(const std::map<std::string, CTarnellController*>& boards) = 0;
};
