// mfp eval [--degrees] [STATEMENT...]: evaluates formulas as the panel outputs do, so that users
// can try a formula before putting it into the configuration file.
#include "formula/formula_evaluator.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// Prints the result text or "error: " and the message; one line either way. The message may
// quote the statement, so it is shown as user text.
bool EvaluateAndPrint(FormulaEvaluator& evaluator, const std::string& statement) {
    try {
        const FormulaEvaluator::Value value = evaluator.Evaluate(statement);
        std::printf("%s\n", FormulaEvaluator::FormatResult(value).c_str());
        return true;
    } catch (const FormulaError& error) {
        const char* message = error.what();
        if (std::strncmp(message, "Error: ", 7) == 0) message += 7;  // not "error: Error: ..."
        std::printf("error: %s\n", UserText(message).c_str());
        return false;
    }
}

}  // namespace

int RunEvalCommand(const Arguments& args) {
    // The first statement ends the options: "mfp eval 1 --5" is two statements.
    ArgumentReader reader("eval", args, true);
    bool degrees = false;
    std::vector<std::string> statements;
    while (reader.Next()) {
        if (reader.Is("--degrees")) degrees = true;
        else if (reader.IsOperand()) statements.push_back(reader.Current());
        else reader.Unexpected();
    }
    if (const auto status = reader.Finish()) return *status;

    // One evaluator for the whole run, so variables carry from one statement to the next.
    FormulaEvaluator evaluator(degrees ? AngleMode::Degrees : AngleMode::Radians);
    bool allSucceeded = true;
    for (const std::string& statement : statements)
        if (!EvaluateAndPrint(evaluator, statement)) allSucceeded = false;
    if (statements.empty()) {
        for (std::string line; std::getline(std::cin, line);)
            if (!EvaluateAndPrint(evaluator, line)) allSucceeded = false;
    }
    return allSucceeded ? 0 : 1;
}
