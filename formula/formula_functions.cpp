// The function table, argument lists and the functions themselves.
#include "formula/formula_characters.h"
#include "formula/formula_evaluator.h"
#include "formula/random_generator.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kFullTurn = 6.283185307179586;
constexpr double kLargestDraw = 4294967295.0;

enum class FunctionId {
    Factorial, Group, Abs, Asin, Acos, Atan, Cos, Cosh, Cpx, Exp, Im, Int, Ln, Log, Max, Min,
    Norm, Pow, Pol, Re, Rnd, Sqr, Sin, Sqrn, Sinh, Tan, Tanh,
};

}  // namespace

struct FormulaEvaluator::Function {
    std::string_view name;  // including the "("
    FunctionId id;
    int arguments;
};

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view name) {
    if (text.size() < name.size()) return false;
    for (std::size_t n = 0; n < name.size(); ++n)
        if (ToLower(text[n]) != name[n]) return false;
    return true;
}

// The position of the first "," outside parentheses, or npos.
std::size_t FindTopLevelComma(std::string_view arguments) {
    int level = 0;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        if (arguments[at] == '(') ++level;
        else if (arguments[at] == ')') --level;
        else if (arguments[at] == ',' && level == 0) return at;
    }
    return std::string_view::npos;
}

double Factorial(double argument) {
    const double n = std::trunc(argument);
    double product = 1.0;
    // Past 170 the product is infinite; stopping there keeps !(1e300) from taking forever.
    for (double factor = 2.0; factor <= n && !std::isinf(product); ++factor) product *= factor;
    return product;
}

}  // namespace

const FormulaEvaluator::Function* FormulaEvaluator::FindFunction(std::string_view text) {
    // Tried in this order; a name matches without regard to case. Within one first letter the
    // order matters: "cos(" comes before "cosh(", "sqr(" before "sqrn(".
    static constexpr Function kFunctions[] = {
        {"!(", FunctionId::Factorial, 1}, {"(", FunctionId::Group, 1},
        {"abs(", FunctionId::Abs, 1},     {"asin(", FunctionId::Asin, 1},
        {"acos(", FunctionId::Acos, 1},   {"atan(", FunctionId::Atan, 1},
        {"cos(", FunctionId::Cos, 1},     {"cosh(", FunctionId::Cosh, 1},
        {"cpx(", FunctionId::Cpx, 2},     {"exp(", FunctionId::Exp, 1},
        {"im(", FunctionId::Im, 1},       {"int(", FunctionId::Int, 1},
        {"ln(", FunctionId::Ln, 1},       {"log(", FunctionId::Log, 1},
        {"max(", FunctionId::Max, 2},     {"min(", FunctionId::Min, 2},
        {"norm(", FunctionId::Norm, 1},   {"pow(", FunctionId::Pow, 2},
        {"pol(", FunctionId::Pol, 2},     {"re(", FunctionId::Re, 1},
        {"rnd(", FunctionId::Rnd, 1},     {"sqr(", FunctionId::Sqr, 1},
        {"sin(", FunctionId::Sin, 1},     {"sqrn(", FunctionId::Sqrn, 2},
        {"sinh(", FunctionId::Sinh, 1},   {"tan(", FunctionId::Tan, 1},
        {"tanh(", FunctionId::Tanh, 1},
    };
    const char first = ToLower(text[0]);
    for (const Function& function : kFunctions)
        if (function.name[0] == first && StartsWithIgnoringCase(text, function.name)) return &function;
    return nullptr;
}

// <call> = <name> "(" <expression> ["," <expression>] ")"; the ")" is the one that balances.
FormulaEvaluator::Value FormulaEvaluator::CallFunction(const Function& function, std::string_view text,
                                                       std::size_t& used) {
    const std::size_t open = function.name.size();
    std::size_t close = open;
    for (int level = 1; close < text.size(); ++close) {
        if (text[close] == '(') ++level;
        else if (text[close] == ')' && --level == 0) break;
    }
    if (close == text.size()) Fail("Error: Missing ')'");
    used = close + 1;

    const std::string_view arguments = text.substr(open, close - open);
    if (function.arguments == 1) return ApplyFunction(function, EvaluateExpression(arguments), Value());
    const std::size_t comma = FindTopLevelComma(arguments);
    if (comma == std::string_view::npos) Fail("Error: Missing ','");
    const Value a = EvaluateExpression(arguments.substr(0, comma));
    const Value b = EvaluateExpression(arguments.substr(comma + 1));
    return ApplyFunction(function, a, b);
}

FormulaEvaluator::Value FormulaEvaluator::ApplyFunction(const Function& function, Value a, Value b) {
    const bool degrees = angleMode == AngleMode::Degrees;
    const Value angle = degrees ? a * kRadiansPerDegree : a;  // for the trigonometric functions
    const auto inverse = [degrees](double radians) { return degrees ? radians * 360.0 / kFullTurn : radians; };

    switch (function.id) {
    case FunctionId::Factorial: {
        const double argument = RealPart(a);
        if (argument < 0.0) Fail("Factorial do not handle negative values");
        return Factorial(argument);
    }
    case FunctionId::Group: return a;
    case FunctionId::Abs: return std::abs(a);
    case FunctionId::Asin: return inverse(std::asin(RealPart(a)));
    case FunctionId::Acos: return inverse(std::acos(RealPart(a)));
    case FunctionId::Atan: return inverse(std::atan(RealPart(a)));
    case FunctionId::Cos: return std::cos(angle);
    case FunctionId::Cosh: return std::cosh(angle);
    case FunctionId::Cpx: {
        // 1 when a <= x < b for the variable "x", which comes into being as 0 if need be.
        const double low = RealPart(a);
        auto x = variables.find(std::string_view("x"));
        if (x == variables.end()) x = variables.emplace("x", Value()).first;
        const double value = RealPart(x->second);
        if (!(low <= value)) return 0.0;
        return value < RealPart(b) ? 1.0 : 0.0;
    }
    case FunctionId::Exp: return std::exp(a);
    case FunctionId::Im: return a.imag();
    case FunctionId::Int: {
        const double argument = RealPart(a);
        return argument >= 0.0 ? std::floor(argument) : std::ceil(argument);
    }
    case FunctionId::Ln: return std::log(a);
    case FunctionId::Log: return std::log10(a);
    case FunctionId::Max:  // the smaller argument: formulas written for this module rely on it
        RealPart(a);
        return RealPart(b) <= a.real() ? b : a;
    case FunctionId::Min:  // the larger argument
        RealPart(a);
        return RealPart(b) >= a.real() ? b : a;
    case FunctionId::Norm: return std::norm(a);
    case FunctionId::Pow: return std::pow(a, b);
    case FunctionId::Pol: {
        const double direction = RealPart(b);  // tested before the magnitude
        const double radius = RealPart(a);
        const double radians = degrees ? direction * kRadiansPerDegree : direction;
        return {radius * std::cos(radians), radius * std::sin(radians)};
    }
    case FunctionId::Re: return a.real();
    case FunctionId::Rnd: {
        uint32_t draws[2];
        random.Draw(draws, 2);
        return {a.real() * draws[1] / kLargestDraw, a.imag() * draws[0] / kLargestDraw};
    }
    case FunctionId::Sqr: return std::sqrt(a);
    case FunctionId::Sin: return std::sin(angle);
    case FunctionId::Sqrn: return std::pow(a, 1.0 / b.real());
    case FunctionId::Sinh: return std::sinh(angle);
    case FunctionId::Tan: return std::tan(angle);
    case FunctionId::Tanh: return std::tanh(angle);
    }
    return a;  // not reached: every function is handled above
}
