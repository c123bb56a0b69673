#include "formula/random_generator.h"

void RandomGenerator::Draw(uint32_t* draws, std::size_t count) {
    const std::lock_guard<std::mutex> hold(lock);
    for (std::size_t n = 0; n < count; ++n) {
        index = (index + 1) % kWords;
        words[index] = words[(index + 54) % kWords] + words[(index + 23) % kWords];
        draws[n] = words[index];
    }
}

RandomGenerator::Table RandomGenerator::SeedTable(uint32_t seed) {
    Table table{};
    uint32_t state = seed;
    for (uint32_t& word : table) {
        state = state * 1664525u + 1013904223u;  // full period mod 2^32, so never stuck at 0
        word = state;
    }
    table[0] |= 1;  // the generator reaches its long period only with an odd word
    return table;
}

RandomGenerator& SharedRandomGenerator() {
    static RandomGenerator generator(RandomGenerator::SeedTable(0x20041116u));
    return generator;
}
