// The two slots of the simulator host's PANELS function table that the panel runtime calls.
// On Windows they are the host's own functions; natively the simulated host (os/sim_host.h).
//
// Both are called from the module's own threads (trigger_key_event on a board's key-matrix
// thread, the lookup on a worker's update thread), never from the host's thread.
#pragma once

#include <cstdint>

#include "os/gauge_variable.h"

class HostPanels {
public:
    virtual ~HostPanels() = default;
    // False while the host has not handed over its PANELS table.
    virtual bool Available() const = 0;
    virtual void TriggerKeyEvent(uint32_t eventId, uint32_t value) = 0;
    // Fills in data, typeCode and value of the record for its token.
    virtual void LookupGaugeVariable(GaugeVariable& variable) = 0;
};
