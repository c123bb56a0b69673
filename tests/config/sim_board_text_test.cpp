#include "config/sim_board_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SimBoardText, ReadsProductSerialAndModule) {
    struct Case { const char* text; std::uint16_t product; const char* serial; bool hasSerial; int type, version; };
    const Case cases[] = {
        {"1583:0000A1B2", 0x1583, "0000A1B2", true, 0x02, 0x01},
        {"03e8:0000000b:FF:07", 0x03E8, "0000000b", true, 0xFF, 0x07},
        {"1583:-NOSERIAL", 0x1583, "-NOSERIAL", false, 0x02, 0x01},
        {"1583:-X:02:02", 0x1583, "-X", false, 0x02, 0x02},
    };
    for (const Case& c : cases) {
        const auto setup = ParseSimBoardText(c.text);
        ASSERT_TRUE(setup) << c.text;
        const std::map<int, std::pair<std::uint8_t, std::uint8_t>> module{{1, {c.type, c.version}}};
        EXPECT_EQ(std::tie(setup->vendorId, setup->productId, setup->serial, setup->hasSerial, setup->subModules),
                  std::make_tuple(std::uint16_t{0x07C0}, c.product, std::string(c.serial), c.hasSerial, module));
    }
}

TEST(SimBoardText, NamesTheWrongPart) {
    const char* const kSerial = "8 hexadecimal digits, or -NAME of up to 8 letters and digits, expected";
    const std::pair<const char*, std::string> cases[] = {
        {"", "PID:SERIAL[:TYPE:VERSION] expected"},
        {"1583:A:2", "PID:SERIAL[:TYPE:VERSION] expected"},
        {"3e8:0000A1B2", "product id 3e8: 4 hexadecimal digits expected"},
        {"x583:0000A1B2", "product id x583: 4 hexadecimal digits expected"},
        {"1583:", std::string("serial: ") + kSerial},
        {"1583:0000A1B", std::string("serial 0000A1B: ") + kSerial},
        {"1583:0000A1BG", std::string("serial 0000A1BG: ") + kSerial},
        {"1583:-", std::string("serial -: ") + kSerial},
        {"1583:-123456789", std::string("serial -123456789: ") + kSerial},
        {"1583:-A\\B", std::string("serial -A\\B: ") + kSerial},
        {"1583:0000A1B2:2:01", "type 2: 2 hexadecimal digits expected"},
        {"1583:0000A1B2:02:1G", "version 1G: 2 hexadecimal digits expected"},
    };
    for (const auto& [text, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(ParseSimBoardText(text, &problem)) << '"' << text << '"';
        EXPECT_EQ(problem, expected);
    }
}

}  // namespace
