// The pure rules of the output update: how a display's text is padded, whether an LED is on,
// how a gauge value is printed into an output's format and evaluated, and a trial of every
// output with sample values for "mfp check".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
    UnusableFormat,  // more than one conversion, or one that takes no int or double: text says why
};
// The output's format printed with the variable's value as its type code passes it.
GaugeText FormatGaugeValue(const std::string& format, const GaugeVariable& variable,
                           std::string& text);

enum class OutputStep { Shown, UnusableFormat, FormulaFailed };
// One output's step of a pass: the value printed into the format and evaluated with the pass's
// evaluator. Shown: `text` holds the result text. Otherwise `problem` says why and `text` holds
// what failed; an unknown type code evaluates the text as the previous output left it.
OutputStep EvaluateOutput(const std::string& format, const GaugeVariable& variable,
                          class FormulaEvaluator& evaluator, std::string& text, std::string& problem);

// The first failure of one output over the trial passes.
struct OutputTrial {
    std::size_t output = 0;  // index in the list
    OutputStep step = OutputStep::Shown;
    double value = 0;
    uint32_t typeCode = 0;
    std::string problem;
};
// Passes as the runtime makes them, each with its own evaluator, for the gauge values 0, 1 and
// 1234.5 as type codes 33, 14 and 2: the outputs that fail, each with its first failure. A
// variable that holds a digit per four bits (a radio frequency) gets the samples' digits so:
// 0x1234 for 1234.5.
std::vector<OutputTrial> TryOutputs(const MFPOutputList& outputs);

// A display whose results light more digits than it clears: a width > 0 display's longest
// result against its width, or a width 0 display's results of more than one length.
struct SpillTrial {
    std::size_t output = 0;  // index in the list
    double value = 0;        // the sample that gave the longest result
    std::string text;        // that result, padded as the display shows it
    int digits = 0;          // the digits it lights
    int fewestDigits = 0;    // the digits of the shortest result
};
// Every display tried at the values its variable can hold, as doubles: the ends of the range
// its unit states and 0 when it lies inside, otherwise 0 and 1; a variable that holds a digit
// per four bits gets them coded so, with 9999 where no range is stated. A variable of unknown
// range is not guessed at: 0 and 1 catch the formulas too long for their width at any value.
std::vector<SpillTrial> TrySpills(const MFPOutputList& outputs);
