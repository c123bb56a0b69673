#include "formula/formula_numbers.h"

#include "formula/formula_characters.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    const char lower = ToLower(c);
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

double AsSigned32(uint32_t bits) { return static_cast<double>(static_cast<int32_t>(bits)); }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// from_chars leaves the value alone when it is out of range, where atof gives HUGE_VAL for a
// magnitude too large and 0 for one too small. Which of the two it is follows from the power of
// ten of the first significant digit, far from 0 in either case.
double OutOfRangeValue(std::string_view number) {
    long power = 0;
    bool significant = false;
    bool afterPoint = false;
    std::size_t at = 0;
    for (; at < number.size() && (IsDigit(number[at]) || number[at] == '.'); ++at) {
        if (number[at] == '.') {
            afterPoint = true;
        } else if (!significant) {
            if (number[at] != '0') significant = true;
            else if (afterPoint) --power;
            if (significant && afterPoint) --power;
        } else if (!afterPoint) {
            ++power;
        }
    }
    if (at < number.size()) {  // the exponent, which from_chars accepted, so it has digits
        ++at;
        const bool negative = number[at] == '-';
        if (number[at] == '+' || number[at] == '-') ++at;
        long exponent = 0;
        for (; at < number.size() && exponent < 100000; ++at) exponent = exponent * 10 + (number[at] - '0');
        power += negative ? -exponent : exponent;
    }
    return power >= 0 ? HUGE_VAL : 0.0;
}

}  // namespace

std::size_t ReadHexNumber(std::string_view text, double& value) {
    uint32_t bits = 0;
    std::size_t at = 2;
    for (int digit; at < text.size() && (digit = HexDigitValue(text[at])) >= 0; ++at)
        bits = bits * 16 + static_cast<uint32_t>(digit);
    value = AsSigned32(bits);
    return at;
}

std::size_t ReadBinaryNumber(std::string_view text, double& value) {
    uint32_t bits = 0;
    std::size_t at = 2;
    for (; at < text.size() && (text[at] == '0' || text[at] == '1'); ++at)
        bits = bits * 2 + static_cast<uint32_t>(text[at] - '0');
    value = AsSigned32(bits);
    return at;
}

std::size_t ReadDecimalNumber(std::string_view text, double& value) {
    std::size_t at = SkipDigits(text, 0);
    if (at < text.size() && text[at] == '.') at = SkipDigits(text, at + 1);
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        at = SkipDigits(text, at);
    }
    // atof reads as much of the covered text as forms a number ("1e+" reads as 1, "." as 0).
    value = 0.0;
    const std::from_chars_result read =
        std::from_chars(text.data(), text.data() + at, value, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range)
        value = OutOfRangeValue(std::string_view(text.data(), static_cast<std::size_t>(read.ptr - text.data())));
    return at;
}
