// The stand-in host's own contract, through a probe module: both PANELS slots reach it, and
// gauge values given on the command line answer the lookups.
#include "tests/host/host_run.h"

#include <gtest/gtest.h>

namespace {

TEST(StandInHost, PanelsSlotsRecordEventsAndAnswerLookups) {
    const HostRun run = RunHostProgram({"--module", BesideTestProgram("probe_module.dll"), "--gauge",
                                        "0x30=2:118.25", "--gauge", "49=14:-5"});
    ASSERT_EQ(run.exitCode, 0);
    for (const char* line : {"trigger_key_event id=0x10001 value=7", "trigger_key_event id=0x1000005 value=0",
                             "probe token=0x30 data=set type=2 double=118.25 int16=0",
                             "probe token=0x31 data=set type=14 double=0 int16=-5",
                             "probe token=0x32 data=null type=0 double=0 int16=0", "gauge-lookups 3"})
        EXPECT_EQ(Count(run.output, line), 1u) << line;
}

TEST(StandInHost, RefusesBadArgumentsAndMissingModules) {
    EXPECT_EQ(RunHostProgram({"--gauge", "0x30=2"}).exitCode, 2);
    EXPECT_EQ(RunHostProgram({"no-such-step"}).exitCode, 2);
    EXPECT_EQ(RunHostProgram({"command"}).exitCode, 2);  // the id is missing
    EXPECT_EQ(RunHostProgram({"--module", BesideTestProgram("no_such_module.dll")}).exitCode, 1);
    EXPECT_EQ(RunHostProgram({"--help"}).exitCode, 0);
}

}  // namespace
