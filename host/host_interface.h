// What the module and the simulator exchange: the linkage record and import table the module
// exports, the host's PANELS function table and the gauge-variable record. Shared by the module
// and the stand-in host; no Windows header, so the panel runtime may use it as well.
#pragma once

#include <cstddef>
#include <cstdint>

#include "os/gauge_variable.h"

// The host's calling convention for the PANELS slots: the callee removes the arguments.
#if defined(__i386__) || defined(_M_IX86)
#define MFP_HOST_CALL __stdcall
#else
#define MFP_HOST_CALL  // x86_64 (the native builds) has a single calling convention
#endif

// The exported "Linkage" record: seven words (pointer-sized in native builds).
struct ModuleLinkage {
    uint32_t moduleId;        // 0
    void (*moduleInit)();     // module_init
    void (*moduleDeinit)();   // module_deinit
    uint32_t flags;           // 0
    uint32_t priority;        // 0
    uint32_t version;         // kModuleLinkageVersion
    void* reserved;           // 0
};
constexpr uint32_t kModuleLinkageVersion = 0x0900;

// One entry of the exported "ImportTable"; the host fills in the table pointers before
// module_init. The list ends with an entry of id 0.
struct ImportEntry {
    uint32_t id;
    void* table;
};
constexpr uint32_t kPanelsImportId = 0x0F;

// GaugeVariable: os/gauge_variable.h, shared with the portable panel runtime.

// The two slots of the host's PANELS table the module calls, by byte offset.
using TriggerKeyEventFunction = void(MFP_HOST_CALL*)(uint32_t eventId, uint32_t value);
using LookupGaugeVariableFunction = void(MFP_HOST_CALL*)(GaugeVariable* variable);
constexpr std::size_t kTriggerKeyEventOffset = 144;
constexpr std::size_t kLookupGaugeVariableOffset = 160;
// Big enough to hold both slots.
constexpr std::size_t kPanelsTableSize = kLookupGaugeVariableOffset + sizeof(void*);

// The slot at a byte offset of a PANELS table.
template <typename Function>
Function& PanelsSlot(void* panelsTable, std::size_t offset) {
    return *reinterpret_cast<Function*>(static_cast<unsigned char*>(panelsTable) + offset);
}
