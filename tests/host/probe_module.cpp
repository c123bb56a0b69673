// A minimal module for testing the stand-in host itself: at module_init it calls both PANELS
// slots and prints what the lookups answered, as a module's worker threads later will.
#include "host/host_interface.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

extern "C" {

void ProbeInit();
void ProbeDeinit() {}

ModuleLinkage Linkage = {0, &ProbeInit, &ProbeDeinit, 0, 0, kModuleLinkageVersion, nullptr};
ImportEntry ImportTable[] = {{kPanelsImportId, nullptr}, {0, nullptr}};

void ProbeInit() {
    void* panels = ImportTable[0].table;
    if (!panels) {
        std::printf("probe no PANELS table\n");
        std::fflush(stdout);
        return;
    }
    PanelsSlot<TriggerKeyEventFunction>(panels, kTriggerKeyEventOffset)(0x10001, 7);
    PanelsSlot<TriggerKeyEventFunction>(panels, kTriggerKeyEventOffset)(0x1000005, 0);
    for (uint32_t token : {0x30u, 0x31u, 0x32u}) {
        GaugeVariable variable{};
        variable.token = token;
        PanelsSlot<LookupGaugeVariableFunction>(panels, kLookupGaugeVariableOffset)(&variable);
        int16_t integer = 0;
        std::memcpy(&integer, &variable.value, sizeof integer);
        std::printf("probe token=0x%X data=%s type=%u double=%g int16=%d\n", token,
                    variable.data ? "set" : "null", variable.typeCode,
                    variable.typeCode == 14 ? 0.0 : variable.value, variable.typeCode == 14 ? integer : 0);
    }
    std::fflush(stdout);
}

}  // extern "C"
