// Reads an extended dialog template (DLGTEMPLATEEX) from a module's resources, as the resource
// compiler wrote it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    std::string className;  // a system class spelt "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"
    std::string text;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    DWORD style = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    int width = 0, height = 0;
    std::string caption;
    int pointSize = 0;
    std::string typeface;
    std::vector<DialogItem> items;
};

// False when the module has no such dialog or it is not an extended template.
bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& dialog);
