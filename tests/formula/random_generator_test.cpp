#include "formula/formula_evaluator.h"
#include "formula/random_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
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
}

TEST(RandomGenerator, SumsModulo2To32) {
    RandomGenerator::Table table{};
    table.fill(0x80000001u);
    RandomGenerator generator(table);
    uint32_t draw;
    generator.Draw(&draw, 1);
    EXPECT_EQ(draw, 2u);
}

TEST(RandomGenerator, SeedTablesAreNeverAllZero) {
    for (const uint32_t seed : {0u, 1u, 0xFFFFFFFFu}) {
        const RandomGenerator::Table table = RandomGenerator::SeedTable(seed);
        EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](uint32_t word) { return word % 2 == 1; }));
    }
}

// rnd(z) scales the real part by the second draw and the imaginary part by the first.
TEST(RandomGenerator, RndScalesByTwoDraws) {
    RandomGenerator used(RandomGenerator::SeedTable(5));
    RandomGenerator reference(RandomGenerator::SeedTable(5));
    FormulaEvaluator evaluator(AngleMode::Radians, used);
    for (int n = 0; n < 20; ++n) {
        uint32_t draws[2];
        reference.Draw(draws, 2);
        const FormulaEvaluator::Value value = evaluator.Evaluate("rnd(4294967295+4294967295i)");
        EXPECT_NEAR(value.real(), draws[1], 0.5);
        EXPECT_NEAR(value.imag(), draws[0], 0.5);
    }
}

// Threads that draw at once each get pairs of the one sequence: together they use exactly its
// first pairs, and no pair is split by another thread's draw.
TEST(RandomGenerator, ThreadsShareOneSequenceWithoutDisturbingEachOther) {
    constexpr int kThreads = 4;
    constexpr int kPairsPerThread = 3000;
    RandomGenerator shared(RandomGenerator::SeedTable(11));
    std::vector<std::vector<DrawPair>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&shared, &pairs = drawn[t]] {
            // Half through the evaluator, as output passes do, half directly.
            FormulaEvaluator evaluator(AngleMode::Radians, shared);
            for (int n = 0; n < kPairsPerThread; ++n) {
                if (n % 2 == 0) {
                    const FormulaEvaluator::Value value = evaluator.Evaluate("rnd(4294967295+4294967295i)");
                    pairs.emplace_back(static_cast<uint32_t>(std::llround(value.imag())),
                                       static_cast<uint32_t>(std::llround(value.real())));
                } else {
                    uint32_t draws[2];
                    shared.Draw(draws, 2);
                    pairs.emplace_back(draws[0], draws[1]);
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    RandomGenerator sequential(RandomGenerator::SeedTable(11));
    std::multiset<DrawPair> expected;
    for (int n = 0; n < kThreads * kPairsPerThread; ++n) {
        uint32_t draws[2];
        sequential.Draw(draws, 2);
        expected.emplace(draws[0], draws[1]);
    }
    std::multiset<DrawPair> actual;
    for (const std::vector<DrawPair>& pairs : drawn) actual.insert(pairs.begin(), pairs.end());
    EXPECT_TRUE(actual == expected);
}

TEST(RandomGenerator, SharedGeneratorServesEvaluatorsOnSeveralThreads) {
    std::vector<std::thread> threads;
    std::vector<int> outOfRange(4, 0);
    for (int& failures : outOfRange) {
        threads.emplace_back([&failures] {
            FormulaEvaluator evaluator;
            for (int n = 0; n < 2000; ++n) {
                const FormulaEvaluator::Value value = evaluator.Evaluate("r=rnd(1+1i)");
                if (!(value.real() >= 0 && value.real() <= 1 && value.imag() >= 0 && value.imag() <= 1)) ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const int failures : outOfRange) EXPECT_EQ(failures, 0);
}

}  // namespace
