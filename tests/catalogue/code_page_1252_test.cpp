#include "catalogue/code_page_1252.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage1252, ConvertsBothWays) {
    struct Case { std::string cp1252; std::string utf8; };
    const Case cases[] = {
        {"Do nothing", "Do nothing"},
        {"VOR 1\x92s", "VOR 1\xE2\x80\x99s"},  // right single quotation mark
        {"lights\xA0", "lights\xC2\xA0"},      // no-break space
        {"\x80", "\xE2\x82\xAC"},              // euro sign
        {"\x9F\xFF", "\xC5\xB8\xC3\xBF"},      // Y and y with diaeresis
        {"\x81\x9D", "\xC2\x81\xC2\x9D"},      // unassigned bytes keep their number
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
    }
    std::string all;  // every byte survives the round trip
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(CodePage1252, RejectsTextItCannotHold) {
    const char* const cases[] = {
        "\x92",                  // a code page 1252 byte, not UTF-8
        "\xC0\x80",              // overlong zero
        "\xE2\x80",              // cut short
        "\xE2\x28\x99",          // continuation byte missing
        "\xED\xA0\x80",          // surrogate
        "\xF4\x90\x80\x80",      // beyond the last character
        "\xF8\x88\x80\x80\x80",  // five-byte form
        "\xC4\x80",              // U+0100: not in the code page
        "\xF0\x9F\x98\x80",      // an emoji
    };
    for (const char* text : cases) EXPECT_EQ(Utf8ToCp1252(text), std::nullopt) << text;
}

TEST(CodePage1252, UpperCaseFoldsTheSmallLettersThatHaveACapital) {
    struct Case { std::string text; std::string upper; };
    const Case cases[] = {
        {"Throttle 1 max", "THROTTLE 1 MAX"},
        {"az AZ @[`{", "AZ AZ @[`{"},                       // the neighbours of the letters stay
        {"\xE0\xE9\xF6\xFE", "\xC0\xC9\xD6\xDE"},       // a-grave, e-acute, o-diaeresis, thorn
        {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},       // s-caron, oe, z-caron, y-diaeresis
        {"\xDF\xB5\x83\xF7\xAA", "\xDF\xB5\x83\xF7\xAA"},  // no capital, or no letter
        {"VOR 1\x92s\xA0", "VOR 1\x92S\xA0"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(UpperCaseCp1252(c.text), c.upper) << c.text;
}

}  // namespace
