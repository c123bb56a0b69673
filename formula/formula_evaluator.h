// The expression evaluator of output formulas: one statement over complex numbers, with
// variables that live as long as the evaluator.
//
// One thread uses an evaluator at a time. Evaluate is the one operation of the module that
// reports failure by throwing (FormulaError); FormatResult never fails. A successful Evaluate of
// a short formula and its FormatResult allocate nothing on the heap; only an assignment that
// creates a new variable does.
#pragma once

#include <complex>
#include <cstddef>
#include <exception>
#include <map>
#include <string>
#include <string_view>

class RandomGenerator;

// Raised by FormulaEvaluator::Evaluate. The message is either a fixed text or lies in the
// message buffer of the evaluator that raised it: read it before that evaluator evaluates
// again or goes away.
class FormulaError : public std::exception {
public:
    explicit FormulaError(const char* message) noexcept : message(message) {}
    const char* what() const noexcept override { return message; }

private:
    const char* message;
};

// A result as text, in a fixed buffer, so that showing a value needs no heap.
class ResultText {
public:
    static constexpr std::size_t kCapacity = 100;  // including the terminator

    const char* c_str() const { return text; }
    std::string_view view() const { return {text, length}; }

private:
    friend class FormulaEvaluator;
    char text[kCapacity] = {};
    std::size_t length = 0;
};

enum class AngleMode { Radians, Degrees };

class FormulaEvaluator {
public:
    using Value = std::complex<double>;

    // Longest statement after white space is removed; a longer one fails with "Error:
    // Expression too long" before anything is evaluated.
    static constexpr std::size_t kMaxStatementLength = 4999;
    // An unrecognised word is quoted up to this many characters; a longer one is quoted by its
    // first characters and "...", so the user still sees where it starts.
    static constexpr std::size_t kMaxQuotedWordLength = 99;
    // Nested groups and calls, and the terms of one sum, each take one level. Beyond this the
    // statement fails with "Error: Expression too complex" rather than exhausting the stack of
    // the caller's thread; formulas from the configuration file stay far below it.
    static constexpr int kMaxDepth = 1000;

    // Outputs evaluate in radians: nothing in the configuration selects degrees. "rnd(" draws
    // from the module's shared generator unless the evaluator is given another one.
    explicit FormulaEvaluator(AngleMode angleMode = AngleMode::Radians);
    FormulaEvaluator(AngleMode angleMode, RandomGenerator& random) : angleMode(angleMode), random(random) {}
    FormulaEvaluator(const FormulaEvaluator&) = delete;
    FormulaEvaluator& operator=(const FormulaEvaluator&) = delete;

    // Evaluates one statement, "expression" or "name=expression", and returns its value. White
    // space anywhere is ignored; the text ends at its end or at a NUL character. An assignment
    // stores its value only once the expression and the name have passed. Throws FormulaError.
    Value Evaluate(std::string_view text);

    // The real part as printf "%.5g" writes it, then " + " or " - ", the magnitude of the
    // imaginary part written the same way and "i" when the imaginary part is not 0.
    static ResultText FormatResult(Value value);

private:
    struct Function;
    class DepthGuard;

    static const Function* FindFunction(std::string_view text);

    Value EvaluateExpression(std::string_view text);
    Value ReadSignedFactor(std::string_view text, std::size_t& used);
    Value ReadFactor(std::string_view text, std::size_t& used);
    Value CallFunction(const Function& function, std::string_view text, std::size_t& used);
    Value ApplyFunction(const Function& function, Value a, Value b);
    Value Combine(char operation, Value left, Value right);
    bool FindVariable(std::string_view text, Value& value, std::size_t& used) const;
    void StoreVariable(std::string_view name, Value value);
    static double RealPart(Value value);

    [[noreturn]] static void Fail(const char* fixedMessage);
    [[noreturn]] void FailUnexpected(char character);
    [[noreturn]] void FailSyntax(std::string_view word);

    static constexpr std::size_t kMessageCapacity = 2000;

    AngleMode angleMode;
    RandomGenerator& random;
    int depth = 0;
    std::map<std::string, Value, std::less<>> variables;
    // Left uninitialised: both are written before they are read, and clearing 7 KB would cost
    // as much as a whole evaluation.
    char message[kMessageCapacity];           // composed error messages that quote the input
    char statement[kMaxStatementLength + 1];  // the work copy without white space
};
