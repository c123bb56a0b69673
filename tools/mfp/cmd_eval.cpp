// mfp eval [--degrees] [STATEMENT...]: evaluates formulas as the panel outputs do, so that users
// can try a formula before putting it into the configuration file.
#include "formula/formula_evaluator.h"
#include "tools/mfp/commands.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Prints the result text or "error: " and the message; one line either way.
bool EvaluateAndPrint(FormulaEvaluator& evaluator, const std::string& statement) {
    try {
        const FormulaEvaluator::Value value = evaluator.Evaluate(statement);
        std::printf("%s\n", FormulaEvaluator::FormatResult(value).c_str());
        return true;
    } catch (const FormulaError& error) {
        std::printf("error: %s\n", error.what());
        return false;
    }
}

}  // namespace

int RunEvalCommand(const Arguments& args) {
    // Only the first argument can be the option: "-2*3" is a statement.
    const bool degrees = !args.empty() && args[0] == "--degrees";
    const std::size_t first = degrees ? 1 : 0;

    // One evaluator for the whole run, so variables carry from one statement to the next.
    FormulaEvaluator evaluator(degrees ? AngleMode::Degrees : AngleMode::Radians);
    bool allSucceeded = true;
    if (first < args.size()) {
        for (std::size_t n = first; n < args.size(); ++n)
            if (!EvaluateAndPrint(evaluator, args[n])) allSucceeded = false;
    } else {
        for (std::string line; std::getline(std::cin, line);)
            if (!EvaluateAndPrint(evaluator, line)) allSucceeded = false;
    }
    return allSucceeded ? 0 : 1;
}
