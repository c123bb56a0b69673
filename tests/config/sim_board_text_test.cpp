#include "config/sim_board_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SimBoardText, ReadsProductSerialAndModule) {
    struct Case { const char* text; std::uint16_t product; const char* serial; bool hasSerial; int type, version; };
    const Case cases[] = {
        {"1583:0000A1B2", 0x1583, "0000A1B2", true, 0x02, 0x01},
        {"3e8:B:3:7", 0x03E8, "B", true, 0x03, 0x07},
        {"0x3EA:12345678:FF:1", 0x03EA, "12345678", true, 0xFF, 0x01},
        {"1583:-NOSERIAL", 0x1583, "-NOSERIAL", false, 0x02, 0x01},
        {"1583:-X:2:2", 0x1583, "-X", false, 0x02, 0x02},
    };
    for (const Case& c : cases) {
        const auto setup = ParseSimBoardText(c.text);
        ASSERT_TRUE(setup) << c.text;
        EXPECT_EQ(setup->vendorId, 0x07C0) << c.text;
        EXPECT_EQ(setup->productId, c.product) << c.text;
        EXPECT_EQ(setup->serial, c.serial) << c.text;
        EXPECT_EQ(setup->hasSerial, c.hasSerial) << c.text;
        const std::map<int, std::pair<std::uint8_t, std::uint8_t>> module{{1, {c.type, c.version}}};
        EXPECT_EQ(setup->subModules, module) << c.text;
    }
}

TEST(SimBoardText, RefusesMalformedSpecs) {
    for (const char* text : {"", "1583", "1583:", "1583:123456789", "1583:-", "1583:-123456789",
                             "1583:A:2", "1583:A:2:1:0", ":"}) {
        EXPECT_FALSE(ParseSimBoardText(text)) << '"' << text << '"';
    }
}

}  // namespace
