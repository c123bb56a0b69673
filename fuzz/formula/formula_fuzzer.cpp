// libFuzzer target for Evaluate: any text a user can type into a format must give a value or a
// FormulaError, never a crash, a sanitizer report or a hang. Lines of one input run through one
// evaluator, so assignments feed later statements.
#include "formula/formula_evaluator.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    FormulaEvaluator evaluator(size % 2 == 0 ? AngleMode::Radians : AngleMode::Degrees);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view statement = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        try {
            const ResultText text = FormulaEvaluator::FormatResult(evaluator.Evaluate(statement));
            if (text.view().size() >= ResultText::kCapacity || std::strlen(text.c_str()) != text.view().size())
                std::abort();
        } catch (const FormulaError& error) {
            const std::size_t length = std::strlen(error.what());
            if (length == 0 || length >= 2000) std::abort();
        }
    }
    return 0;
}
