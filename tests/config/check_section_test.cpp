#include "config/check_section.h"

#include <gtest/gtest.h>

#include "config/build_mfp_data.h"
#include "tests/config/temp_folder.h"

namespace {

// Fourteen default pairs, then the pair under test for "SW15": blanks around the whole value
// do not count.
std::string InputsEndingWith(const std::string& pair) {
    std::string line = "Inputs=";
    for (int i = 1; i < 15; ++i) line += "10000,0,";
    return line + pair + "\r\n";
}

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

// A corrupt key is named with the message the user would see, and no tables are kept.
TEST(CheckSection, NamesCorruptionAndWarnsAboutWhatSurprisesAUser) {
    // Each expected warning contains its text.
    struct Case {
        std::string keys;
        const char* corruptItem;
        std::vector<std::string> warnings;
        std::string section = "0000B001";
    };
    const Case cases[] = {
        {"", "", {}},
        {"Inputs=\r\n", "Inputs", {}},
        {"outputs=1,2\r\n", "outputs", {}},
        {InputsEndingWith(" 1A2B,5"), "", {"SW15 (0106) event id \" 1A2B\" reads as 0"}},
        {InputsEndingWith("10000,abc"), "", {"SW15 (0106) value \"abc\" reads as 0"}},
        {InputsEndingWith("0x0,-0"), "", {"SW15 (0106) event id \"0x0\" is no event FS2004 knows"}},
        {InputsEndingWith("1A2B,5"), "", {"SW15 (0106) event id \"1A2B\" is no event FS2004 knows"}},
        {InputsEndingWith("0x10022,1"), "", {}},
        {InputsEndingWith("0x,-"), "", {"SW15 (0106) event id \"0x\" reads as 0", "SW15 (0106) value \"-\" reads as 0"}},
        {"outputs=10,0,1,%g,1,0,0\r\n", "",
         {"output 1 flags \"10\" are hexadecimal, not 2 + 8: for 2 + 8 write A", "output 1 has flags \"10\" without a kind bit"}},
        {"outputs=17,1,73,%g,1,0,2,A,1,73,%g,1,0,0\r\n", "",
         {"output 1 flags \"17\" are hexadecimal, not 1 + 16: for 1 + 16 write 11"}},
        // What lies off the board's 32 digits, 256 LEDs, 4 ports and 8 lines.
        {"outputs=4,0,73,%g,0,4,0,4,33,73,%g,0,4,0,4,30,73,%g,0,4,0,4,29,73,%g,0,4,0\r\n", "",
         {"output 1 digit 0 is not on the panel", "output 2 digit 33 is not on the panel",
          "output 3 width 4 from digit 30 runs past digit 32"}},
        {"outputs=2,0,73,%g,1,0,0,2,257,73,%g,1,0,0,2,256,73,%g,1,0,0,1,4,73,%g,1,0,8,1,3,73,%g,1,0,7\r\n", "",
         {"output 1 led 0 is not on the panel", "output 2 led 257 is not on the panel",
          "output 4 port 4 is not on the panel", "output 4 bit 8 is no line of a port"}},
        {"", "", {"[Caf\xE9] is no board serial"}, "Caf\xE9"},
        {"", "", {"[0000AIB2] is no board serial"}, "0000AIB2"},
        {"", "", {}, "0000a1b2"},
        {"outputs=4,1,1,%g %g,1,0,0,2,x,1,ab,1,0,0\r\n", "",
         {"output 2 led \"x\" reads as 0", "output 2 led 0 is not on the panel"}},
        {"outputs=G,0,10,%g,1,0,1\r\n", "", {"flags \"G\" reads as 0", "without a kind bit"}},
        {"outputs=4,1,Plane_Altitude,%g,0,4,0,2,9,PLANE_ALTITUD,%g,1,0,0,2,10,0,%g,1,0,0,2,11,909,%g,1,0,0\r\n", "",
         {"output 2 gauge \"PLANE_ALTITUD\" is no FS2004 gauge variable; it reads as 0, no variable",
          "output 3 gauge \"0\" is 0, no variable", "output 4 gauge \"909\" is no FS2004 gauge variable (those are 1 to 908)"}},
        {"outputs=" + std::string(40000, '7') + "\r\n", "outputs",
         {"outputs: the value has 40000 characters; only the first 32767 are read, and the cut falls in field 1 (output 1)"}},
        // 2047 groups of 16 characters, then the cut inside the 2048th's closing comma.
        {"outputs=" + Repeated("2,9,73,%g,1,0,0,", 3000) + "\r\n", "outputs",
         {"outputs: the value has 48000 characters; only the first 32767 are read, and the cut falls in field 14336 (output 2048)"}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.Write("t.ini", "[" + c.section + "]\r\n" + c.keys);
        const SectionCheck check = CheckSection(SimProfileFile(), path, c.section);
        const bool corrupt = *c.corruptItem != '\0';
        EXPECT_EQ(check.corrupt, corrupt) << c.keys;
        EXPECT_EQ(check.corruptItem, c.corruptItem);
        EXPECT_EQ(check.inputs.empty(), corrupt);
        if (corrupt) {
            EXPECT_EQ(check.messageText, "Corruption of data found!\n\tFile: " + path + "\n\tItem: " + c.corruptItem +
                                             ".\n\nPlease reinstall the configuration files");
        }
        ASSERT_EQ(check.warnings.size(), c.warnings.size()) << c.keys << (check.warnings.empty() ? "" : check.warnings[0]);
        for (std::size_t i = 0; i < c.warnings.size(); ++i)
            EXPECT_NE(check.warnings[i].find(c.warnings[i]), std::string::npos) << check.warnings[i];
    }
}

}  // namespace
