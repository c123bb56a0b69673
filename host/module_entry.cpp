// The host's contract: the exported linkage record and import table (exported under these
// undecorated names by Tarnell_MFP.def) and the two entry points they lead to.
#include "host/module_entry.h"

#include "host/host_interface.h"
#include "host/tarnell_mfp_app.h"
#include "log/log.h"

extern "C" {

// Nothing thrown may reach the host: it could not catch it, and the process would end.
void module_init() {
    try {
        theApp.Init();
    } catch (...) {
        theLog.Write(2, "MFP", "module_init stopped by an exception\n");
    }
}

void module_deinit() {
    try {
        theApp.Deinit();
    } catch (...) {
        theLog.Write(2, "MFP", "module_deinit stopped by an exception\n");
    }
}

ModuleLinkage Linkage = {0, &module_init, &module_deinit, 0, 0, kModuleLinkageVersion, nullptr};

ImportEntry ImportTable[] = {
    {kPanelsImportId, nullptr},  // filled in by the host before module_init
    {0, nullptr},
};

}  // extern "C"

void* HostPanelsTable() { return ImportTable[0].table; }
