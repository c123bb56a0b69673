#include "config/check_section.h"

#include <gtest/gtest.h>

#include "config/build_mfp_data.h"
#include "tools/mfp/check_report.h"

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

// One mistake per row, each with the warnings it must raise, and valid sections that raise none.
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
         {"output 1 flags \"17\" are hexadecimal, not 1 + 16: for 1 + 16 write 11",
          "output 2 (led 1, in digit 1's column) and output 1 (digit 1) share the matrix"}},
        // A group without a kind bit darkens nothing after it.
        {"outputs=4,1,1,%g,0,4,0,10,97,4,%g*2,2,0,0,4,9,3,%g,0,3,0\r\n", "",
         {"output 2 flags \"10\" are hexadecimal", "output 2 has flags \"10\" without a kind bit"}},
        {"outputs=4,1,73,%g,0,4,0,4,3,73,%g,0,4,0\r\n", "",
         {"output 2 (digits 3 to 6) and output 1 (digits 1 to 4) share the matrix: each garbles the other"}},
        // Results that never light a display.
        {"outputs=4,1,73,%a,0,4,0,4,5,73,%x,0,4,0\r\n", "",
         {"output 1: \"%a\" gives What ??? '",
          "output 2: \"%x\" gives What ??? 'd' for 1234.5; the display stays dark"}},
        // Results longer than the width, at the ends of the variable's stated range.
        {"outputs=4,1,CLOCK_HOUR,%g,0,1,0\r\n", "",
         {"output 1 (digit 1): \"%g\" gives \"23\" for 23, 2 digits on a width of 1: it spills onto digit 2, which keeps "
          "its digit after a shorter result"}},
        {"outputs=4,3,CLOCK_HOUR,%g,0,0,0\r\n", "",
         {"output 1 (width 0, from digit 3): \"%g\" gives \"23\" for 23 and 1 digit at other values: after it, a shorter "
          "result leaves digit 4 as it was"}},
        {"outputs=4,7,TRANSPONDER_CODE,%x*10,0,4,0,4,1,73,%5.2f,0,4,0\r\n", "",
         {"output 1 (digits 7 to 10): \"%x*10\" gives \"77770\" for 0x7777, 5 digits on a width of 4: it spills onto "
          "digit 11"}},
        // The example configuration's panels.
        {"outputs=4,1,PLANE_ALTITUDE,int(%g),0,4,0,4,5,PLANE_HEADING_DEGREES_MAGNETIC,int(%g),0,3,0,4,9,AIRSPEED,int(%g),"
         "0,3,0,2,97,GEAR_POS_NOSE,%g,0,1,0,2,99,GEAR_POS_NOSE,%g,16383,0,0,9,0,PARKING_BRAKE_POS,%g,1,0,0\r\n", "", {}},
        {"outputs=4,1,COM_FREQUENCY,1%x/100,1,5,0,4,7,TRANSPONDER_CODE,%x,0,4,0\r\n", "", {}},
        // What lies off the board's 32 digits, 256 LEDs, 4 ports and 8 lines.
        {"outputs=4,0,73,%g,0,4,0,4,33,73,%g,0,4,0,4,30,73,%g,0,4,0,4,29,73,%g,0,4,0\r\n", "",
         {"output 1 digit 0 is not on the panel", "output 2 digit 33 is not on the panel",
          "output 3 width 4 from digit 30 runs past digit 32", "output 4 (digits 29 to 32) and output 3 (digits 30 to 32) share"}},
        {"outputs=4,1,73,%g,0,-2,0,4,40,73,%g,0,100,0\r\n", "",
         {"output 1 width -2 is below 0: it works as width 0", "output 2 digit 40 is not on the panel"}},
        {"outputs=2,0,73,%g,1,0,0,2,257,73,%g,1,0,0,2,256,73,%g,1,0,0,1,4,73,%g,1,0,8,1,3,73,%g,1,0,7\r\n", "",
         {"output 1 led 0 is not on the panel", "output 2 led 257 is not on the panel",
          "output 4 port 4 is not on the panel", "output 4 bit 8 is no line of a port"}},
        {"", "", {"[Caf\xE9] is no board serial"}, "Caf\xE9"},
        {"", "", {"[0000AIB2] is no board serial"}, "0000AIB2"},
        {"", "", {}, "0000a1b2"},
        {"outputs=4,1,1,%g %g,1,0,0,2,x,1,ab,1,0,0\r\n", "",
         {"output 2 led \"x\" reads as 0", "output 2 led 0 is not on the panel",
          "output 1: unusable format \"%g %g\": it holds more than one conversion", "output 2: \"ab\" gives Syntax Error"}},
        {"outputs=G,0,10,%g,1,0,1\r\n", "", {"flags \"G\" reads as 0", "without a kind bit"}},
        {"outputs=4,1,Plane_Altitude,%g,0,4,0,2,97,PLANE_ALTITUD,%g,1,0,0,2,98,0,%g,1,0,0,2,99,909,%g,1,0,0\r\n", "",
         {"output 2 gauge \"PLANE_ALTITUD\" is no FS2004 gauge variable; it reads as 0, no variable",
          "output 3 gauge \"0\" is 0, no variable", "output 4 gauge \"909\" is no FS2004 gauge variable (those are 1 to 908)"}},
        {"outputs=" + std::string(40000, '7') + "\r\n", "outputs",
         {"outputs: the value has 40000 characters; only the first 32767 are read, and the cut falls in field 1 (output 1)"}},
        // 2047 groups of 16 characters, then the cut inside the 2048th's closing comma.
        {"outputs=" + Repeated("2,9,73,%g,1,0,0,", 3000) + "\r\n", "outputs",
         {"outputs: the value has 48000 characters; only the first 32767 are read, and the cut falls in field 14336 (output 2048)"}},
    };
    const std::string path = "t.ini";
    for (const Case& c : cases) {
        const ProfileText profile("[" + c.section + "]\r\n" + c.keys);
        const std::vector<SectionCheck> checks = CheckConfiguration(profile, path, &c.section);
        ASSERT_EQ(checks.size(), 1u);
        const SectionCheck& check = checks[0];
        const bool corrupt = *c.corruptItem != '\0';
        EXPECT_EQ(check.corrupt, corrupt) << c.keys;
        EXPECT_EQ(check.corruptItem, c.corruptItem);
        EXPECT_EQ(check.inputs.empty(), corrupt);
        if (corrupt) {
            EXPECT_EQ(check.messageText, "Corruption of data found!\n\tFile: " + path + "\n\tItem: " + c.corruptItem +
                                             ".\n\nPlease reinstall the configuration files");
        }
        std::string all;
        for (const std::string& warning : check.warnings) all += warning + "\n";
        ASSERT_EQ(check.warnings.size(), c.warnings.size()) << c.keys << all;
        for (std::size_t i = 0; i < c.warnings.size(); ++i)
            EXPECT_NE(check.warnings[i].find(c.warnings[i]), std::string::npos) << check.warnings[i];
    }
}

}  // namespace
