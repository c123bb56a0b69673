#include "formula/formula_evaluator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Value = FormulaEvaluator::Value;

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();

// A statement and what it gives: the value re + im i, or the error with that message.
struct Case {
    Case(std::string text, double re, double im = 0) : text(std::move(text)), re(re), im(im) {}
    Case(std::string text, std::string message) : text(std::move(text)), message(std::move(message)) {}
    std::string text;
    double re = 0, im = 0;
    std::string message;
};

// Within a few units in the last place, and near 0 within 1e-14, so that another C runtime's
// cosine passes (2*cos(pi/2) is 1.22465e-16 with glibc, 1.22461e-16 with the Windows one).
bool Close(double actual, double expected) {
    if (std::isinf(expected)) return actual == expected;
    return std::fabs(actual - expected) <= 1e-14 * std::max(1.0, std::fabs(expected));
}

// Each case on a fresh evaluator, or, in a session, all of them in order on one.
void Check(const std::vector<Case>& cases, AngleMode mode = AngleMode::Radians, bool session = false) {
    FormulaEvaluator shared(mode);
    for (const Case& c : cases) {
        FormulaEvaluator fresh(mode);
        try {
            const Value value = (session ? shared : fresh).Evaluate(c.text);
            EXPECT_TRUE(c.message.empty() && Close(value.real(), c.re) && Close(value.imag(), c.im))
                << '"' << c.text << "\" gave " << value.real() << ", " << value.imag() << "i";
        } catch (const FormulaError& error) {
            EXPECT_EQ(error.what(), c.message) << '"' << c.text << '"';
        }
    }
}

std::string Repeated(const std::string& part, std::size_t times) {
    std::string text;
    for (std::size_t n = 0; n < times; ++n) text += part;
    return text;
}

TEST(FormulaNumbers, ReadAsWritten) {
    Check({
        {"0x1F", 31, 0},           {"0X10", 16, 0},          {"0xff", 255, 0},
        {"0xFFFFFFFF", -1, 0},     {"0x7fffffff", 2147483647, 0},
        {"0x123456789", 0x23456789, 0},                      {"0x", 0, 0},
        {"0b101", 5, 0},           {"0B11", 3, 0},           {"0b", 0, 0},
        {"0b" + std::string(32, '1'), -1, 0},                {"0b1" + std::string(32, '0'), 0, 0},
        {"1e3", 1000, 0},          {"1E+2", 100, 0},         {"1.5e-3", 0.0015, 0},
        {".5", 0.5, 0},            {"5.", 5, 0},             {"007", 7, 0},
        {"2e", 2, 0},              {"2e+", 2, 0},            {".", 0, 0},
        {"2.5i", 0, 2.5},          {"3i", 0, 3},             {"1e2i", 0, 100},
        {"1e999", kInf, 0},        {"1e-999", 0, 0},         {"0.0001e-400", 0, 0},
        {"1" + std::string(400, '0') + "e-10", kInf, 0},     {"0." + std::string(400, '0') + "1e500", 1e99, 0},
        {"1 2", 12, 0},            {" 1\t2\r\n3\v\f", 123, 0},
        {"pi", kPi, 0},            {"PI*2", 2 * kPi, 0},     {"pi*2", 2 * kPi, 0},
        {"pI", kPi, 0},            {"e", 2.718281828459045, 0}, {"-e", -2.718281828459045, 0},
        {std::string(4998, '0') + "1", 1, 0},
        {std::string("1\0+2", 4), 1, 0},  // the text ends at a NUL, as a C string does
    });
}

TEST(FormulaSignsAndOperators, ProductsBindTighterAndSumsRunFromTheRight) {
    Check({
        {"", 0, 0},             {" \t\n ", 0, 0},        {"2 + 3 * 4", 14, 0},
        {"8-2-1", 5, 0},        {"-2*3", -6, 0},         {"2*-3", -6, 0},
        {"2--3", 5, 0},         {"+-+-5", 5, 0},         {"---5", -5, 0},
        {"7%3", 1, 0},          {"-7%3", -1, 0},         {"7%-3", 1, 0},
        {"5.5%2", 1.5, 0},      {"10%4*3", 6, 0},        {"12/4/3", 1, 0},
        {"2*3*4", 24, 0},       {"6/4", 1.5, 0},         {"(1+2)*3", 9, 0},
        {"-(2+3)", -5, 0},      {"2+3i", 2, 3},          {"2i*2i", -4, 0},
        {"1/2i", 0, -0.5},      {"(1+1i)*(1-1i)", 2, 0}, {"1-2*3+4", -1, 0},
        // A sum is taken from the right: 1 + (-1e20 + 1e20), where the left would give 0.
        {"1-1e20+1e20", 1, 0},
    });
}

TEST(FormulaFunctions, ComputeInRadians) {
    const double e = 2.718281828459045;
    Check({
        {"!(5)", 120, 0},            {"!(3.9)", 6, 0},            {"!(0)", 1, 0},
        {"!(0.5)", 1, 0},            {"!(170)", 7.257415615307994e306, 0},
        {"!(171)", kInf, 0},         {"!(1e300)", kInf, 0},       {"(2)", 2, 0},
        {"((((3))))", 3, 0},         {"abs(3+4i)", 5, 0},         {"ABS(-2)", 2, 0},
        {"asin(1)", 1.5707963267948966, 0},                      {"acos(1)", 0, 0},
        {"atan(1)", 0.7853981633974483, 0},                      {"cos(0)", 1, 0},
        {"cos(1)", 0.5403023058681398, 0},                       {"cosh(1)", 1.5430806348152437, 0},
        {"exp(1)", e, 0},            {"im(2+3i)", 3, 0},          {"re(2+3i)", 2, 0},
        {"int(-2.7)", -2, 0},        {"int(2.7)", 2, 0},          {"Int(-0.5)", 0, 0},
        {"ln(e)", 1, 0},             {"log(1000)", 3, 0},         {"ln(-1)", 0, kPi},
        {"max(1,2)", 1, 0},          {"max(2,1)", 1, 0},          {"min(1,2)", 2, 0},
        {"min(2,1)", 2, 0},          {"max(1+1,(3))", 2, 0},      {"norm(3+4i)", 25, 0},
        {"pow(2,10)", 1024, 0},      {"pow(-1,0.5)", 0, 1},       {"pol(2,0)", 2, 0},
        {"pol(2,pi/2)", 0, 2},                {"sqr(-4)", 0, 2},
        {"sqr(16)", 4, 0},           {"sin(1)", 0.8414709848078965, 0},
        {"sinh(1)", 1.1752011936438014, 0},                      {"Sin(pi/2)", 1, 0},
        {"sqrn(27,3)", 3, 0},        {"sqrn(16,2)", 4, 0},        {"tan(1)", 1.5574077246549023, 0},
        {"tanh(1)", 0.7615941559557649, 0},                      {"rnd(0)", 0, 0},
        {"abs(max(-3,-4)*2)", 8, 0},
    });
}

TEST(FormulaFunctions, ComputeInDegrees) {
    Check({
        {"asin(1)", 90, 0},   {"acos(0)", 90, 0},      {"atan(1)", 45, 0},
        {"cos(180)", -1, 0},  {"sin(90)", 1, 0},       {"tan(45)", 1, 0},
        {"cosh(0)", 1, 0},    {"sinh(90)", 2.3012989023072947, 0},
        {"tanh(0)", 0, 0},    {"pol(2,90)", 0, 2},
        {"exp(1)", 2.718281828459045, 0},  // not an angle function
    }, AngleMode::Degrees);
}

TEST(FormulaVariables, AssignmentsAndLookups) {
    Check({
        {"x=5", 5},          {"x", 5},              {"cpx(0,10)", 1},      {"cpx(5,10)", 1},
        {"cpx(0,5)", 0},     {"cpx(6,5i)", 0},      {"cpx(5,5i)", "Error: Complex value"},
        {"x = 1/0", "Division by Zero"},            {"x", 5},              {"x=x+1", 6},
        {"y = x * 3", 18},   {"A1=2", 2},           {"a1=3", 3},           {"A1", 2},
        {"Pi=3", 3},         {"Pi", 3},             {"pi", kPi},           {"pI", kPi},
        {"a=b=2", "Syntax Error: 'b=2'"},           {"a=y=2", "What ??? '='"},
        {"a", "Syntax Error: 'a'"},                 {"x=2i", 0, 2},        {"cpx(0,1)", "Error: Complex value"},
    }, AngleMode::Radians, true);
}

TEST(FormulaVariables, CpxCreatesXAndTheLongestNameWins) {
    Check({
        {"x", "Syntax Error: 'x'"},  {"cpx(0,10)", 1},  {"x", 0},         {"cpx(1,10)", 0},
        {"x=1", 1},                  {"xy", "What ??? 'y'"},               {"xy=2", 2},
        {"xy*2", 4},                 {"x*2", 2},        {"xyz", "What ??? 'z'"},
        {"xyz=7", 7},                {"xyz+xy+x", 10},  {"X", "Syntax Error: 'X'"},
        {"abs=4", 4},                {"abs", 4},        {"abs(-1)", 1},
    }, AngleMode::Radians, true);
}

TEST(FormulaErrors, MessagesAsWritten) {
    Check({
        {"1/0", "Division by Zero"},              {"1%0", "Division by Zero"},
        {"1/(0i)", "Division by Zero"},           {"1i%0", "Division by Zero"},
        {"1i%2", "Error: Complex value"},         {"2%1i", "Error: Complex value"},
        {"2^3", "What ??? '^'"},                  {"1)+2", "What ??? ')'"},
        {"(1)(2)", "What ??? '('"},               {"1.2.3", "What ??? '.'"},
        {"0x1Fi", "What ??? 'i'"},                {"sqr(4))", "What ??? ')'"},
        {"abs(1,2)", "What ??? ','"},             {"max(1,(2,3))", "What ??? ','"},
        {"2=3", "Variable must begin with alpha"}, {"E", "Syntax Error: 'E'"},
        {"pi2", "Syntax Error: 'pi2'"},           {"foo(1)", "Syntax Error: 'foo(1'"},
        {"2*x[1]+1", "Syntax Error: 'x[1]'"},     {"abs()", "Syntax Error"},
        {"()", "Syntax Error"},                   {"x=", "Syntax Error"},
        {"2+", "Syntax Error"},                   {"*2", "Syntax Error"},
        {"1+*2", "Syntax Error"},                 {"abs(3", "Error: Missing ')'"},
        {"((1)", "Error: Missing ')'"},           {"pow(2)", "Error: Missing ','"},
        {"pow((1,2))", "Error: Missing ','"},     {"1x=2", "Variable must begin with alpha"},
        {"=5", "Variable must begin with alpha"}, {"a_b=1", "A non alphanumeric value in variable"},
        {"pi=3", "Error: Reserved name"},         {"PI=3", "Error: Reserved name"},
        {"e=1", "Error: Reserved name"},          {"!(-1)", "Factorial do not handle negative values"},
        {"!(-0.5)", "Factorial do not handle negative values"},
        {"!(1i)", "Error: Complex value"},        {"int(1i)", "Error: Complex value"},
        {"asin(2i)", "Error: Complex value"},     {"max(1i,2)", "Error: Complex value"},
        {"min(1,2i)", "Error: Complex value"},    {"pol(1,1i)", "Error: Complex value"},
        {"cpx(1i,2)", "Error: Complex value"},    {"1/0+foo", "Division by Zero"},
        {"max(foo,1/0)", "Syntax Error: 'foo'"},  {"x=1/0", "Division by Zero"},
        {"x=foo", "Syntax Error: 'foo'"},         {"1/0=x", "Syntax Error: 'x'"},
    });
}

// The limits of this evaluator: 1000 nested groups or terms, a quoted word of 99 characters.
// In one session: an error deep inside leaves no depth behind.
std::string Nested(int depth, const std::string& inner = "1") {
    return std::string(depth, '(') + inner + std::string(depth, ')');
}

TEST(FormulaErrors, LimitsGiveClearErrorsAndLeaveTheEvaluatorUsable) {
    const std::string longestSum = Repeated("1+", 999) + "1";
    const std::string word(99, 'w');
    Check({
        {Nested(999), 1},
        {longestSum, 1000},
        {std::string(3000, ' ') + std::string(4998, '0') + "1", 1},
        {Nested(1000), "Error: Expression too complex"},
        {"1+" + longestSum, "Error: Expression too complex"},
        {Repeated("abs(", 1000) + "1" + std::string(200, ')'), "Error: Missing ')'"},
        {std::string(4999, '('), "Error: Missing ')'"},
        {std::string(5000, '0'), "Error: Expression too long"},
        {std::string(100000, '('), "Error: Expression too long"},
        {word, "Syntax Error: '" + word + "'"},
        {word + "w+1", "Syntax Error: '" + word.substr(3) + "...'"},
        {"1+" + std::string(4000, 'w'), "Syntax Error: '" + word.substr(3) + "...'"},
        {Nested(2000), "Error: Expression too complex"},
        {Nested(999, "1/0"), "Division by Zero"},
        {Nested(999), 1},
    }, AngleMode::Radians, true);
}

TEST(FormulaResultText, WrittenWithFiveSignificantDigits) {
    struct Case {
        Value value;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {{0, 2}, "0 + 2i"},              {{-4, 0}, "-4"},             {{3, -2}, "3 - 2i"},
        {{-4, -0.0}, "-4"},              {{0, 0}, "0"},               {{12.7, 0}, "12.7"},
        {{100, 0}, "100"},               {{99999, 0}, "99999"},       {{99999.5, 0}, "1e+05"},
        {{123456, 0}, "1.2346e+05"},     {{1e20, 0}, "1e+20"},        {{0.0001, 0}, "0.0001"},
        {{0.00001, 0}, "1e-05"},         {{1.0 / 3, 0}, "0.33333"},   {{-0.5, 0}, "-0.5"},
        {{2.5, 1e-20}, "2.5 + 1e-20i"},  {{kInf, 0}, "inf"},          {{-kInf, -kInf}, "-inf - infi"},
        {{nan, 0}, "nan"},               {{1, nan}, "1 - nani"},
        {{-1.2345678e-308, -1.2345678e-308}, "-1.2346e-308 - 1.2346e-308i"},
    };
    for (const Case& c : cases) {
        const ResultText text = FormulaEvaluator::FormatResult(c.value);
        EXPECT_STREQ(text.c_str(), c.text);
        EXPECT_EQ(text.view(), c.text);
    }
}

// A negated zero shows as 0.
TEST(FormulaResultText, OfEvaluatedStatements) {
    const std::pair<const char*, const char*> cases[] = {
        {"sqr(-4)", "0 + 2i"},  {"2i*2i", "-4"},  {"-0", "0"},  {"-2.5i", "0 - 2.5i"}};
    for (const auto& [statement, expected] : cases)
        EXPECT_STREQ(FormulaEvaluator::FormatResult(FormulaEvaluator().Evaluate(statement)).c_str(), expected);
}

}  // namespace
