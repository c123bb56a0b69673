// The seven-segment pattern of one character: bit 0 = segment a ... bit 6 = segment g,
// bit 7 = decimal point. Characters the digits cannot show are blank (0).
#pragma once

#include <cstdint>

std::uint8_t SegmentPattern(char c);
