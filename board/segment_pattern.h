// The seven-segment pattern of one character: bit 0 = segment a ... bit 6 = segment g,
// bit 7 = decimal point. Characters the digits cannot show are blank (0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::uint8_t SegmentPattern(char c);

// The digits of a display text from its first column on: a "." merges into the digit before it
// by adding the point's bit (two points in a row add up to no segment at all). The size is the
// number of digits the text lights.
std::vector<int> DigitPatterns(const std::string& text);
