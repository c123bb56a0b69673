#include "formula/formula_evaluator.h"
#include "formula/random_generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

using DrawPair = std::pair<uint32_t, uint32_t>;

RandomGenerator::Table CountingTable() {
    RandomGenerator::Table table{};
    for (uint32_t n = 0; n < RandomGenerator::kWords; ++n) table[n] = n;
    return table;
}

// With word n = n, draw k (k <= 31) is draw k-1 plus the untouched word k+23; draw 32 adds the
// word at position 0, draw 33 the first draw, stored at position 1.
TEST(RandomGenerator, FollowsTheLaggedSum) {
    RandomGenerator generator(CountingTable());
    uint32_t draws[33];
    generator.Draw(draws, 33);
    const std::pair<int, uint32_t> expected[] = {{1, 24}, {2, 49}, {3, 75}, {31, 1209}, {32, 1209}, {33, 1233}};
    for (const auto& [k, value] : expected) EXPECT_EQ(draws[k - 1], value) << "draw " << k;

    RandomGenerator::Table odd{};
    odd.fill(0x80000001u);
    RandomGenerator wrapping(odd);
    wrapping.Draw(draws, 1);
    EXPECT_EQ(draws[0], 2u) << "sums are taken modulo 2^32";
}

// rnd(z) scales the real part by the second draw and the imaginary part by the first: draws
// 24, 49, 75, 102 of the counting table. Every output pass makes a fresh evaluator: they must
// draw from the one module-wide sequence, not each start it anew.
TEST(RandomGenerator, RndScalesByTwoDrawsOfTheSharedSequence) {
    RandomGenerator counting(CountingTable());
    FormulaEvaluator evaluator(AngleMode::Radians, counting);
    EXPECT_EQ(evaluator.Evaluate("rnd(4294967295+4294967295i)"), FormulaEvaluator::Value(49, 24));
    EXPECT_EQ(evaluator.Evaluate("rnd(4294967295*2+4294967295i)"), FormulaEvaluator::Value(204, 75));
    const auto draw = [] { return FormulaEvaluator().Evaluate("rnd(4294967295)"); };
    EXPECT_NE(draw(), draw()) << "fresh evaluators";
}

// Output passes on several threads evaluating rnd( at once each get pairs of the one sequence:
// together they use exactly its first pairs, and no pair is split by another thread's draw.
TEST(RandomGenerator, ThreadsShareOneSequenceWithoutDisturbingEachOther) {
    constexpr int kThreads = 4;
    constexpr int kPairsPerThread = 3000;
    RandomGenerator shared(CountingTable());
    std::vector<std::vector<DrawPair>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&shared, &pairs = drawn[t]] {
            FormulaEvaluator evaluator(AngleMode::Radians, shared);
            for (int n = 0; n < kPairsPerThread; ++n) {
                const FormulaEvaluator::Value value = evaluator.Evaluate("rnd(4294967295+4294967295i)");
                pairs.emplace_back(static_cast<uint32_t>(std::llround(value.imag())),
                                   static_cast<uint32_t>(std::llround(value.real())));
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    // The sequence itself, drawn here by the rule: index on by one, word 54 plus word 23 on.
    RandomGenerator::Table words = CountingTable();
    std::multiset<DrawPair> expected;
    for (std::size_t n = 0, index = 0; n < kThreads * kPairsPerThread; ++n) {
        uint32_t pair[2];
        for (uint32_t& draw : pair) {
            index = (index + 1) % 55;
            draw = words[index] = words[(index + 54) % 55] + words[(index + 23) % 55];
        }
        expected.emplace(pair[0], pair[1]);
    }
    std::multiset<DrawPair> actual;
    for (const std::vector<DrawPair>& pairs : drawn) actual.insert(pairs.begin(), pairs.end());
    EXPECT_TRUE(actual == expected);
}

}  // namespace
