#include "catalogue/gauge_variables.h"

#include <algorithm>
#include <regex>
#include <string>

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

namespace {

// A number as the header writes them: a sign, decimals, and "k" for 1024.
constexpr const char* kNumber = R"(([-+]?\d+(?:\.\d+)?k?))";

double ReadNumber(const std::string& text) {
    const bool thousands = text.back() == 'k';
    const double number = std::stod(thousands ? text.substr(0, text.size() - 1) : text);
    return thousands ? number * 1024 : number;
}

}  // namespace

std::optional<StatedRange> StatedRangeOf(std::string_view unit) {
    const std::string raw(unit.substr(0, unit.find('=')));
    // "A..B" or "A-B", not part of a longer word or number ("16-bit", "2pi", "0x7fff").
    static const std::regex range(std::string(R"((?:^|[^\w.]))") + kNumber + R"(\s*(?:\.\.|-)\s*)" + kNumber +
                                  R"((?![\w.]))");
    std::smatch match;
    if (std::regex_search(raw, match, range)) {
        const double a = ReadNumber(match[1]), b = ReadNumber(match[2]);
        return StatedRange{std::min(a, b), std::max(a, b)};
    }
    // "0 off, 1 on": every item a number and its meaning.
    static const std::regex item(std::string(R"(\s*)") + kNumber + R"(\s+[A-Za-z].*)");
    std::optional<StatedRange> listed;
    int items = 0;
    std::size_t start = 0;
    while (start <= raw.size()) {
        const std::size_t comma = std::min(raw.find(',', start), raw.size());
        const std::string text = raw.substr(start, comma - start);
        if (!std::regex_match(text, match, item)) return std::nullopt;
        const double value = ReadNumber(match[1]);
        listed = listed ? StatedRange{std::min(listed->low, value), std::max(listed->high, value)}
                        : StatedRange{value, value};
        ++items;
        start = comma + 1;
    }
    return items >= 2 ? listed : std::nullopt;
}
