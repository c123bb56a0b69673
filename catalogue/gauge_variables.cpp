#include "catalogue/gauge_variables.h"

#include "os/same_name.h"

const std::vector<GaugeVariableInfo>& GaugeVariables() {
    static const std::vector<GaugeVariableInfo> variables = {
#include "catalogue/gauge_variables_data.inc"
    };
    return variables;
}

const GaugeVariableInfo* FindGaugeVariable(long long number) {
    if (number < 0 || number > kLastGaugeVariable) return nullptr;
    return &GaugeVariables()[static_cast<size_t>(number)];
}

std::optional<int> GaugeVariableNumber(std::string_view name) {
    for (const GaugeVariableInfo& variable : GaugeVariables())
        if (SameName(variable.name, name)) return variable.number;
    return std::nullopt;
}

bool HoldsDigitsPerNibble(long long number) {
    const GaugeVariableInfo* variable = FindGaugeVariable(number);
    if (!variable) return false;
    const std::string_view unit = variable->unit;
    return unit == "BCD" || unit.rfind("octal code", 0) == 0;
}

std::string GaugeVariableText(const GaugeVariableInfo& variable) {
    const std::string unit = *variable.unit ? variable.unit : "raw simulator value";
    return std::string(variable.description) + " (" + unit + ")";
}
