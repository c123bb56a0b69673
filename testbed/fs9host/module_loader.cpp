#include "testbed/fs9host/module_loader.h"

#include "testbed/fs9host/observations.h"

ModuleLoader::~ModuleLoader() {
    Deinit();
    Unload();
}

bool ModuleLoader::Load(const std::string& path, void* panelsTable) {
    module = LoadLibraryA(path.c_str());
    if (!module) {
        Observe("error cannot load %s (error %lu)", path.c_str(), GetLastError());
        return false;
    }
    linkage = reinterpret_cast<ModuleLinkage*>(GetProcAddress(module, "Linkage"));
    auto* imports = reinterpret_cast<ImportEntry*>(GetProcAddress(module, "ImportTable"));
    if (!linkage || !imports) {
        Observe("error %s exports no %s", path.c_str(), linkage ? "ImportTable" : "Linkage");
        return false;
    }
    Observe("module loaded %s", path.c_str());
    Observe("linkage module_id=%u init=%s deinit=%s flags=%u priority=%u version=0x%X reserved=%s",
            linkage->moduleId, linkage->moduleInit ? "set" : "null",
            linkage->moduleDeinit ? "set" : "null", linkage->flags, linkage->priority,
            linkage->version, linkage->reserved ? "set" : "0");
    for (ImportEntry* entry = imports; entry->id != 0; ++entry) {
        Observe("import id=0x%X", entry->id);
        if (entry->id == kPanelsImportId) entry->table = panelsTable;
    }
    return true;
}

void ModuleLoader::Init() {
    if (!linkage || !linkage->moduleInit || initialised) return;
    Observe("module_init");
    linkage->moduleInit();
    initialised = true;
}

void ModuleLoader::Deinit() {
    if (!initialised) return;
    Observe("module_deinit");
    linkage->moduleDeinit();
    initialised = false;
}

void ModuleLoader::Unload() {
    if (!module) return;
    FreeLibrary(module);
    module = nullptr;
    linkage = nullptr;
    Observe("module unloaded");
}
