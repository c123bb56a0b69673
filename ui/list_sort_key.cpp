#include "ui/list_sort_key.h"

#include <cstdint>

namespace {

constexpr uint8_t kPlain = 2;  // the diacritic or case weight of a plain character

// One byte's weights in Windows' default sort table.
struct ByteWeights {
    uint16_t primary;    // script and letter: what sorts first; 0 for none
    uint16_t expansion;  // a second primary weight: "\xE6" sorts as "ae"
    uint8_t diacritic;
    uint8_t caseWeight;  // the part NORM_IGNORECASE keeps: superscripts and ordinal indicators
    uint8_t special;     // hyphen-like characters have no primary weight, only this one
};

constexpr ByteWeights P(uint16_t primary) { return {primary, 0, kPlain, kPlain, 0}; }
constexpr ByteWeights Ac(uint16_t primary, uint8_t diacritic) { return {primary, 0, diacritic, kPlain, 0}; }
constexpr ByteWeights Ex(uint16_t primary, uint16_t expansion) { return {primary, expansion, kPlain, kPlain, 0}; }
constexpr ByteWeights Sm(uint16_t primary, uint8_t diacritic) { return {primary, 0, diacritic, 6, 0}; }
constexpr ByteWeights Sp(uint8_t special) { return {0, 0, kPlain, kPlain, special}; }
constexpr ByteWeights None() { return {0, 0, kPlain, kPlain, 0}; }

// Measured under Wine 10 (which carries Windows' own sort tables) with LCMapStringW for each
// byte of code page 1252, locale 0x409; tests/host holds the table to the platform's keys.
constexpr ByteWeights kWeights[256] = {
    /* 00 */ None(), Sp(0x03), Sp(0x04), Sp(0x05), Sp(0x06), Sp(0x07), Sp(0x08), Sp(0x09),
    /* 08 */ Sp(0x0A), P(0x0705), P(0x0706), P(0x0707), P(0x0708), P(0x0709), Sp(0x0B), Sp(0x0C),
    /* 10 */ Sp(0x0D), Sp(0x0E), Sp(0x0F), Sp(0x10), Sp(0x11), Sp(0x12), Sp(0x13), Sp(0x14),
    /* 18 */ Sp(0x15), Sp(0x16), Sp(0x17), Sp(0x18), Sp(0x19), Sp(0x1A), Sp(0x1B), Sp(0x1C),
    /* 20 */ P(0x0702), P(0x071C), P(0x071D), P(0x071F), P(0x0721), P(0x0723), P(0x0725), Sp(0x80),
    /* 28 */ P(0x0727), P(0x072A), P(0x072D), P(0x0803), P(0x072F), Sp(0x82), P(0x0733), P(0x0735),
    /* 30 */ P(0x0D03), P(0x0D1A), P(0x0D1C), P(0x0D1E), P(0x0D20), P(0x0D22), P(0x0D24), P(0x0D26),
    /* 38 */ P(0x0D28), P(0x0D2A), P(0x0737), P(0x073A), P(0x080E), P(0x0812), P(0x0814), P(0x073C),
    /* 40 */ P(0x073E), P(0x0E02), P(0x0E09), P(0x0E0A), P(0x0E1A), P(0x0E21), P(0x0E23), P(0x0E25),
    /* 48 */ P(0x0E2C), P(0x0E32), P(0x0E35), P(0x0E36), P(0x0E48), P(0x0E51), P(0x0E70), P(0x0E7C),
    /* 50 */ P(0x0E7E), P(0x0E89), P(0x0E8A), P(0x0E91), P(0x0E99), P(0x0E9F), P(0x0EA2), P(0x0EA4),
    /* 58 */ P(0x0EA6), P(0x0EA7), P(0x0EA9), P(0x073F), P(0x0741), P(0x0742), P(0x0743), P(0x0744),
    /* 60 */ P(0x0748), P(0x0E02), P(0x0E09), P(0x0E0A), P(0x0E1A), P(0x0E21), P(0x0E23), P(0x0E25),
    /* 68 */ P(0x0E2C), P(0x0E32), P(0x0E35), P(0x0E36), P(0x0E48), P(0x0E51), P(0x0E70), P(0x0E7C),
    /* 70 */ P(0x0E7E), P(0x0E89), P(0x0E8A), P(0x0E91), P(0x0E99), P(0x0E9F), P(0x0EA2), P(0x0EA4),
    /* 78 */ P(0x0EA6), P(0x0EA7), P(0x0EA9), P(0x074A), P(0x074C), P(0x074E), P(0x0750), Sp(0x1D),
    /* 80 */ P(0x07A9), Ac(0x0CFA, 30), P(0x077B), Ac(0x0E23, 67), P(0x077F), P(0x0A10), P(0x0B25), P(0x0B26),
    /* 88 */ P(0x0743), Ac(0x0B2C, 12), Ac(0x0E91, 20), P(0x0788),
    /* 8C */ Ex(0x0E7C, 0x0E21), Ac(0x0CFA, 42), Ac(0x0EA9, 20), Ac(0x0CFA, 44),
    /* 90 */ Ac(0x0CFA, 45), P(0x0779), P(0x077A), P(0x077D), P(0x077E), P(0x0B27), Sp(0x89), Sp(0x90),
    /* 98 */ P(0x075D), P(0x0E9C), Ac(0x0E91, 20), P(0x0789),
    /* 9C */ Ex(0x0E7C, 0x0E21), Ac(0x0CFA, 58), Ac(0x0EA9, 20), Ac(0x0EA7, 19),
    /* A0 */ P(0x0704), P(0x0751), P(0x0797), P(0x0798), P(0x0799), P(0x079A), P(0x0752), P(0x0A06),
    /* A8 */ P(0x0753), P(0x0A07), Sm(0x0E02, 3), P(0x0818), P(0x0A08), None(), P(0x0A09), P(0x0754),
    /* B0 */ P(0x0A0A), P(0x0817), Sm(0x0D1C, 2), Sm(0x0D1E, 2), P(0x0755), P(0x0A0B), P(0x0A0C), P(0x0A0D),
    /* B8 */ P(0x0756), Sm(0x0D1A, 2), Sm(0x0E7C, 3), P(0x081A), P(0x0D0D), P(0x0D11), P(0x0D15), P(0x0757),
    /* C0 */ Ac(0x0E02, 15), Ac(0x0E02, 14), Ac(0x0E02, 18), Ac(0x0E02, 25),
    /* C4 */ Ac(0x0E02, 19), Ac(0x0E02, 26), Ex(0x0E02, 0x0E21), Ac(0x0E0A, 28),
    /* C8 */ Ac(0x0E21, 15), Ac(0x0E21, 14), Ac(0x0E21, 18), Ac(0x0E21, 19),
    /* CC */ Ac(0x0E32, 15), Ac(0x0E32, 14), Ac(0x0E32, 18), Ac(0x0E32, 19),
    /* D0 */ Ac(0x0E1A, 104), Ac(0x0E70, 25), Ac(0x0E7C, 15), Ac(0x0E7C, 14),
    /* D4 */ Ac(0x0E7C, 18), Ac(0x0E7C, 25), Ac(0x0E7C, 19), P(0x081C),
    /* D8 */ Ac(0x0E7C, 33), Ac(0x0E9F, 15), Ac(0x0E9F, 14), Ac(0x0E9F, 18),
    /* DC */ Ac(0x0E9F, 19), Ac(0x0EA7, 14), Ex(0x0E99, 0x0E2C), Ex(0x0E91, 0x0E91),
    /* E0 */ Ac(0x0E02, 15), Ac(0x0E02, 14), Ac(0x0E02, 18), Ac(0x0E02, 25),
    /* E4 */ Ac(0x0E02, 19), Ac(0x0E02, 26), Ex(0x0E02, 0x0E21), Ac(0x0E0A, 28),
    /* E8 */ Ac(0x0E21, 15), Ac(0x0E21, 14), Ac(0x0E21, 18), Ac(0x0E21, 19),
    /* EC */ Ac(0x0E32, 15), Ac(0x0E32, 14), Ac(0x0E32, 18), Ac(0x0E32, 19),
    /* F0 */ Ac(0x0E1A, 104), Ac(0x0E70, 25), Ac(0x0E7C, 15), Ac(0x0E7C, 14),
    /* F4 */ Ac(0x0E7C, 18), Ac(0x0E7C, 25), Ac(0x0E7C, 19), P(0x081D),
    /* F8 */ Ac(0x0E7C, 33), Ac(0x0E9F, 15), Ac(0x0E9F, 14), Ac(0x0E9F, 18),
    /* FC */ Ac(0x0E9F, 19), Ac(0x0EA7, 14), Ex(0x0E99, 0x0E2C), Ac(0x0EA7, 19),
};

constexpr char kLevelEnd = 0x01;
constexpr char kSpecialTail = 0x12;  // closes every special weight

void AppendWord(std::string& key, unsigned word) {
    key += static_cast<char>(word >> 8);
    key += static_cast<char>(word & 0xFF);
}

void DropTrailingPlain(std::string& level) {
    while (!level.empty() && level.back() == static_cast<char>(kPlain)) level.pop_back();
}

}  // namespace

// Levels in order: primary weights, diacritics, case, an empty level, then the special weights,
// each recorded with its position among the primary weights (counted down from 0xFFFF).
std::string ListSortKey(std::string_view text) {
    std::string primary, diacritics, cases, specials;
    unsigned weighted = 0;
    for (char c : text) {
        const ByteWeights& weights = kWeights[static_cast<unsigned char>(c)];
        if (weights.special) {
            AppendWord(specials, 0xFFFF - weighted);
            specials += static_cast<char>(weights.special);
            specials += kSpecialTail;
            continue;
        }
        for (uint16_t weight : {weights.primary, weights.expansion}) {
            if (!weight) continue;
            AppendWord(primary, weight);
            diacritics += static_cast<char>(weights.diacritic);
            cases += static_cast<char>(weights.caseWeight);
            ++weighted;
        }
    }
    DropTrailingPlain(diacritics);
    DropTrailingPlain(cases);
    return primary + kLevelEnd + diacritics + kLevelEnd + cases + kLevelEnd + kLevelEnd + specials + '\0';
}
