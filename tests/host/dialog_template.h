// Reads an extended dialog template (DLGTEMPLATEEX) from a module's resources, as the resource
// compiler wrote it; texts and class names are taken as ASCII.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    std::string className;  // as written, or "#128" to "#133" for a system class given by number
    std::string text;
    int id, x, y, width, height;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    int width = 0, height = 0, pointSize = 0;
    std::string caption, typeface;
    std::vector<DialogItem> items;
};

// False when the module has no such dialog or it is not an extended template.
bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& dialog);
