// The module's two entry points and the host's function table as the host filled it in.
#pragma once

extern "C" {
void module_init();
void module_deinit();
}

// The host's PANELS table (null until the host has filled in the import table).
void* HostPanelsTable();
