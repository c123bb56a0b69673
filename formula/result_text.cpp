// FormatResult: std::to_chars writes numbers exactly as printf "%.5g" does in the C locale, and
// does so alike with every C runtime (the Windows one writes "1e+020" and "1.#INF" itself), into
// the fixed buffer, without the heap.
#include "formula/formula_evaluator.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

char* WriteNumber(char* out, char* end, double number) {
    return std::to_chars(out, end, number, std::chars_format::general, 5).ptr;
}

char* WriteText(char* out, char* end, const char* text) {
    const std::size_t length = std::strlen(text);
    if (static_cast<std::size_t>(end - out) < length) return out;
    std::memcpy(out, text, length);
    return out + length;
}

}  // namespace

ResultText FormulaEvaluator::FormatResult(Value value) {
    // The longest possible text, "-1.2346e-308 - 1.2346e-308i", is far below the capacity.
    ResultText result;
    char* out = result.text;
    char* const end = result.text + ResultText::kCapacity - 1;
    out = WriteNumber(out, end, value.real());
    const double imaginary = value.imag();
    if (imaginary != 0.0) {
        out = WriteText(out, end, imaginary > 0.0 ? " + " : " - ");
        out = WriteNumber(out, end, std::fabs(imaginary));
        out = WriteText(out, end, "i");
    }
    *out = '\0';
    result.length = static_cast<std::size_t>(out - result.text);
    return result;
}
