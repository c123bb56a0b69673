// FS2004's gauge variables: the numbers by which the simulator's gauge-variable lookup knows
// them, their names and what each one holds. Constant data compiled into the module; nothing
// here has state, so any thread may use it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct GaugeVariableInfo {
    int number;               // 0 (no variable) to kLastGaugeVariable
    const char* name;         // the simulator's own name, e.g. "PLANE_ALTITUDE"
    const char* description;  // what the value is
    const char* unit;         // unit, scale or encoding where a public source states one, else ""
};

constexpr int kLastGaugeVariable = 908;

// Every variable, numbers 0 to kLastGaugeVariable in order.
const std::vector<GaugeVariableInfo>& GaugeVariables();

// The variable of a number; null for a number the simulator has no variable for.
const GaugeVariableInfo* FindGaugeVariable(long long number);

// The number of a name, compared without regard to case; none for a name the simulator does not
// have.
std::optional<int> GaugeVariableNumber(std::string_view name);

// True for a variable whose value holds one digit per four bits: the radios' frequencies (BCD,
// 0x1825 for 118.25) and the transponder's octal code (0x1200 for 1200).
bool HoldsDigitsPerNibble(long long number);

// The lowest and highest raw value a unit text states: a range before any "=" ("0..23",
// "0-16384 = 0-100%", "-127..+127", "0..16k", where 16k is 16384), or a list of values with their
// meanings ("0 off, 1 on", "-1 FROM, 0 none, 1 TO"). None where the text states no range,
// as for scales ("degC * 16384", "1/256 m") and for units without numbers.
struct StatedRange {
    double low = 0, high = 0;
};
std::optional<StatedRange> StatedRangeOf(std::string_view unit);

// The description followed by the unit, or by "raw simulator value" where no unit is known.
std::string GaugeVariableText(const GaugeVariableInfo& variable);
