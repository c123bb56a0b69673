// The module loaded by the stand-in host under wine: log switch, menu, commands, device changes
// and the window-procedure hook, as the simulator would exercise them.
#include "tests/host/host_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>

namespace {

const std::string kOurPath =
    "\\\\?\\HID#VID_07C0&PID_1500&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::string kDebug = "[Misc]\r\nDebug=1\r\n";

// forwarded: the event as the host's own procedure gets it
const struct DeviceCase { const char* name; std::string step; const char* forwarded; bool reloads; } kDeviceCases[] = {
    {"arrival of our board", "device:0x8000:5:" + kOurPath, "0x8000", true},
    {"removal of our board", "device:0x8004:5:" + kOurPath, "0x8004", true},
    {"query-remove event", "device:0x8001:5:" + kOurPath, "0x8001", false},
    {"nodes-changed event", "device:0x0007:5:" + kOurPath, "0x7", false},
    {"volume device type", "device:0x8000:2:" + kOurPath, "0x8000", false},
    {"our board's other interface",
     "device:0x8000:5:\\\\?\\HID#VID_07C0&PID_1500&MI_00#7&1a2b3c4d&0&0000#{guid}", "0x8000", false},
    {"foreign device", "device:0x8004:5:\\\\?\\HID#VID_046D&PID_C52B&MI_01#7&2b3c4d5e&0&0000#{guid}", "0x8004", false},
    {"no record", "device-null:0x8000", "0x8000", false},
};

// The module's log as "level message" lines, after checking every line's form.
std::vector<std::string> LevelsAndMessages(const ModuleFolder& folder) {
    static const std::regex format(R"(^\d\d/\d\d/\d\d \d\d:\d\d:\d\d (\d) \[ {22}MFP\] (.*)$)");
    std::vector<std::string> lines;
    for (const std::string& line : ReadLines(folder.LogPath())) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, format)) << "log line: " << line;
        lines.push_back(match[1].str() + " " + match[2].str());
    }
    return lines;
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

// One run of the host with Debug=1, shared by the tests of a suite.
struct Played {
    explicit Played(const std::vector<std::string>& steps)
        : folder(kDebug.c_str()), run(RunHost(folder, steps)), log(LevelsAndMessages(folder)) {}
    ModuleFolder folder;
    HostRun run;
    std::vector<std::string> log;
};

// Menus and commands, then each device change followed by the configuration command, whose log
// line separates what the cases logged.
const Played& Scenario() {
    static const Played played([] {
        std::vector<std::string> steps = {"ncpaint", "ncpaint", "ncpaint", "menu", "rebuild-menu",
                                          "ncpaint", "menu",    "command:8520", "command:8521"};
        for (const DeviceCase& c : kDeviceCases) {
            steps.push_back(c.step);
            steps.push_back("wait:1300");  // a reload comes once the devices have settled for a second
            steps.push_back("command:8520");
        }
        return steps;
    }());
    return played;
}

TEST(ModuleInHost, HostLoadsTheModuleThroughItsLinkageAndDeinitPutsTheProcedureBack) {
    const HostRun& run = Scenario().run;
    ASSERT_EQ(run.exitCode, 0);
    for (const char* line : {"linkage module_id=0 init=set deinit=set flags=0 priority=0 version=0x900 reserved=0",
                             "import id=0xF", "module unloaded", "wndproc after-init replaced",
                             "wndproc after-deinit own"})
        EXPECT_EQ(Count(run.output, line), 1u) << line;
}

TEST(ModuleInHost, DebugOneWritesTheLifecycleToTheLogBesideTheModule) {
    const std::vector<std::string>& log = Scenario().log;
    ASSERT_GE(log.size(), 12u);
    std::vector<std::string> start(log.begin(), log.begin() + 7);
    EXPECT_TRUE(std::regex_match(start[2], std::regex(R"(0 FS9 windows found \(0x[0-9A-F]+\))"))) << start[2];
    start[2] = "0 FS9 windows found";
    EXPECT_EQ(start, (std::vector<std::string>{"0 module_init called", "0 Checking for FS9 main window",
                                               "0 FS9 windows found", "0 Inserted into the FS9 menu",
                                               "0 Registered for HID device notifications", "0 Loaded 0 MFP's",
                                               "0 module_init finished"}));
    EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
              (std::vector<std::string>{"0 module_deinit", "0 UnloadMFPs", "0 MFP's unloaded",
                                        "0 Unregistered from HID device notifications",
                                        "0 Removed ourselves from the FS9 menu"}));
}

TEST(ModuleInHost, MenuIsAddedOnceAndAgainAfterTheHostRebuildsItsMenuBar) {
    const std::string popup = "menu /&Tarnell/Multi Function Panel";
    int menuDumps = 0;
    for (const auto& [step, lines] : StepBlocks(Scenario().run.output)) {
        if (step != "menu") continue;
        ++menuDumps;
        EXPECT_EQ(Count(lines, "menu /&File popup"), 1u);  // the host's own menus stay
        EXPECT_EQ(Count(lines, "menu /&Tarnell popup"), 1u);
        const auto entries = std::find(lines.begin(), lines.end(), popup + " popup");
        ASSERT_NE(entries, lines.end());
        EXPECT_EQ(std::vector<std::string>(entries + 1, lines.end()),
                  (std::vector<std::string>{popup + "/&Configuration id=8520", popup + "/ separator",
                                            popup + "/&About Tarnell Multi Function Panel... id=8521"}));
    }
    EXPECT_EQ(menuDumps, 2);
}

TEST(ModuleInHost, ConfigurationWithoutPanelsShowsTheInformationBoxAndAboutTheVersion) {
    int about = 0;
    for (const auto& [step, lines] : StepBlocks(Scenario().run.output)) {
        if (step == "command:8520") {
            EXPECT_EQ(lines, (std::vector<std::string>{"dialog Tarnell Multi Function Panel",
                                                       "dialog-text There are now MFP's to configure.",
                                                       "dialog-closed Tarnell Multi Function Panel",
                                                       "hostproc command 8520"}));
        } else if (step == "command:8521") {
            ++about;
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), "dialog About Tarnell");
            for (const char* text : {"dialog-text Version 1.0.0.0", "dialog-text Made for the Halvard Multi Function Panels",
                                     "dialog-text http://www.tarnell-cockpit.example/halvard"})
                EXPECT_EQ(Count(lines, text), 1u) << text;
            EXPECT_EQ(lines.back(), "hostproc command 8521");
        }
    }
    EXPECT_EQ(about, 1);
    const std::vector<std::string>& log = Scenario().log;
    const auto configure = std::find(log.begin(), log.end(), "0 ConfigureMFP called");
    ASSERT_NE(configure, log.end());
    EXPECT_EQ(*(configure + 1), "0 There are now MFP's to configure.");
    EXPECT_EQ(Count(log, "0 ConfigureMFP finished"), 0u);
    EXPECT_EQ(Count(log, "0 About MFP called"), 1u);
}

// Only arrival and removal of our boards reload the panels; the host's own procedure gets every
// message all the same.
TEST(ModuleInHost, OnlyArrivalAndRemovalOfOurBoardsReloadThePanels) {
    const std::vector<std::string>& log = Scenario().log;
    auto message = std::find(log.begin(), log.end(), "0 About MFP called");
    ASSERT_NE(message, log.end());
    std::vector<std::vector<std::string>> logged(1);  // the messages between the separators
    for (++message; message != log.end() && *message != "0 module_deinit"; ++message) {
        if (*message == "0 ConfigureMFP called") logged.emplace_back();
        else if (*message != "0 There are now MFP's to configure.") logged.back().push_back(*message);
    }
    ASSERT_EQ(logged.size(), std::size(kDeviceCases) + 1);
    const std::vector<std::string> reload = {"0 One of our devices has been added/removed.", "0 Reloading MFP's",
                                             "0 UnloadMFPs", "0 Loaded 0 MFP's"};
    for (size_t i = 0; i < std::size(kDeviceCases); ++i)
        EXPECT_EQ(logged[i], kDeviceCases[i].reloads ? reload : std::vector<std::string>{}) << kDeviceCases[i].name;

    size_t device = 0, ncpaint = 0;
    for (const auto& [step, lines] : StepBlocks(Scenario().run.output)) {
        if (step == "ncpaint") {
            ++ncpaint;
            EXPECT_EQ(Count(lines, "hostproc ncpaint"), 1u);
        } else if (device < std::size(kDeviceCases) && step == kDeviceCases[device].step) {
            EXPECT_EQ(Count(lines, std::string("hostproc devicechange ") + kDeviceCases[device].forwarded), 1u)
                << kDeviceCases[device].name;
            ++device;
        }
    }
    EXPECT_EQ(ncpaint, 4u);
    EXPECT_EQ(device, std::size(kDeviceCases));
}

// The main window is registered for HID interface notifications from module_init to
// module_deinit, and a copy of one change (the host registered too) reloads only once.
TEST(DeviceNotifications, TheMainWindowIsRegisteredWhileTheModuleRunsAndACopyOfAChangeReloadsOnce) {
    std::string lowerCase = kOurPath;
    for (char& c : lowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Each burst of changes is one reload, a second after its last change.
    const Played played({"device:0x8000:5:" + kOurPath, "device:0x8000:5:" + kOurPath, "device:0x8000:5:" + lowerCase,
                         "wait:1300", "device:0x8004:5:" + kOurPath, "device:0x8004:5:" + kOurPath, "wait:1300"});
    const std::vector<std::string>& output = played.run.output;
    ASSERT_EQ(played.run.exitCode, 0);
    const auto at = [&](const std::string& wanted) { return std::find(output.begin(), output.end(), wanted); };
    const std::string registration =
        "devnotify register window=main type=5 class={4D1E55B2-F16F-11CF-88CB-001111000030} flags=0x0 result=handle";
    EXPECT_EQ(Count(output, registration), 1u);
    EXPECT_LT(at("module_init"), at(registration));
    EXPECT_LT(at(registration), at("step device:0x8000:5:" + kOurPath));
    EXPECT_EQ(Count(output, "devnotify unregister registered result=1"), 1u);
    EXPECT_LT(at("module_deinit"), at("devnotify unregister registered result=1"));
    EXPECT_EQ(Count(output, "devnotify open 0"), 1u);

    EXPECT_EQ(Count(played.log, "0 Reloading MFP's"), 2u) << "one arrival, one removal, a second apart";
    EXPECT_EQ(Count(played.log, "0 The same device change again: no second reload"), 3u);
    EXPECT_EQ(Count(output, "hostproc devicechange 0x8000"), 3u) << "the host still gets every copy";
    EXPECT_EQ(Count(output, "hostproc devicechange 0x8004"), 2u);
}

TEST(ModuleWithoutSimulatorWindow, StaysInertAndSaysSo) {
    const Played played({"--no-main-window"});
    EXPECT_EQ(played.run.exitCode, 0);
    // No panels are loaded and nothing is hooked, so nothing is put back either.
    EXPECT_EQ(played.log, (std::vector<std::string>{"0 module_init called", "0 Checking for FS9 main window",
                                                    "2 FS9 windows was not found", "0 module_init finished",
                                                    "0 module_deinit", "0 UnloadMFPs", "0 MFP's unloaded"}));
}

TEST(ModuleLogSwitch, OnlyDebugOneWritesTheLog) {
    const struct { const char* ini; bool logged; } cases[] = {
        {"[Misc]\r\nDebug=1\r\n", true},   {"[Misc]\r\nDebug=2\r\n", false}, {"[Misc]\r\nDebug=0\r\n", false},
        {"[Other]\r\nDebug=1\r\n", false}, {nullptr, false},
    };
    for (const auto& c : cases) {
        ModuleFolder folder(c.ini);
        EXPECT_EQ(RunHost(folder, {}).exitCode, 0);
        EXPECT_EQ(FileExists(folder.LogPath()), c.logged) << (c.ini ? c.ini : "no ini file");
    }
}

}  // namespace
