// The module loaded by the stand-in host under wine: log switch, menu, commands, device changes
// and the window-procedure hook, as the simulator would exercise them.
#include "tests/host/host_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <regex>

namespace {

const std::string kOurPath =
    "\\\\?\\HID#VID_07C0&PID_1500&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kOurOtherInterface = "\\\\?\\HID#VID_07C0&PID_1500&MI_00#7&1a2b3c4d&0&0000#{guid}";
const std::string kForeignPath = "\\\\?\\HID#VID_046D&PID_C52B&MI_01#7&2b3c4d5e&0&0000#{guid}";

struct DeviceCase {
    const char* name;
    std::string step;
    bool reloads;
};

const DeviceCase kDeviceCases[] = {
    {"arrival of our board", "device:0x8000:5:" + kOurPath, true},
    {"removal of our board", "device:0x8004:5:" + kOurPath, true},
    {"query-remove event", "device:0x8001:5:" + kOurPath, false},
    {"nodes-changed event", "device:0x0007:5:" + kOurPath, false},
    {"volume device type", "device:0x8000:2:" + kOurPath, false},
    {"our board's other interface", "device:0x8000:5:" + kOurOtherInterface, false},
    {"foreign device", "device:0x8004:5:" + kForeignPath, false},
    {"no record", "device-null:0x8000", false},
};

// Level and message of one log line of module "MFP"; false when the line's format is wrong.
bool ParseLogLine(const std::string& line, std::string& level, std::string& message) {
    static const std::regex format(R"(^\d\d/\d\d/\d\d \d\d:\d\d:\d\d (\d) \[ {22}MFP\] (.*)$)");
    std::smatch match;
    if (!std::regex_match(line, match, format)) return false;
    level = match[1].str();
    message = match[2].str();
    return true;
}

// The messages of a log all written at level 0, after checking every line's format.
std::vector<std::string> LogMessages(const std::vector<std::string>& lines) {
    std::vector<std::string> messages;
    for (const std::string& line : lines) {
        std::string level, message;
        EXPECT_TRUE(ParseLogLine(line, level, message) && level == "0") << "log line: " << line;
        messages.push_back(message);
    }
    return messages;
}

// The output lines printed while one step ran, keyed by position of the step. A repaint of the
// host's frame that the window manager sends on its own (Wine 10 does after a dialog closes)
// belongs to no step but "ncpaint".
std::vector<std::pair<std::string, std::vector<std::string>>> StepBlocks(const std::vector<std::string>& output) {
    std::vector<std::pair<std::string, std::vector<std::string>>> blocks;
    bool inSteps = false;
    for (const std::string& line : output) {
        if (line.rfind("step ", 0) == 0) {
            blocks.push_back({line.substr(5), {}});
            inSteps = true;
        } else if (line == "module_deinit") {
            inSteps = false;
        } else if (inSteps && (line != "hostproc ncpaint" || blocks.back().first == "ncpaint")) {
            blocks.back().second.push_back(line);
        }
    }
    return blocks;
}

size_t Count(const std::vector<std::string>& lines, const std::string& wanted) {
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), wanted));
}

class ModuleInHost : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new ModuleFolder("[Misc]\r\nDebug=1\r\n");
        std::vector<std::string> steps = {"ncpaint", "ncpaint", "ncpaint", "menu",        "rebuild-menu",
                                          "ncpaint", "menu",    "command:8520", "command:8521"};
        // Each device change is followed by the configuration command, whose log line separates
        // what the cases logged.
        for (const DeviceCase& c : kDeviceCases) {
            steps.push_back(c.step);
            steps.push_back("command:8520");
        }
        run = RunHost(*folder, steps);
        log = LogMessages(ReadLines(folder->LogPath()));
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    static ModuleFolder* folder;
    static HostRun run;
    static std::vector<std::string> log;
};
ModuleFolder* ModuleInHost::folder = nullptr;
HostRun ModuleInHost::run;
std::vector<std::string> ModuleInHost::log;

TEST_F(ModuleInHost, HostLoadsTheModuleThroughItsLinkage) {
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(Count(run.output, "linkage module_id=0 init=set deinit=set flags=0 priority=0 version=0x900 reserved=0"), 1u);
    EXPECT_EQ(Count(run.output, "import id=0xF"), 1u);
    EXPECT_EQ(Count(run.output, "module unloaded"), 1u);
}

TEST_F(ModuleInHost, DebugOneWritesTheLifecycleToTheLogBesideTheModule) {
    ASSERT_GE(log.size(), 12u);
    const std::vector<std::string> start(log.begin(), log.begin() + 7);
    ASSERT_TRUE(std::regex_match(start[2], std::regex(R"(FS9 windows found \(0x[0-9A-F]+\))"))) << start[2];
    EXPECT_EQ(start, (std::vector<std::string>{"module_init called", "Checking for FS9 main window", start[2],
                                               "Inserted into the FS9 menu",
                                               "Registered for HID device notifications", "Loaded 0 MFP's",
                                               "module_init finished"}));
    const std::vector<std::string> end(log.end() - 5, log.end());
    EXPECT_EQ(end, (std::vector<std::string>{"module_deinit", "UnloadMFPs", "MFP's unloaded",
                                             "Unregistered from HID device notifications",
                                             "Removed ourselves from the FS9 menu"}));
}

TEST_F(ModuleInHost, MenuIsAddedOnceAndAgainAfterTheHostRebuildsItsMenuBar) {
    int menuDumps = 0;
    for (const auto& [step, lines] : StepBlocks(run.output)) {
        if (step != "menu") continue;
        ++menuDumps;
        EXPECT_EQ(Count(lines, "menu /&Tarnell popup"), 1u);
        EXPECT_EQ(Count(lines, "menu /&Tarnell/Multi Function Panel popup"), 1u);
        const std::vector<std::string> entries(
            std::find(lines.begin(), lines.end(), "menu /&Tarnell/Multi Function Panel popup") + 1, lines.end());
        EXPECT_EQ(entries, (std::vector<std::string>{
                               "menu /&Tarnell/Multi Function Panel/&Configuration id=8520",
                               "menu /&Tarnell/Multi Function Panel/ separator",
                               "menu /&Tarnell/Multi Function Panel/&About Tarnell Multi Function Panel... id=8521"}));
        EXPECT_EQ(Count(lines, "menu /&File popup"), 1u);  // the host's own menus stay
    }
    EXPECT_EQ(menuDumps, 2);
}

TEST_F(ModuleInHost, ConfigurationWithoutPanelsShowsTheInformationBox) {
    for (const auto& [step, lines] : StepBlocks(run.output)) {
        if (step != "command:8520") continue;
        EXPECT_EQ(lines, (std::vector<std::string>{"dialog Tarnell Multi Function Panel",
                                                   "dialog-text There are now MFP's to configure.",
                                                   "dialog-closed Tarnell Multi Function Panel",
                                                   "hostproc command 8520"}));
    }
    const auto configure = std::find(log.begin(), log.end(), "ConfigureMFP called");
    ASSERT_NE(configure, log.end());
    EXPECT_EQ(*(configure + 1), "There are now MFP's to configure.");
    EXPECT_EQ(Count(log, "ConfigureMFP finished"), 0u);
}

TEST_F(ModuleInHost, AboutBoxShowsTheModuleVersion) {
    bool seen = false;
    for (const auto& [step, lines] : StepBlocks(run.output)) {
        if (step != "command:8521") continue;
        seen = true;
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "dialog About Tarnell");
        EXPECT_EQ(Count(lines, "dialog-text Version 1.0.0.0"), 1u);
        EXPECT_EQ(Count(lines, "dialog-text Made for the Halvard Multi Function Panels"), 1u);
        EXPECT_EQ(Count(lines, "dialog-text http://www.tarnell-cockpit.example/halvard"), 1u);
        EXPECT_EQ(lines.back(), "hostproc command 8521");
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(Count(log, "About MFP called"), 1u);
}

TEST_F(ModuleInHost, OnlyArrivalAndRemovalOfOurBoardsReloadThePanels) {
    // What each device change logged: the messages between the separators.
    auto message = std::find(log.begin(), log.end(), "About MFP called");
    ASSERT_NE(message, log.end());
    std::vector<std::vector<std::string>> logged(1);
    for (++message; message != log.end() && *message != "module_deinit"; ++message) {
        if (*message == "ConfigureMFP called") logged.emplace_back();
        else if (*message != "There are now MFP's to configure.") logged.back().push_back(*message);
    }
    ASSERT_EQ(logged.size(), std::size(kDeviceCases) + 1);
    const std::vector<std::string> reload = {"One of our devices has been added/removed.", "Reloading MFP's",
                                             "UnloadMFPs", "Loaded 0 MFP's"};
    for (size_t i = 0; i < std::size(kDeviceCases); ++i)
        EXPECT_EQ(logged[i], kDeviceCases[i].reloads ? reload : std::vector<std::string>{}) << kDeviceCases[i].name;
}

TEST_F(ModuleInHost, EveryMessageStillReachesTheHostsOwnProcedure) {
    for (const auto& [step, lines] : StepBlocks(run.output)) {
        std::string expected;
        const size_t colon = step.find(':');
        const std::string kind = step.substr(0, colon);
        if (kind == "ncpaint") expected = "hostproc ncpaint";
        else if (kind == "command") expected = "hostproc command " + step.substr(colon + 1);
        else if (kind == "device" || kind == "device-null") {
            char event[16];
            std::snprintf(event, sizeof event, "0x%lX", std::strtoul(step.c_str() + colon + 1, nullptr, 0));
            expected = std::string("hostproc devicechange ") + event;
        } else {
            continue;
        }
        EXPECT_EQ(Count(lines, expected), 1u) << step;
    }
}

TEST_F(ModuleInHost, DeinitPutsTheHostsProcedureBack) {
    EXPECT_EQ(Count(run.output, "wndproc after-init replaced"), 1u);
    EXPECT_EQ(Count(run.output, "wndproc after-deinit own"), 1u);
}

// The main window is registered for HID interface notifications from module_init to
// module_deinit, and a copy of one change (the host registered too) reloads only once.
class DeviceNotifications : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new ModuleFolder("[Misc]\r\nDebug=1\r\n");
        std::string lowerCase = kOurPath;
        for (char& c : lowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        run = RunHost(*folder, {"device:0x8000:5:" + kOurPath, "device:0x8000:5:" + kOurPath,
                                "device:0x8000:5:" + lowerCase, "device:0x8004:5:" + kOurPath,
                                "device:0x8004:5:" + kOurPath});
        log = LogMessages(ReadLines(folder->LogPath()));
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    // Position of the first line equal to wanted; the end when there is none.
    static size_t Find(const std::string& wanted) {
        return static_cast<size_t>(std::find(run.output.begin(), run.output.end(), wanted) - run.output.begin());
    }

    static ModuleFolder* folder;
    static HostRun run;
    static std::vector<std::string> log;
};
ModuleFolder* DeviceNotifications::folder = nullptr;
HostRun DeviceNotifications::run;
std::vector<std::string> DeviceNotifications::log;

TEST_F(DeviceNotifications, TheMainWindowIsRegisteredWhileTheModuleRuns) {
    ASSERT_EQ(run.exitCode, 0);
    const std::string registration =
        "devnotify register window=main type=5 class={4D1E55B2-F16F-11CF-88CB-001111000030} flags=0x0 result=handle";
    EXPECT_EQ(Count(run.output, registration), 1u);
    EXPECT_LT(Find("module_init"), Find(registration));
    EXPECT_LT(Find(registration), Find("step device:0x8000:5:" + kOurPath));
    EXPECT_EQ(Count(run.output, "devnotify unregister registered result=1"), 1u);
    EXPECT_LT(Find("module_deinit"), Find("devnotify unregister registered result=1"));
    EXPECT_EQ(Count(run.output, "devnotify open 0"), 1u);
}

TEST_F(DeviceNotifications, ACopyOfTheSameChangeReloadsOnce) {
    EXPECT_EQ(Count(log, "Reloading MFP's"), 2u) << "one arrival, one removal";
    EXPECT_EQ(Count(log, "The same device change again: no second reload"), 3u);
    EXPECT_EQ(Count(run.output, "hostproc devicechange 0x8000"), 3u) << "the host still gets every copy";
    EXPECT_EQ(Count(run.output, "hostproc devicechange 0x8004"), 2u);
}

// A user thread answers the about box while the host thread sits in its modal loop; a user
// script that fails leaves the box to the closer, and its remaining steps are not played.
TEST(UserSteps, TheUserClosesTheDialogOrLeavesItToTheCloser) {
    ModuleFolder folder(nullptr);
    const HostRun run = RunHost(folder, {"command:8521", "user:wait:About Tarnell", "user:hold:200", "user:click:About Tarnell:1",
                                         "user:gone:About Tarnell", "command:8521", "user:click:No Such Caption:1",
                                         "user:click:About Tarnell:1"});
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> seen;
    for (const std::string& line : run.output)
        if (line.rfind("step user:", 0) == 0 || line.rfind("user", 0) == 0 || line.rfind("dialog ", 0) == 0)
            seen.push_back(line);
    EXPECT_EQ(seen, (std::vector<std::string>{"step user:wait:About Tarnell", "step user:hold:200", "user-held",
                                              "step user:click:About Tarnell:1",
                                              "step user:gone:About Tarnell", "user gone About Tarnell",
                                              "step user:click:No Such Caption:1",
                                              "user-error no dialog No Such Caption", "dialog About Tarnell"}));
}

TEST(ModuleWithoutSimulatorWindow, StaysInertAndSaysSo) {
    ModuleFolder folder("[Misc]\r\nDebug=1\r\n");
    const HostRun run = RunHost(folder, {"--no-main-window"});
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> messages;
    for (const std::string& line : ReadLines(folder.LogPath())) {
        std::string level, message;
        ASSERT_TRUE(ParseLogLine(line, level, message)) << line;
        messages.push_back(level + " " + message);
    }
    // No panels are loaded and nothing is hooked, so nothing is put back either.
    EXPECT_EQ(messages, (std::vector<std::string>{"0 module_init called", "0 Checking for FS9 main window",
                                                  "2 FS9 windows was not found", "0 module_init finished",
                                                  "0 module_deinit", "0 UnloadMFPs", "0 MFP's unloaded"}));
}

TEST(ModuleLogSwitch, OnlyDebugOneWritesTheLog) {
    const struct {
        const char* ini;
        bool logged;
    } cases[] = {
        {"[Misc]\r\nDebug=1\r\n", true},
        {"[Misc]\r\nDebug=2\r\n", false},
        {"[Misc]\r\nDebug=0\r\n", false},
        {"[Other]\r\nDebug=1\r\n", false},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        ModuleFolder folder(c.ini);
        const HostRun run = RunHost(folder, {});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(FileExists(folder.LogPath()), c.logged) << (c.ini ? c.ini : "no ini file");
    }
}

}  // namespace
