#include "tools/mfp/commands.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandRun { int status; std::string out; };

CommandRun RunPanels(const Arguments& args) {
    testing::internal::CaptureStdout();
    const int status = RunPanelsCommand(args);
    return {status, testing::internal::GetCapturedStdout()};
}

const char kHeader[] = "device key       serial    product    module 1  panel\n";

TEST(PanelsCommand, ListsEveryBoard) {
    const CommandRun run = RunPanels({"--sim", "1583:0000000A", "--sim", "03e8:0000000B:02:02",
                                      "--sim", "03EA:0000000C:FF:01"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(kHeader) +
                           "1583-0000000A    0000000A  0x1583     02 01     yes\n"
                           "3e8-0000000B     0000000B  0x03E8     02 02     no\n"
                           "3ea-0000000C     0000000C  0x03EA     no answer no\n");
}

TEST(PanelsCommand, TestLightsAndChecksEveryOutputOfEachPanel) {
    const CommandRun run = RunPanels({"--sim", "1583:0000000A", "--sim", "1583:0000000B:03:01",
                                      "--test"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("0000000A: 256 matrix LEDs, 32 digits and 32 port lines lit and "
                           "cleared, each checked on the simulated panel\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("0000000B: matrix"), std::string::npos) << "not a panel";
}

TEST(PanelsCommand, WatchPrintsSwitchesGoingOnAndOff) {
    const CommandRun run = RunPanels(
        {"--sim", "1583:0000000A", "--watch", "--watch-ms", "1000", "--sim-keys",
         "press 0000000A 0 3; wait 150; press 0000000A 1 6; wait 150; release 0000000A 0 3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(kHeader) + "1583-0000000A    0000000A  0x1583     02 01     yes\n"
                                              "0000000A 0003 SW4  on\n"
                                              "0000000A 0106 SW15 on\n"
                                              "0000000A 0003 SW4  off\n");
}

}  // namespace
