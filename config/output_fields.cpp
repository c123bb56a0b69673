#include "config/output_fields.h"

#include "config/fields.h"
#include "config/parse_hex_text.h"

namespace {

template <int32_t MFPOutput::*member>
OutputField Number(int index, const char* name, const char* jsonName, bool shown = true) {
    return {index, name, jsonName, false, shown, [](const MFPOutput& o) { return o.*member; },
            [](MFPOutput& o, int32_t value) { o.*member = value; }};
}

const OutputField kDecimalPoint{4,     "decimal point", "decimalPoint", true, true,
                                [](const MFPOutput& o) { return o.decimalPoint ? 1 : 0; },
                                [](MFPOutput& o, int32_t value) { o.decimalPoint = value == 1; }};

}  // namespace

const std::vector<OutputField>& DecimalFieldsOf(OutputKind kind) {
    static const std::vector<OutputField> display = {
        Number<&MFPOutput::startDigit>(1, "digit", "digit"), kDecimalPoint,
        Number<&MFPOutput::width>(5, "width", "width"),
        Number<&MFPOutput::displayReserved>(6, "reserved", "reserved", false)};
    static const std::vector<OutputField> portLed = {
        Number<&MFPOutput::port>(1, "port", "port"), Number<&MFPOutput::bit>(6, "bit", "bit"),
        Number<&MFPOutput::onValue>(4, "on", "on"), Number<&MFPOutput::offValue>(5, "off", "off")};
    static const std::vector<OutputField> matrixLed = {
        Number<&MFPOutput::matrixLed>(1, "led", "led"), Number<&MFPOutput::onValue>(4, "on", "on"),
        Number<&MFPOutput::offValue>(5, "off", "off")};
    static const std::vector<OutputField> none;
    switch (kind) {
        case OutputKind::Display: return display;
        case OutputKind::PortLed: return portLed;
        case OutputKind::MatrixLed: return matrixLed;
        case OutputKind::None: break;
    }
    return none;
}

MFPOutput ReadOutputGroup(const std::string* field) {
    MFPOutput output;
    output.flags = ParseHexText(field[kFlagsField]);
    if (output.Kind() == OutputKind::None) return output;
    output.gaugeVariable = ParseGaugeVariableField(field[kGaugeField]).number;
    output.format = field[kFormatField];
    for (const OutputField& decimal : DecimalFieldsOf(output.Kind()))
        decimal.set(output, ParseDecimalText(field[decimal.index]));
    return output;
}

std::string OutputFieldText(const OutputField& field, const MFPOutput& output) {
    if (field.onOff) return field.get(output) ? "on" : "off";
    return std::to_string(field.get(output));
}
