#include "panels/output_rules.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

std::string PadDisplayText(std::string text, int width, bool decimalPoint) {
    int limit = width;
    if (decimalPoint) {
        ++limit;
        if (text.find('.') == std::string::npos) text += '.';
    }
    while (static_cast<int>(text.size()) < limit) text += '0';
    return text;
}

bool LedIsOn(int n, const MFPOutput& output) {
    const bool onUnlessOff = (output.flags & kOutputOnUnlessOff) != 0;
    const bool offUnlessOn = (output.flags & kOutputOffUnlessOn) != 0;
    if (n == output.offValue && !offUnlessOn) return false;
    if (n == output.onValue && !onUnlessOff) return true;
    if (offUnlessOn) return false;
    return onUnlessOff;
}

namespace {

enum class Conversion { None, Integer, Floating, Unusable };

// The one conversion of a printf format. Flags, a width and a precision are allowed, "*", a
// length modifier and every non-numeric conversion are not: a format from the configuration
// file must never make printf read an argument it was not given.
Conversion FindConversion(const std::string& format) {
    Conversion found = Conversion::None;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
        while (i < format.size() && (std::isdigit(static_cast<unsigned char>(format[i])) ||
                                     format[i] == '.'))
            ++i;
        if (i >= format.size() || found != Conversion::None) return Conversion::Unusable;
        if (std::strchr("diouxXc", format[i])) found = Conversion::Integer;
        else if (std::strchr("eEfFgGaA", format[i])) found = Conversion::Floating;
        else return Conversion::Unusable;
    }
    return found;
}

}  // namespace

GaugeText FormatGaugeValue(const std::string& format, const GaugeVariable& variable,
                           std::string& text) {
    double number = 0;
    switch (variable.typeCode) {
        case kGaugeTypeInt8:
            number = static_cast<int8_t>(static_cast<int64_t>(variable.value) & 0xFF);
            break;
        case kGaugeTypeInt16: {
            int16_t value = 0;
            std::memcpy(&value, &variable.value, sizeof value);
            number = value;
            break;
        }
        case kGaugeTypeDouble:
            number = variable.value;
            break;
        default:
            return GaugeText::UnknownType;
    }
    char buffer[520] = {};
    // A conversion that does not match the argument gets the number converted to what it
    // expects, so "%d" on a double shows its integer part.
    switch (FindConversion(format)) {
        case Conversion::None:
            text = format;
            return GaugeText::Formatted;
        case Conversion::Integer:
            std::snprintf(buffer, sizeof buffer, format.c_str(), static_cast<int>(number));
            break;
        case Conversion::Floating:
            std::snprintf(buffer, sizeof buffer, format.c_str(), number);
            break;
        case Conversion::Unusable:
            text = "Unusable format " + format;
            return GaugeText::UnusableFormat;
    }
    text = buffer;
    return GaugeText::Formatted;
}
