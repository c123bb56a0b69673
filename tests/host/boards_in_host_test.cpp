// The shipped module with simulated boards: the stand-in host loads it beside the tests'
// stand-in hid.dll, setupapi.dll and cfgmgr32.dll, so the module's real Windows device path
// (enumeration, overlapped reads and writes, device changes) runs against the simulated chip.
#include "tests/host/host_run.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

const std::string kPanelA = "0000A1B2";
const std::string kPanelB = "0000C3D4";
const std::string kBoards = "1583:" + kPanelA + ",1583:" + kPanelB;

// The panel simulator's bundled flight panel on both boards: SW1 gear handle (event 0x10022),
// SW2 parking brake (0x100D8), SW5 the G key; altitude (PLANE_ALTITUDE, 73) on digits 1-4,
// heading (PLANE_HEADING_DEGREES_MAGNETIC, 81) 5-7, speed (AIRSPEED, 61) 9-11, gear LEDs 97 and
// 99 (GEAR_POS_NOSE, 332), the parking brake (PARKING_BRAKE_POS, 323) on port 0 line 0. Panel A
// names the variables, panel B gives their numbers: both must light the same. Panel A also has
// a variable FS2004 does not have first, which must darken only its own LED.
const char kInputs[] =
    "Inputs=10022,0,100D8,0,100D7,0,102BF,0,1000013,0,1000039,0,10019,0,10000,0,10000,0,10000,0,"
    "10000,0,10000,0,10000,0,10000,0,10000,0\r\n";
const char kOutputsByName[] =
    "outputs=2,200,NO_SUCH_VARIABLE,%g,0,1,0,"
    "4,1,PLANE_ALTITUDE,int(%g),0,4,0,4,5,plane_heading_degrees_magnetic,int(%g),0,3,0,4,9,AIRSPEED,"
    "int(%g),0,3,0,2,97,GEAR_POS_NOSE,%g,0,1,0,2,99,GEAR_POS_NOSE,%g,16383,0,0,9,0,PARKING_BRAKE_POS,%g,1,0,0\r\n";
const char kOutputsByNumber[] =
    "outputs=4,1,73,int(%g),0,4,0,4,5,81,int(%g),0,3,0,4,9,61,int(%g),0,3,0,2,97,332,%g,0,1,0,2,99,332,%g,16383,0,0,"
    "9,0,323,%g,1,0,0\r\n";

std::string Configuration() {
    return "[Misc]\r\nDebug=1\r\n[" + kPanelA + "]\r\n" + kInputs + kOutputsByName + "[" + kPanelB + "]\r\n" +
           kInputs + kOutputsByNumber;
}

// The values mfp demo starts its flight with: altitude, heading, speed, gear down, brake set.
const std::vector<std::string> kStartGauges = {"--gauge", "73=33:1200", "--gauge", "81=33:270", "--gauge", "61=33:0",
                                               "--gauge", "332=33:16383", "--gauge", "323=33:32768"};

HostRun RunWithBoards(const ModuleFolder& folder, const std::string& boards, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), kStartGauges.begin(), kStartGauges.end());
    return RunHostWithBoards(folder, boards, arguments);
}

// "counts ..." lines as numbers: the host prints them before module_init, at each "counts"
// step and after module_deinit. The stand-in hid.dll's threads never end and its pipe handles
// follow the module's opens: neither is the module's, so both are left out.
struct Counts {
    int threads = -1;
    int handles = -1;
};
std::vector<Counts> AllCounts(const std::vector<std::string>& output) {
    std::vector<Counts> all;
    for (const std::string& line : LinesStartingWith(output, "counts ")) {
        Counts counts;
        int standInThreads = 0, standInHandles = 0;
        std::sscanf(line.c_str(), "counts threads=%d handles=%d stand-in-threads=%d stand-in-handles=%d", &counts.threads,
                    &counts.handles, &standInThreads, &standInHandles);
        counts.threads -= standInThreads;
        counts.handles -= standInHandles;
        all.push_back(counts);
    }
    return all;
}

TEST(BoardsInHost, TwoPanelsAmongABoardOfAnotherModuleAndForeignDevicesAreLoaded) {
    ModuleFolder folder(Configuration().c_str());
    const HostRun run = RunWithBoards(folder, kBoards + ",1583:0000E5F6:03:01", {"wait:300"});
    EXPECT_EQ(run.exitCode, 0);
    const auto log = LogMessages(folder);
    EXPECT_EQ(Count(log, "Loaded 2 MFP's"), 1u) << "log:\n" << ::testing::PrintToString(log);
}

// One scenario in mfp demo's script language, played by mfp.exe's panel simulator and by the
// module in the stand-in host: events, keystrokes, LED rows and port lines agree line by line.
TEST(BoardsInHost, TheModuleAndThePanelSimulatorSeeTheSameScenario) {
    const std::vector<std::string> script = {
        "show",           "press SW1",        "release SW1",  "gauge 73 3500",
        "gauge 332 8192", "gauge 61 140",     "show",         "press SW5 2",
        "release SW5 2",  "press SW2",        "release SW2",  "gauge 323 0",
        "gauge 81 45",    "show"};
    const std::vector<std::string> serials = {kPanelA, kPanelB};
    std::vector<std::string> steps;
    for (const std::string& line : script) {
        std::istringstream words(line);
        std::string verb, first, second;
        words >> verb >> first >> second;
        if (verb == "show") {
            for (const std::string& serial : serials) steps.push_back("show:" + serial);
        } else if (verb == "gauge") {
            steps.push_back("gauge:" + first + "=33:" + second);
        } else {
            steps.push_back(verb + ":" + serials[second.empty() ? 0 : std::atoi(second.c_str()) - 1] + ":" + first);
        }
    }
    ModuleFolder folder(Configuration().c_str());
    const HostRun host = RunWithBoards(folder, kBoards, steps);
    ASSERT_EQ(host.exitCode, 0);

    const std::string scriptPath = BesideTestProgram("boards_in_host_scenario.txt");
    {
        std::ofstream file(scriptPath);
        for (const std::string& line : script) file << line << "\n";
    }
    const std::string iniPath = BesideTestProgram("boards_in_host_scenario.ini");
    { std::ofstream(iniPath) << Configuration(); }
    const HostRun demo = RunProgram(BesideTestProgram("mfp.exe"), {"demo", "--ini", iniPath, "--sim", kPanelA, "--sim",
                                                                   kPanelB, "--script", scriptPath});
    ASSERT_EQ(demo.exitCode, 0) << ::testing::PrintToString(demo.output);

    std::vector<std::string> seenByHost;
    for (const std::string& line : host.output) {
        unsigned id = 0, value = 0;
        if (std::sscanf(line.c_str(), "trigger_key_event id=0x%X value=%u", &id, &value) == 2) {
            char text[64];
            std::snprintf(text, sizeof text, "event 0x%X %d", id, static_cast<int>(value));
            seenByHost.push_back(text);
        } else if (line.rfind("hostproc key ", 0) == 0) {
            seenByHost.push_back(line.substr(9));
        } else if (line.rfind("panel ", 0) == 0) {
            seenByHost.push_back(line);
        }
    }
    // The simulator's "digits" lines read the matrix rows compared here; the host has none.
    std::vector<std::string> seenBySimulator;
    for (const std::string& line : demo.output)
        if (line.rfind("event ", 0) == 0 || line.rfind("key ", 0) == 0 ||
            (line.rfind("panel ", 0) == 0 && line.find(" digits ") == std::string::npos))
            seenBySimulator.push_back(line);
    EXPECT_EQ(seenByHost, seenBySimulator);
    // What the configuration binds: SW1 the gear event, SW2 the brake event, SW5 the G key.
    EXPECT_EQ(Count(seenByHost, "event 0x10022 0"), 1u);
    EXPECT_EQ(Count(seenByHost, "event 0x100D8 0"), 1u);
    EXPECT_EQ(Count(seenByHost, "key 0x47"), 1u);
    const std::vector<std::string> panelLines = LinesStartingWith(seenByHost, "panel ");
    ASSERT_EQ(panelLines.size(), 12u);
    // Each show gives panel A's matrix and ports, then panel B's: names and numbers light alike.
    for (std::size_t show = 0; show < 3; ++show) {
        for (std::size_t line = 0; line < 2; ++line) {
            std::string byName = panelLines[show * 4 + line], byNumber = panelLines[show * 4 + 2 + line];
            byName.replace(byName.find(kPanelA), kPanelA.size(), kPanelB);
            EXPECT_EQ(byName, byNumber);
        }
    }
}

TEST(BoardsInHost, OutputsGoDarkWithoutTheViewWindowAndComeBackWithIt) {
    ModuleFolder folder(Configuration().c_str());
    const HostRun run = RunWithBoards(folder, "1583:" + kPanelA,
                                      {"show:" + kPanelA, "view-close", "show:" + kPanelA, "view-open", "show:" + kPanelA});
    ASSERT_EQ(run.exitCode, 0);
    const auto matrices = LinesStartingWith(run.output, "panel " + kPanelA + " matrix");
    ASSERT_EQ(matrices.size(), 3u);
    EXPECT_NE(matrices[0], "panel " + kPanelA + " matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000");
    EXPECT_EQ(matrices[1], "panel " + kPanelA + " matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000");
    EXPECT_EQ(matrices[2], matrices[0]);
}

// Every reload after a pull and a plug brings the panel back (a press is dispatched), and
// nothing of the module piles up from one cycle to the next. MFP_DEVICE_CYCLES sets the number
// of cycles (20; the long run takes 50).
TEST(BoardsInHost, UnplugAndPlugCyclesLeaveNoThreadOrHandleBehind) {
    const char* cyclesWanted = std::getenv("MFP_DEVICE_CYCLES");
    constexpr int kWarmCycles = 10;
    const int cycles = cyclesWanted ? std::max(kWarmCycles + 2, std::atoi(cyclesWanted)) : 20;
    const int countedAt[] = {1, kWarmCycles, (kWarmCycles + cycles) / 2, cycles};
    std::vector<std::string> steps;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        steps.push_back("unplug:" + kPanelA);
        // Counted while the panel is out: no output pass or read is under way, whose handles
        // come and go.
        if (std::find(std::begin(countedAt), std::end(countedAt), cycle) != std::end(countedAt)) steps.push_back("counts");
        for (const std::string& step : {"plug:1583:" + kPanelA, "press:" + kPanelA + ":SW1", "release:" + kPanelA + ":SW1"})
            steps.push_back(step);
    }
    ModuleFolder folder(Configuration().c_str());
    const HostRun run = RunWithBoards(folder, "1583:" + kPanelA, steps);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(Count(run.output, "trigger_key_event id=0x10022 value=0"), static_cast<size_t>(cycles));
    const auto log = LogMessages(folder);
    EXPECT_EQ(Count(log, "Loaded 0 MFP's"), static_cast<size_t>(cycles));  // each unplug
    EXPECT_EQ(Count(log, "Loaded 1 MFP's"), static_cast<size_t>(cycles + 1));  // the start and each plug
    const auto counts = AllCounts(run.output);  // before init, at each counted cycle, after deinit
    ASSERT_EQ(counts.size(), 6u);
    for (size_t at = 0; at < std::size(countedAt); ++at)
        std::printf("after cycle %d: %d threads, %d handles\n", countedAt[at], counts[at + 1].threads, counts[at + 1].handles);
    const Counts& warm = counts[2];
    const Counts& middle = counts[3];
    const Counts& last = counts[4];
    EXPECT_EQ(last.threads, warm.threads);
    // Compared from the tenth cycle: the first ones make what is made once. Such an object can
    // still appear later, though: winpthreads makes a lock's event at the lock's first
    // contention, which under load came once in cycle 11 to 20 (+1). A leak keeps growing, so
    // the handles may not grow in both halves of the compared cycles, nor by more than 2.
    EXPECT_TRUE(middle.handles == warm.handles || last.handles == middle.handles)
        << "handles grew in both halves: " << warm.handles << ", " << middle.handles << ", " << last.handles;
    EXPECT_LE(last.handles - warm.handles, 2);
}

TEST(BoardsInHost, DeinitWithTwoPanelsEndsWithinASecondAndLeavesNoModuleThread) {
    ModuleFolder folder(Configuration().c_str());
    const HostRun run = RunWithBoards(folder, kBoards, {"wait:500", "counts", "show:" + kPanelA});
    ASSERT_EQ(run.exitCode, 0);
    const auto deinit = LinesStartingWith(run.output, "deinit-ms ");
    ASSERT_EQ(deinit.size(), 1u);
    EXPECT_LT(std::atoi(deinit[0].c_str() + 10), 1000);
    const auto counts = AllCounts(run.output);  // before init, with the panels running, after deinit
    ASSERT_EQ(counts.size(), 3u);
    // Each panel runs a worker, an update thread, a key-matrix thread and two readers.
    EXPECT_EQ(counts[1].threads - counts[0].threads, 2 * 5);
    EXPECT_EQ(counts[2].threads, counts[0].threads);
}

// An outputs line rewritten beside the running module shows within a pass or two: no device
// change, no reload of the panels, the board never closed.
TEST(BoardsInHost, ARewrittenOutputsLineShowsWithoutAReload) {
    ModuleFolder folder(Configuration().c_str());
    std::string rewritten = std::string(kOutputsByName).substr(std::string("outputs=").size());
    rewritten = rewritten.substr(0, rewritten.size() - 2);
    rewritten.replace(rewritten.find("PLANE_ALTITUDE,int(%g)"), 22, "PLANE_ALTITUDE,int(%g)+7000");
    const HostRun run = RunWithBoards(folder, "1583:" + kPanelA,
                                      {"show:" + kPanelA, "ini:" + kPanelA + ":outputs:" + rewritten, "wait:1000", "show:" + kPanelA});
    ASSERT_EQ(run.exitCode, 0);
    const auto matrices = LinesStartingWith(run.output, "panel " + kPanelA + " matrix");
    ASSERT_EQ(matrices.size(), 2u);
    EXPECT_NE(matrices[1], matrices[0]) << "1200 became 8200";
    const auto log = LogMessages(folder);
    EXPECT_EQ(Count(log, "[" + kPanelA + "] " + folder.Path("Tarnell_MFP.ini") + " changed: reloaded"), 1u)
        << ::testing::PrintToString(log);
    EXPECT_EQ(Count(log, "Reloading MFP's"), 0u);
    EXPECT_EQ(Count(log, "Loaded 1 MFP's"), 1u) << "loaded once, at module_init";
}

// A host that ends its process with the panels running, without module_deinit: the process
// ends as the host asked, with its own exit code, not in the module's threads or locks.
TEST(BoardsInHost, ExitWithoutDeinitEndsTheProcessWithItsOwnCode) {
    ModuleFolder folder(Configuration().c_str());
    const HostRun run = RunWithBoards(folder, kBoards, {"wait:500", "show:" + kPanelA, "exit:7"});
    EXPECT_EQ(run.exitCode, 7) << ::testing::PrintToString(run.output);
    EXPECT_TRUE(LinesStartingWith(run.output, "deinit-ms ").empty());
}

}  // namespace
