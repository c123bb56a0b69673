#include "testbed/fs9host/panels_table.h"

#include "testbed/fs9host/observations.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

PanelsTable* current = nullptr;
std::atomic<int> lookups{0};
// The data pointer a found variable gets: the host's storage of the value.
int16_t integerStorage[1];

}  // namespace

bool ParseGaugeValue(const std::string& text, uint32_t& token, GaugeValue& value) {
    const size_t equals = text.find('=');
    const size_t colon = text.find(':', equals);
    if (equals == std::string::npos || colon == std::string::npos) return false;
    char* end = nullptr;
    token = static_cast<uint32_t>(std::strtoul(text.c_str(), &end, 0));
    if (end != text.c_str() + equals) return false;
    value.typeCode = static_cast<uint32_t>(std::strtoul(text.c_str() + equals + 1, &end, 0));
    if (end != text.c_str() + colon) return false;
    value.value = std::strtod(text.c_str() + colon + 1, &end);
    return *end == '\0' && end != text.c_str() + colon + 1;
}

PanelsTable::PanelsTable() {
    PanelsSlot<TriggerKeyEventFunction>(table, kTriggerKeyEventOffset) = &TriggerKeyEvent;
    PanelsSlot<LookupGaugeVariableFunction>(table, kLookupGaugeVariableOffset) = &LookupGaugeVariable;
    current = this;
}

PanelsTable::~PanelsTable() { current = nullptr; }

void PanelsTable::SetGauge(uint32_t token, const GaugeValue& value) {
    std::lock_guard<std::mutex> hold(gaugeLock);
    gauges[token] = value;
}

int PanelsTable::LookupCount() const { return lookups.load(); }

void MFP_HOST_CALL PanelsTable::TriggerKeyEvent(uint32_t eventId, uint32_t value) {
    Observe("trigger_key_event id=0x%X value=%u", eventId, value);
}

void MFP_HOST_CALL PanelsTable::LookupGaugeVariable(GaugeVariable* variable) {
    ++lookups;
    if (!variable || !current) return;
    GaugeValue gauge{};
    {
        std::lock_guard<std::mutex> hold(current->gaugeLock);
        const auto found = current->gauges.find(variable->token);
        if (found == current->gauges.end()) return;  // data and type stay zero: no such variable
        gauge = found->second;
    }
    variable->typeCode = gauge.typeCode;
    variable->data = integerStorage;
    if (gauge.typeCode == 14) {
        const int16_t integer = static_cast<int16_t>(gauge.value);
        std::memcpy(&variable->value, &integer, sizeof integer);
    } else {
        variable->value = gauge.value;
    }
}
