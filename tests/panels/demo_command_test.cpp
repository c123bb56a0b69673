// mfp demo --script end to end: the real mfp program, a small script, the exact output.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct DemoRun {
    std::string output;
    int status;
};

DemoRun RunDemo(const std::string& script, const std::string& extraArguments = "") {
    const std::string scriptPath = ::testing::TempDir() + "demo_command_test.txt";
    std::ofstream(scriptPath) << script;
    const std::string command =
        std::string("\"") + MFP_PROGRAM + "\" demo " + extraArguments + " --script \"" +
        scriptPath + "\" 2>" + ::testing::TempDir() + "demo_command_test.err";
    DemoRun run{"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    run.status = pclose(pipe);
    std::remove(scriptPath.c_str());
    return run;
}

TEST(DemoCommandTest, ScriptPrintsEventsKeysAndPanels) {
    const std::string script =
        "# gear up, a keystroke, a port LED, two panels\n"
        "\n"
        "gauge 1 1234\n"
        "gauge 2 567 14\n"
        "gauge 3 890\n"
        "gauge 4 0\n"
        "gauge 5 1 2\n"
        "press SW1\n"
        "release SW1\n"
        "press SW5 2\n"
        "release SW5 2\n"
        "show\n"
        "view off\n"
        "show\n"
        "unplug 2\n"
        "press SW2\n"
        "release SW2\n"
        "plug 2\n"
        "press SW3 2\n";
    const DemoRun run = RunDemo(script, "--sim 0000A1B2 --sim 0000C3D4");
    // Digits "1234", "567" and "890" from columns 0, 4 and 8 (segment r in row r); LED 97
    // (row 0, column 12) for gear up; port 0 line 0 low for the parking brake. Both panels
    // read the same gauges.
    const std::string shown =
        "panel 0000A1B2 matrix 00001776 0000074F 0000077D 00000536 00000522 00000738 0000033E 00000000\n"
        "panel 0000A1B2 ports FE FF FF FF\n"
        "panel 0000C3D4 matrix 00001776 0000074F 0000077D 00000536 00000522 00000738 0000033E 00000000\n"
        "panel 0000C3D4 ports FE FF FF FF\n";
    const std::string dark =
        "panel 0000A1B2 matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000\n"
        "panel 0000A1B2 ports FF FF FF FF\n"
        "panel 0000C3D4 matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000\n"
        "panel 0000C3D4 ports FF FF FF FF\n";
    EXPECT_EQ(run.output, "event 0x10022 0\n"
                          "key 0x47\n" +
                              shown + dark +
                              "event 0x100D8 0\n"
                              "event 0x100D7 0\n");
    EXPECT_EQ(run.status, 0);
}

TEST(DemoCommandTest, InvalidScripts) {
    const char* const scripts[] = {"press SW16\n", "press SW1 3\n", "gauge 1\n",
                                   "gauge 1 2 7\n", "wait soon\n",  "view sideways\n",
                                   "fly\n",         "show all\n"};
    for (const char* script : scripts) {
        const DemoRun run = RunDemo(std::string("show\n") + script);
        EXPECT_EQ(run.output, "") << script << "nothing runs";
        EXPECT_NE(run.status, 0) << script;
    }
}

}  // namespace
