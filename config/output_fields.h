// The layout of an output group in the "outputs" key: which of its seven fields means what for
// each kind. The module's reader, the checker and both of mfp check's printers use this one
// table, so a new check cannot disagree with what the module reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/mfp_data.h"

// Fields every kind shares, counted from 0 within the group.
constexpr int kFlagsField = 0;   // hexadecimal
constexpr int kGaugeField = 2;   // a gauge variable's number or name
constexpr int kFormatField = 3;  // the formula, as text

// A decimal field of one kind, in the order the printers show them.
struct OutputField {
    int index;             // counted from 0 within the group
    const char* name;      // as warnings and the text listing name it: "digit", "decimal point"
    const char* jsonName;  // "digit", "decimalPoint"
    bool onOff;            // read as on when it is 1; shown as on/off, true/false
    bool shown;            // false for the display's reserved last field
    int32_t (*get)(const MFPOutput&);
    void (*set)(MFPOutput&, int32_t value);
};

// The decimal fields of a kind; none for OutputKind::None.
const std::vector<OutputField>& DecimalFieldsOf(OutputKind kind);

// The record of one group of seven fields, as the module reads it: flags, then the gauge
// variable and format when the flags have a kind bit, then the kind's decimal fields. An
// unknown variable name reads as 0.
MFPOutput ReadOutputGroup(const std::string* field);

// The field's value as the text listing shows it: a number, or "on"/"off".
std::string OutputFieldText(const OutputField& field, const MFPOutput& output);
