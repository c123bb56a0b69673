// The host's PANELS function table as the stand-in host offers it: the trigger_key_event slot
// records every call, the gauge-variable slot answers from a table of values that steps may change.
#pragma once

#include "host/host_interface.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

struct GaugeValue {
    uint32_t typeCode;  // 2 or 33: a double; 14: a signed 16-bit integer
    double value;
};

// Reads "TOKEN=TYPE:VALUE" (token hexadecimal or decimal as strtoul reads it with base 0).
bool ParseGaugeValue(const std::string& text, uint32_t& token, GaugeValue& value);

class PanelsTable {
public:
    // Installs this table as the one the slots answer from; one table per process.
    PanelsTable();
    ~PanelsTable();

    // Any time: the module's update threads read the values while a step changes them.
    void SetGauge(uint32_t token, const GaugeValue& value);
    void* Table() { return table; }
    int LookupCount() const;

private:
    static void MFP_HOST_CALL TriggerKeyEvent(uint32_t eventId, uint32_t value);
    static void MFP_HOST_CALL LookupGaugeVariable(GaugeVariable* variable);

    alignas(void*) unsigned char table[kPanelsTableSize] = {};
    std::mutex gaugeLock;
    std::map<uint32_t, GaugeValue> gauges;
};
