// Statements, expressions and factors. Every rule reads from a view of the work copy whose end
// is the end of the rule's own text: the statement, a function argument or an enclosed group.
#include "formula/formula_evaluator.h"

#include "formula/formula_characters.h"
#include "formula/formula_numbers.h"
#include "formula/random_generator.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;

// Subtracting from +0 rather than flipping signs keeps a zero part +0: the imaginary part of
// -4 stays +0, so that sqr(-4) is 0 + 2i and not the root on the other side of the branch cut.
FormulaEvaluator::Value Negated(FormulaEvaluator::Value value) {
    return {0.0 - value.real(), 0.0 - value.imag()};
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

// Counts one level of recursion for as long as the rule that made it runs.
class FormulaEvaluator::DepthGuard {
public:
    explicit DepthGuard(FormulaEvaluator& evaluator) : evaluator(evaluator) {
        if (evaluator.depth == kMaxDepth) Fail("Error: Expression too complex");
        ++evaluator.depth;
    }
    ~DepthGuard() { --evaluator.depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    FormulaEvaluator& evaluator;
};

FormulaEvaluator::FormulaEvaluator(AngleMode angleMode)
    : FormulaEvaluator(angleMode, SharedRandomGenerator()) {}

// <statement> = [<name> "="] <expression>, white space removed first.
FormulaEvaluator::Value FormulaEvaluator::Evaluate(std::string_view text) {
    depth = 0;
    std::size_t length = 0;
    for (const char c : text) {
        if (c == '\0') break;
        if (IsWhiteSpace(c)) continue;
        if (length == kMaxStatementLength) Fail("Error: Expression too long");
        statement[length++] = c;
    }
    const std::string_view work(statement, length);
    if (work.empty()) return 0.0;

    const std::size_t equals = work.find('=');
    if (equals == std::string_view::npos) return EvaluateExpression(work);
    const Value value = EvaluateExpression(work.substr(equals + 1));
    StoreVariable(work.substr(0, equals), value);
    return value;
}

// <expression> = <signed factor> {("*" | "/" | "%") <signed factor>} [("+" | "-") <expression>]
// The sum is taken from the right: a sign belongs to the term after it, so 8-2-1 is 8+(-2+(-1)).
FormulaEvaluator::Value FormulaEvaluator::EvaluateExpression(std::string_view text) {
    const DepthGuard guard(*this);
    std::size_t at;
    Value current = ReadSignedFactor(text, at);
    while (at < text.size()) {
        const char operation = text[at];
        if (operation == '+' || operation == '-') return current + EvaluateExpression(text.substr(at));
        if (operation != '*' && operation != '/' && operation != '%') FailUnexpected(operation);
        std::size_t used;
        const Value right = ReadSignedFactor(text.substr(at + 1), used);
        current = Combine(operation, current, right);
        at += 1 + used;
    }
    return current;
}

// <signed factor> = {"+" | "-"} <factor>; an odd number of "-" negates.
FormulaEvaluator::Value FormulaEvaluator::ReadSignedFactor(std::string_view text, std::size_t& used) {
    std::size_t at = 0;
    bool negative = false;
    for (; at < text.size() && (text[at] == '+' || text[at] == '-'); ++at)
        if (text[at] == '-') negative = !negative;
    std::size_t factorLength;
    const Value value = ReadFactor(text.substr(at), factorLength);
    used = at + factorLength;
    return negative ? Negated(value) : value;
}

// <factor> = <function call> | <group> | <hex> | <binary> | <decimal> ["i"] | <variable> | "pi" | "e"
FormulaEvaluator::Value FormulaEvaluator::ReadFactor(std::string_view text, std::size_t& used) {
    if (!text.empty()) {
        if (const Function* function = FindFunction(text)) return CallFunction(*function, text, used);

        const char first = text[0];
        double number;
        const char base = text.size() > 1 ? ToLower(text[1]) : '\0';
        if (first == '0' && (base == 'x' || base == 'b')) {
            used = base == 'x' ? ReadHexNumber(text, number) : ReadBinaryNumber(text, number);
            return number;
        }
        if (IsDigit(first) || first == '.') {
            used = ReadDecimalNumber(text, number);
            if (used < text.size() && text[used] == 'i') {
                ++used;
                return {0.0, number};
            }
            return number;
        }

        Value value;
        if (FindVariable(text, value, used)) return value;

        if (text.size() >= 2 && ToLower(first) == 'p' && ToLower(text[1]) == 'i' &&
            (text.size() == 2 || EndsWord(text[2]))) {
            used = 2;
            return kPi;
        }
        if (first == 'e' && (text.size() == 1 || EndsWord(text[1]))) {
            used = 1;
            return kE;
        }
    }
    std::size_t wordLength = 0;
    while (wordLength < text.size() && !EndsWord(text[wordLength])) ++wordLength;
    FailSyntax(text.substr(0, wordLength));
}

FormulaEvaluator::Value FormulaEvaluator::Combine(char operation, Value left, Value right) {
    if (operation == '*') return left * right;
    if (right == Value(0.0)) Fail("Division by Zero");
    if (operation == '/') return left / right;
    const double dividend = RealPart(left);  // the left operand is tested first
    return std::fmod(dividend, RealPart(right));
}

// The longest defined name the text begins with, in exact case.
bool FormulaEvaluator::FindVariable(std::string_view text, Value& value, std::size_t& used) const {
    used = 0;
    for (const auto& [name, stored] : variables) {
        if (name.size() > used && StartsWith(text, name)) {
            used = name.size();
            value = stored;
        }
    }
    return used > 0;
}

void FormulaEvaluator::StoreVariable(std::string_view name, Value value) {
    if (name.empty() || !IsLetter(name[0])) Fail("Variable must begin with alpha");
    for (const char c : name)
        if (!IsLetter(c) && !IsDigit(c)) Fail("A non alphanumeric value in variable");
    if (name == "e" || name == "PI" || name == "pi") Fail("Error: Reserved name");

    // Only a new name allocates; the map compares views, so a lookup builds no string.
    const auto found = variables.find(name);
    if (found != variables.end()) found->second = value;
    else variables.emplace(std::string(name), value);
}

double FormulaEvaluator::RealPart(Value value) {
    if (value.imag() != 0.0) Fail("Error: Complex value");
    return value.real();
}

void FormulaEvaluator::Fail(const char* fixedMessage) { throw FormulaError(fixedMessage); }

void FormulaEvaluator::FailUnexpected(char character) {
    std::snprintf(message, kMessageCapacity, "What ??? '%c'", character);
    throw FormulaError(message);
}

void FormulaEvaluator::FailSyntax(std::string_view word) {
    if (word.empty()) Fail("Syntax Error");
    const bool cut = word.size() > kMaxQuotedWordLength;
    const int shown = static_cast<int>(cut ? kMaxQuotedWordLength - 3 : word.size());
    std::snprintf(message, kMessageCapacity, "Syntax Error: '%.*s%s'", shown, word.data(), cut ? "..." : "");
    throw FormulaError(message);
}
