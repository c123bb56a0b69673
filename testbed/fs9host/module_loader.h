// Loads a module file the way the simulator does: LoadLibrary, the exported "Linkage" record
// and "ImportTable", the PANELS table filled in, then module_init; module_deinit and
// FreeLibrary at the end.
#pragma once

#include "host/host_interface.h"

#include <windows.h>

#include <string>

class ModuleLoader {
public:
    ~ModuleLoader();  // unloads when still loaded

    // Loads the file, prints its linkage record and hands it panelsTable. False (with a printed
    // reason) when the file or either export is missing.
    bool Load(const std::string& path, void* panelsTable);
    void Init();
    void Deinit();
    void Unload();
    HMODULE Handle() const { return module; }

private:
    HMODULE module = nullptr;
    ModuleLinkage* linkage = nullptr;
    bool initialised = false;
};
