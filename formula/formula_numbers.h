// Number literals of formula text. Each reader starts at the literal's first character and
// returns how many characters the literal covers.
#pragma once

#include <cstddef>
#include <string_view>

// "0x" and hexadecimal digits (either case), read as unsigned 32-bit and taken as signed:
// 0xFFFFFFFF is -1. Digits beyond the eighth push the highest ones out; "0x" alone is 0.
std::size_t ReadHexNumber(std::string_view text, double& value);

// "0b" and binary digits, accumulated into 32 bits and taken as signed.
std::size_t ReadBinaryNumber(std::string_view text, double& value);

// Digits, an optional ".", digits, optionally "e" or "E" with an optional sign and digits. The
// value is that of atof on the covered text, but read without regard to the C locale.
std::size_t ReadDecimalNumber(std::string_view text, double& value);
