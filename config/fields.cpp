#include "config/fields.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "catalogue/gauge_variables.h"

std::vector<std::string> SplitFields(std::string_view value) {
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < value.size()) {
        const std::size_t comma = value.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? value.size() : comma;
        if (end > pos) fields.emplace_back(value.substr(pos, end - pos));
        pos = end + 1;
    }
    return fields;
}

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Where the digits of a decimal field would start: past white space and a sign.
std::size_t DigitsStart(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    return pos;
}

}  // namespace

int32_t ParseDecimalText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        magnitude = std::min<int64_t>(magnitude * 10 + (text[pos] - '0'), kLimit);
    const int64_t value = negative ? -magnitude : std::min<int64_t>(magnitude, kLimit - 1);
    return static_cast<int32_t>(value);
}

GaugeVariableField ParseGaugeVariableField(std::string_view text) {
    const std::size_t digits = DigitsStart(text);
    if (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') return {ParseDecimalText(text), false};
    if (const std::optional<int> number = GaugeVariableNumber(text)) return {*number, false};
    return {0, true};
}
