// The catalogue's code page 1252 text: conversions to and from UTF-8, for tools that show
// descriptions outside Windows or take search text from a UTF-8 terminal, and upper-casing
// for searches that ignore case.
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

// Upper case as the code page has it: a-z and every accented small letter that has a capital
// in the code page (e.g. \xE9 e-acute, \x9A s-caron, \xFF y-diaeresis) become that capital,
// so a search for "e" also finds an accented "E". Letters without a capital of their own in the
// code page (\xDF sharp s, \xB5 micro sign, \x83 f-hook) and every other byte stay as they are.
std::string UpperCaseCp1252(std::string_view text);
