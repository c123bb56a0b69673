#include "tools/mfp/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct CommandRun { int status; std::string out; };

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

CommandRun RunEvents(const Arguments& args) {
    testing::internal::CaptureStdout();
    const int status = RunEventsCommand(args);
    std::fflush(stdout);
    return {status, testing::internal::GetCapturedStdout()};
}

TEST(EventsCommand, PrintsTheChosenEntries) {
    struct Case { Arguments args; std::string out; };
    const Case cases[] = {
        // category 1 holds "engine 4" too
        {{"--category", "8", "--search", "ENGINE 4"}, "0x1030C\tToggle engine 4 failure\n"},
        {{"--search", "toggle STROBE"}, "0x10018\tToggle strobe lights\xC2\xA0\n"},
        {{"--search", "1\x92s OBS"},
         "0x1007E\tDecrements VOR 1\xE2\x80\x99s OBS setting\n0x1007F\tIncrements VOR 1\xE2\x80\x99s OBS setting\n"},
        {{"--search", "1\xE2\x80\x99s OBS"},  // the same search typed in a UTF-8 terminal
         "0x1007E\tDecrements VOR 1\xE2\x80\x99s OBS setting\n0x1007F\tIncrements VOR 1\xE2\x80\x99s OBS setting\n"},
        {{"--search", "no such event"}, ""},
        {{"--json", "--search", "VOR 1\xE2\x80\x99s"},
         "[\n{\"id\":65662,\"category\":5,\"text\":\"Decrements VOR 1\xE2\x80\x99s OBS setting\"},\n"
         "{\"id\":65663,\"category\":5,\"text\":\"Increments VOR 1\xE2\x80\x99s OBS setting\"}\n]\n"},
        {{"--search", "index (for other events) to 4", "--json"},
         "[\n{\"id\":65541,\"category\":12,"
         "\"text\":\"Sets \\\"selected\\\" index (for other events) to 4\"}\n]\n"},
        {{"--json", "--search", "no such event"}, "[\n]\n"},
    };
    for (const Case& c : cases) {
        const CommandRun run = RunEvents(c.args);
        EXPECT_EQ(run.status, 0) << c.args[0];
        EXPECT_EQ(run.out, c.out) << c.args[0];
    }
}

TEST(EventsCommand, ListsTheFullCatalogueInAscendingIdOrder) {
    for (const Arguments& args : {Arguments{}, Arguments{"--category", "0"}}) {
        const CommandRun run = RunEvents(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 902);
        EXPECT_EQ(run.out.rfind("0x10000\tDo nothing\n0x10001\tStops demo system playback\n", 0), 0u);
        EXPECT_NE(run.out.find("\n0x10458\tDecrement mixture lever 4 small\n0x1000001\tF1 Key\n"),
                  std::string::npos);
        EXPECT_TRUE(EndsWith(run.out, "\n0x1000038\tPause Key\n0x1000039\tTab Key\n"));
    }
    const CommandRun json = RunEvents({"--json"});
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 902 + 2);
    EXPECT_EQ(json.out.rfind("[\n{\"id\":65536,\"category\":12,\"text\":\"Do nothing\"},\n", 0), 0u);
    EXPECT_TRUE(EndsWith(json.out, "},\n{\"id\":16777273,\"category\":15,\"text\":\"Tab Key\"}\n]\n"));
}

}  // namespace
