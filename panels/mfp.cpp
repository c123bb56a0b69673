#include "panels/mfp.h"

#include "log/log.h"

namespace {
const char kModuleName[] = "MFP";
}

int CMFP::LoadMFPs() {
    running = true;
    if (loaded) return 0;
    // No board registry yet: no board is found, so no panel is started.
    const int started = 0;
    loaded = true;
    return started;
}

void CMFP::UnloadMFPs() {
    theLog.Write(0, kModuleName, "UnloadMFPs\n");
    running = false;
    loaded = false;
}

void CMFP::RunConfiguration() {
    StopAllInputs();
    // The configuration dialog opens here once panels exist; with none loaded the application
    // shows its information box and never comes here.
    StartAllInputs();
}

void CMFP::StopAllInputs() { theLog.Write(0, kModuleName, "StopAllInputs\n"); }

void CMFP::StartAllInputs() { theLog.Write(0, kModuleName, "StartAllInputs\n"); }
