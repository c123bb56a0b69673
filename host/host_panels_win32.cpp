#include "host/host_panels_win32.h"

#include "host/host_interface.h"
#include "host/module_entry.h"

namespace {

// Reads the table pointer at every call: the host fills it in before module_init.
class ImportTablePanels : public HostPanels {
public:
    bool Available() const override { return HostPanelsTable() != nullptr; }
    // A host that left a slot empty gets no call through it: nothing is sent, nothing is read.
    void TriggerKeyEvent(uint32_t eventId, uint32_t value) override {
        void* table = HostPanelsTable();
        if (!table) return;
        if (const auto trigger = PanelsSlot<TriggerKeyEventFunction>(table, kTriggerKeyEventOffset)) trigger(eventId, value);
    }
    void LookupGaugeVariable(GaugeVariable& variable) override {
        void* table = HostPanelsTable();
        if (!table) return;
        if (const auto lookup = PanelsSlot<LookupGaugeVariableFunction>(table, kLookupGaugeVariableOffset)) lookup(&variable);
    }
};

}  // namespace

HostPanels& HostPanelsFromImportTable() {
    static ImportTablePanels panels;
    return panels;
}
