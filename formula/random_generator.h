// The random generator behind "rnd(": an additive lagged Fibonacci generator over 55 words.
// A draw moves the index on by one (mod 55) and stores there the sum, mod 2^32, of the words 54
// and 23 places further on (mod 55); the stored word is the draw.
//
// One generator serves the whole module, and the update threads of several panels draw from
// it. A lock guards the table, and the draws one caller needs are made under one hold of it, so
// no other thread's draw falls between them and every thread sees a part of the one sequence.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

class RandomGenerator {
public:
    static constexpr std::size_t kWords = 55;
    using Table = std::array<uint32_t, kWords>;

    // The words must not all be 0. Draws start at index 0.
    explicit RandomGenerator(const Table& words) : words(words) {}
    RandomGenerator(const RandomGenerator&) = delete;
    RandomGenerator& operator=(const RandomGenerator&) = delete;

    // Writes the next `count` draws of the sequence to `draws`, in order.
    void Draw(uint32_t* draws, std::size_t count);

    // A table filled from a seed by a linear congruential sequence; never all 0.
    static Table SeedTable(uint32_t seed);

private:
    std::mutex lock;
    Table words;
    std::size_t index = 0;
};

// The module's generator, seeded on first use with a fixed seed: a run of the module repeats
// its sequence, which is all a blinking display needs and makes a report reproducible.
RandomGenerator& SharedRandomGenerator();
