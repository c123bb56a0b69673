#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads hexadecimal text as the configuration file writes it: upper or lower case digits, an
// optional leading "0x", reading stops at the first other character. No digits, a leading
// blank or a sign give 0; digits beyond the eighth push the highest ones out.
uint32_t ParseHexText(std::string_view text);

// Exactly `count` hexadecimal digits (either case) and nothing else, as a serial, a product id
// or a module type is written.
bool IsHexDigits(std::string_view text, std::size_t count);
