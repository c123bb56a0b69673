// The host's PANELS table behind the HostPanels seam: the two slots the panel runtime calls.
#pragma once

#include "os/host_panels.h"

// The table the host filled into the module's import table (null before it did).
HostPanels& HostPanelsFromImportTable();
