// An output pass evaluates each formula once, from its text. This compares that one-shot
// evaluation (Evaluate and FormatResult) with muParser setting and evaluating the same text,
// prints the throughput ratio per text and overall, and counts heap allocations by replacing
// the global operator new.
#include "formula/formula_evaluator.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

namespace {

std::size_t allocations = 0;  // the benchmarks run on one thread

}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

struct Text {
    const char* label;
    const char* text;
    bool succeeds;
};

// Typical output formulas after the gauge value has been printed into them.
const Text kTexts[] = {
    {"value", "1234.5678", true},
    {"scaled", "1234.5678*0.01", true},
    {"offset", "1234.5678-1000", true},
    {"int", "int(1234.5678/10)", true},
    {"assignment", "alt=1234.5678*3.28084", true},
    {"function", "sin(0.5236)*100", true},
    {"error", "1+foo(2)", false},  // an unknown function: an error for both
};

void EvaluateFormula(benchmark::State& state, const char* text) {
    FormulaEvaluator evaluator;
    const std::size_t before = allocations;
    for (auto _ : state) {
        try {
            const ResultText result = FormulaEvaluator::FormatResult(evaluator.Evaluate(text));
            benchmark::DoNotOptimize(result);
        } catch (const FormulaError& error) {
            benchmark::DoNotOptimize(error.what());
        }
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                  benchmark::Counter::kAvgIterations);
}

double Truncate(double value) { return std::trunc(value); }

void EvaluateMuParser(benchmark::State& state, const char* text) {
    mu::Parser parser;
    double alt = 0;
    parser.DefineVar("alt", &alt);
    parser.DefineFun("int", Truncate);
    const std::size_t before = allocations;
    for (auto _ : state) {
        try {
            parser.SetExpr(text);  // forces a new parse at the next Eval
            const double value = parser.Eval();
            benchmark::DoNotOptimize(value);
        } catch (const mu::Parser::exception_type& error) {
            benchmark::DoNotOptimize(&error);
        }
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                  benchmark::Counter::kAvgIterations);
}

// Keeps the nanoseconds per iteration of every run while the console shows them as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void PrintRatios(const std::map<std::string, double>& nanoseconds) {
    std::printf("\n%-12s %12s %12s %8s\n", "text", "formula ns", "muParser ns", "ratio");
    double formulaTotal = 0;
    double muParserTotal = 0;
    for (const Text& text : kTexts) {
        const auto formula = nanoseconds.find(std::string("formula/") + text.label);
        const auto muParser = nanoseconds.find(std::string("muparser/") + text.label);
        if (formula == nanoseconds.end() || muParser == nanoseconds.end()) continue;
        if (text.succeeds) {
            formulaTotal += formula->second;
            muParserTotal += muParser->second;
        }
        std::printf("%-12s %12.1f %12.1f %7.1fx\n", text.label, formula->second, muParser->second,
                    muParser->second / formula->second);
    }
    // An error costs both sides a C++ exception, microseconds in any runtime, so it is shown
    // but kept out of the overall figure.
    if (formulaTotal > 0)
        std::printf("the succeeding texts once each: %.1fx muParser's one-shot throughput (goal: at least 10x)\n",
                    muParserTotal / formulaTotal);
}

// Allocations of one Evaluate and FormatResult: the first in a fresh evaluator, as each output
// pass starts with one, and a repeat in the same evaluator.
void PrintAllocations() {
    std::printf("\n%-12s %-24s %8s %8s\n", "text", "", "first", "repeat");
    for (const Text& text : kTexts) {
        FormulaEvaluator evaluator;
        std::size_t counts[2];
        for (std::size_t& count : counts) {
            const std::size_t before = allocations;
            try {
                const ResultText result = FormulaEvaluator::FormatResult(evaluator.Evaluate(text.text));
                benchmark::DoNotOptimize(result);
            } catch (const FormulaError&) {
                // an exception object comes from the C++ runtime's own allocator, not operator new
            }
            count = allocations - before;
        }
        std::printf("%-12s %-24s %8zu %8zu\n", text.label, text.text, counts[0], counts[1]);
    }
    std::printf("heap allocations per evaluation (operator new)\n");
}

}  // namespace

int main(int argc, char** argv) {
    for (const Text& text : kTexts) {
        benchmark::RegisterBenchmark((std::string("formula/") + text.label).c_str(), EvaluateFormula, text.text)
            ->Unit(benchmark::kNanosecond);
        benchmark::RegisterBenchmark((std::string("muparser/") + text.label).c_str(), EvaluateMuParser, text.text)
            ->Unit(benchmark::kNanosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintRatios(reporter.nanoseconds);
    PrintAllocations();
    return 0;
}
