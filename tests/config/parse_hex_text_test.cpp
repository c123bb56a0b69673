#include "config/parse_hex_text.h"

#include <gtest/gtest.h>

TEST(ParseHexText, ReadsAsTheConfigurationFileWritesIt) {
    struct Case { const char* text; uint32_t expected; };
    const Case cases[] = {
        {"10000", 0x10000},      {"1A2B", 0x1A2B},       {"1a2b", 0x1A2B},
        {"0x1a2b", 0x1A2B},      {"0X1A2B", 0x1A2B},     {"12G4", 0x12},
        {" 1A2B", 0},            {"-1", 0},              {"+1", 0},
        {"", 0},                 {"0x", 0},              {"xyz", 0},
        {"FFFFFFFF", 0xFFFFFFFF}, {"123456789", 0x23456789}, {"1003c", 0x1003C},
        {"0x0x1", 0},            {"00000001", 1},        {"1 2", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseHexText(c.text), c.expected) << '"' << c.text << '"';
}
