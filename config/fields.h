// The value syntax of the configuration keys: fields separated by commas, hexadecimal fields
// (ParseHexText) and decimal fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits at commas. A run of commas is one separator and commas at either end are ignored, so
// no field is empty; fields are not trimmed.
std::vector<std::string> SplitFields(std::string_view value);

// Reads a decimal field like the C library's atoi/atol: leading white space, an optional sign,
// digits up to the first other character; no digits give 0. Beyond the 32-bit range the result
// stays at the nearest limit (the platform's library clamps there too).
int32_t ParseDecimalText(std::string_view text);

// Field 3 of an output: a number, read as a decimal field, or the name of one of FS2004's gauge
// variables in any case ("PLANE_ALTITUDE"). Other text reads as 0, no variable, and is an unknown
// name.
struct GaugeVariableField {
    int32_t number = 0;
    bool unknownName = false;
};
GaugeVariableField ParseGaugeVariableField(std::string_view text);
