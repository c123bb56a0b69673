// The pure rules of the output update: how a display's text is padded, whether an LED is on,
// and how a gauge value is printed into an output's format.
#pragma once

#include <string>

#include "config/mfp_data.h"
#include "os/gauge_variable.h"

// A display's text: with a decimal point a "." is added when the text has none and the length
// limit grows by one; then "0" is appended until the text reaches the limit.
std::string PadDisplayText(std::string text, int width, bool decimalPoint);

// The on/off decision for an LED from the integer n read from the result text.
bool LedIsOn(int n, const MFPOutput& output);

enum class GaugeText {
    Formatted,       // text holds the format printed with the value
    UnknownType,     // a type code other than 2, 14 and 33: text is left as it was
    UnusableFormat,  // more than one conversion, or one that takes no number: text says why
};
// The output's format printed with the variable's value as its type code passes it.
GaugeText FormatGaugeValue(const std::string& format, const GaugeVariable& variable,
                           std::string& text);
