// The record of the simulator host's gauge-variable lookup: the module and its stand-ins share
// it. 28 bytes in the 32-bit product, as the host lays it out.
#pragma once

#include <cstdint>
#include <cstring>

#pragma pack(push, 4)
// The caller zeroes every field but the token before a call.
struct GaugeVariable {
    uint32_t token;         // set by the caller
    void* data;             // set by the host; null: no such variable
    uint32_t typeCode;      // set by the host; 0: none
    double value;           // by type code: 2 and 33 a double, 14 an int16 in the first two bytes
    double previousValue;
};
#pragma pack(pop)
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(GaugeVariable) == 28, "the host's record is 28 bytes");
#endif

// Type codes the module reads.
constexpr uint32_t kGaugeTypeInt8 = 2;     // a double whose integer part's low 8 bits count
constexpr uint32_t kGaugeTypeInt16 = 14;   // int16 in the value's first two bytes
constexpr uint32_t kGaugeTypeDouble = 33;  // a double

// A type-14 value as the host stores it: the int16 in the first two bytes of `value`.
inline void StoreInt16(GaugeVariable& variable, int16_t number) {
    variable.value = 0;
    std::memcpy(&variable.value, &number, sizeof number);
}
inline int16_t LoadInt16(const GaugeVariable& variable) {
    int16_t number = 0;
    std::memcpy(&number, &variable.value, sizeof number);
    return number;
}
