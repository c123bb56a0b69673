#include "panels/output_rules.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "board/segment_pattern.h"
#include "catalogue/gauge_variables.h"
#include "formula/formula_evaluator.h"

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

// False for the terminating NUL, which strchr would find in every set.
bool IsOneOf(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

// A format from the configuration file must never make printf read an argument it was not
// given: it gets an int or a double, so a length modifier is accepted only where that argument
// matches it and is then applied here; printf sees the format without it, so that every C
// runtime prints it alike ("%ld" would read 64 bits on Linux).
struct ParsedFormat {
    Conversion conversion = Conversion::None;
    int narrowBits = 0;  // "h" 16, "hh" 8
    bool isSigned = true;
    std::string printable;  // the format for printf, or why it is unusable
};

ParsedFormat Unusable(std::string why) {
    ParsedFormat parsed;
    parsed.conversion = Conversion::Unusable;
    parsed.printable = std::move(why);
    return parsed;
}

ParsedFormat ParseFormat(const std::string& format) {
    ParsedFormat parsed;
    const std::size_t size = format.size();
    std::size_t copied = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (format[i] != '%') continue;
        const std::size_t start = i++;
        if (i < size && format[i] == '%') continue;
        if (parsed.conversion != Conversion::None) return Unusable("it holds more than one conversion");
        while (i < size && IsOneOf(format[i], "-+ #0")) ++i;
        while (i < size && IsOneOf(format[i], "0123456789")) ++i;
        if (i < size && format[i] == '.')
            while (++i < size && IsOneOf(format[i], "0123456789")) {}
        const std::size_t lengthStart = i;
        while (i < size && IsOneOf(format[i], "hl")) ++i;
        const std::string length = format.substr(lengthStart, i - lengthStart);
        const char type = i < size ? format[i] : '\0';
        if (IsOneOf(type, "diouxX") && (length.empty() || length == "l" || length == "h" || length == "hh")) {
            parsed.conversion = Conversion::Integer;
            parsed.narrowBits = length == "h" ? 16 : length == "hh" ? 8 : 0;
            parsed.isSigned = IsOneOf(type, "di");
        } else if ((type == 'c' && length.empty()) || (IsOneOf(type, "eEfFgGaA") && (length.empty() || length == "l"))) {
            parsed.conversion = type == 'c' ? Conversion::Integer : Conversion::Floating;
        } else {
            return Unusable("\"" + format.substr(start, i + 1 - start) + "\" takes neither an int nor a double");
        }
        parsed.printable.append(format, copied, lengthStart - copied);
        copied = i;
    }
    parsed.printable.append(format, copied, std::string::npos);
    return parsed;
}

int Narrowed(int value, int bits, bool isSigned) {
    if (bits == 16) return isSigned ? static_cast<int16_t>(value) : static_cast<uint16_t>(value);
    if (bits == 8) return isSigned ? static_cast<int8_t>(value) : static_cast<uint8_t>(value);
    return value;
}

}  // namespace

GaugeText FormatGaugeValue(const std::string& format, const GaugeVariable& variable,
                           std::string& text) {
    double number = 0;
    switch (variable.typeCode) {
        case kGaugeTypeInt8:
            number = static_cast<int8_t>(static_cast<int64_t>(variable.value) & 0xFF);
            break;
        case kGaugeTypeInt16:
            number = LoadInt16(variable);
            break;
        case kGaugeTypeDouble:
            number = variable.value;
            break;
        default:
            return GaugeText::UnknownType;
    }
    const ParsedFormat parsed = ParseFormat(format);
    char buffer[520] = {};
    // A conversion that does not match the argument gets the number converted to what it
    // expects, so "%d" on a double shows its integer part. A format without a conversion
    // ignores the number, and printf still turns its "%%" into "%".
    switch (parsed.conversion) {
        case Conversion::Integer:
            std::snprintf(buffer, sizeof buffer, parsed.printable.c_str(),
                          Narrowed(static_cast<int>(number), parsed.narrowBits, parsed.isSigned));
            break;
        case Conversion::None:
        case Conversion::Floating:
            std::snprintf(buffer, sizeof buffer, parsed.printable.c_str(), number);
            break;
        case Conversion::Unusable:
            text = "unusable format \"" + format + "\": " + parsed.printable;
            return GaugeText::UnusableFormat;
    }
    text = buffer;
    return GaugeText::Formatted;
}

OutputStep EvaluateOutput(const std::string& format, const GaugeVariable& variable,
                          FormulaEvaluator& evaluator, std::string& text, std::string& problem) {
    if (FormatGaugeValue(format, variable, text) == GaugeText::UnusableFormat) {
        problem = text;
        return OutputStep::UnusableFormat;
    }
    try {
        text = FormulaEvaluator::FormatResult(evaluator.Evaluate(text)).c_str();
    } catch (const FormulaError& error) {
        problem = error.what();
        return OutputStep::FormulaFailed;
    }
    return OutputStep::Shown;
}

namespace {

// A sample as the host fills it in: type 14 holds an int16 in the value's first bytes.
GaugeVariable SampleVariable(double value, uint32_t typeCode) {
    GaugeVariable variable{};
    variable.typeCode = typeCode;
    variable.value = value;
    // The low 16 bits of the whole part, as a 16-bit store of a larger value keeps them.
    if (typeCode == kGaugeTypeInt16)
        StoreInt16(variable, static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(value) & 0xFFFF)));
    return variable;
}

// The digits of a sample's whole part, one per four bits (1234 as 0x1234): what a variable that
// holds digits so, a radio frequency, can give.
double DigitsPerNibble(double value) {
    uint32_t digits = static_cast<uint32_t>(value), coded = 0;
    for (int shift = 0; digits != 0; shift += 4, digits /= 10) coded |= (digits % 10) << shift;
    return coded;
}

}  // namespace

std::vector<OutputTrial> TryOutputs(const MFPOutputList& outputs) {
    std::vector<OutputTrial> first(outputs.size());
    for (const double sample : {0.0, 1.0, 1234.5}) {
        for (const uint32_t typeCode : {kGaugeTypeDouble, kGaugeTypeInt16, kGaugeTypeInt8}) {
            FormulaEvaluator evaluator;
            std::string text, problem;
            for (std::size_t i = 0; i < outputs.size(); ++i) {
                const double value =
                    HoldsDigitsPerNibble(outputs[i].gaugeVariable) ? DigitsPerNibble(sample) : sample;
                const OutputStep step =
                    EvaluateOutput(outputs[i].format, SampleVariable(value, typeCode), evaluator, text, problem);
                if (step != OutputStep::Shown && first[i].step == OutputStep::Shown)
                    first[i] = {i, step, value, typeCode, problem};
            }
        }
    }
    std::vector<OutputTrial> failures;
    for (const OutputTrial& trial : first)
        if (trial.step != OutputStep::Shown) failures.push_back(trial);
    return failures;
}

namespace {

std::vector<double> SpillSamples(const MFPOutput& output) {
    const GaugeVariableInfo* variable = FindGaugeVariable(output.gaugeVariable);
    const std::optional<StatedRange> range = StatedRangeOf(variable ? variable->unit : "");
    const bool coded = HoldsDigitsPerNibble(output.gaugeVariable);
    std::vector<double> samples{0, 1};
    if (range) {
        samples = {range->low, range->high};
        if (range->low < 0 && range->high > 0) samples.push_back(0);
    } else if (coded) {
        samples.push_back(9999);
    }
    if (coded)
        for (double& sample : samples) sample = DigitsPerNibble(sample);
    return samples;
}

}  // namespace

std::vector<SpillTrial> TrySpills(const MFPOutputList& outputs) {
    std::vector<SpillTrial> spills;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const MFPOutput& output = outputs[i];
        if (output.Kind() != OutputKind::Display) continue;
        SpillTrial trial;
        trial.output = i;
        trial.fewestDigits = -1;
        for (const double sample : SpillSamples(output)) {
            FormulaEvaluator evaluator;
            std::string text, problem;
            if (EvaluateOutput(output.format, SampleVariable(sample, kGaugeTypeDouble), evaluator, text, problem) !=
                OutputStep::Shown)
                continue;  // the trial of the formula reports it
            text = PadDisplayText(text, output.width, output.decimalPoint);
            const int digits = static_cast<int>(DigitPatterns(text).size());
            if (digits > trial.digits) trial = {i, sample, text, digits, trial.fewestDigits};
            if (trial.fewestDigits < 0 || digits < trial.fewestDigits) trial.fewestDigits = digits;
        }
        if (trial.fewestDigits < 0) continue;  // no result at all: the formula's trial says why
        const bool spilling = output.width > 0 ? trial.digits > output.width : trial.digits > trial.fewestDigits;
        if (spilling) spills.push_back(trial);
    }
    return spills;
}
