// Conversions between the catalogue's code page 1252 text and UTF-8, for tools that show
// descriptions outside Windows or take search text from a UTF-8 terminal.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Every byte becomes its character. The five bytes the code page leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows
// converts them.
std::string Cp1252ToUtf8(std::string_view text);

// The code page 1252 bytes of UTF-8 text; nothing when the text is not well-formed UTF-8 or
// holds a character the code page lacks.
std::optional<std::string> Utf8ToCp1252(std::string_view text);
