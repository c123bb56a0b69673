// The configuration dialog of the shipped module in the stand-in host, with two simulated
// panels, driven by fs9host's "user" steps from another thread as a person would: a switch
// pressed on a panel, the event picked, Save; Cancel after an import; closing with a picker open.
#include "tests/host/host_run.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const std::string kPanelA = "0000A1B2";
const std::string kPanelB = "0000C3D4";
const std::string kBoards = "1583:" + kPanelA + ",1583:" + kPanelB;
const std::string kDialog = "Tarnell MFP Configuration";
const std::string kPicker = "Flight Simulator Command Selection";

// As a user's editor leaves it: a comment, line feeds only, a section of another program.
const char kConfiguration[] =
    "; my cockpit\n[Misc]\nDebug=1\n[0000A1B2]\n"
    "Inputs=10022,0,100D8,0,100D7,0,102BF,0,1000013,0,1000039,0,10019,0,10000,0,10000,0,10000,0,10000,0,10000,0,"
    "10000,0,10000,0,10000,0\n"
    "[0000C3D4]\nInputs=100DE,0,100DF,0,10047,0,1004F,0,10000,0,10000,0,10000,0,10000,0,10000,0,10000,0,10000,0,"
    "10000,0,10000,0,10000,0,10000,0\n[Other program]\nkey = value\n";

// A folder with the module and kConfiguration byte for byte.
struct ConfiguredFolder : ModuleFolder {
    ConfiguredFolder() : ModuleFolder(nullptr) {
        std::ofstream(Path("Tarnell_MFP.ini"), std::ios::binary) << kConfiguration;
    }
};

std::string Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string StoredInputs(const ModuleFolder& folder, const std::string& section) {
    char value[600] = {};
    GetPrivateProfileStringA(section.c_str(), "Inputs", "", value, sizeof value, folder.Path("Tarnell_MFP.ini").c_str());
    return value;
}

// The steps of the user who opens the configuration and waits for it.
std::vector<std::string> OpenConfiguration(std::vector<std::string> userSteps) {
    std::vector<std::string> steps = {"wait:300", "command:8520", "user:wait:" + kDialog};
    steps.insert(steps.end(), userSteps.begin(), userSteps.end());
    return steps;
}

TEST(ConfigDialog, PressingASwitchBindsItAndAfterSaveTheSwitchWorks) {
    ConfiguredFolder folder;
    auto steps = OpenConfiguration({
        "user:tabs", "user:press:" + kPanelB + ":SW3", "user:wait:" + kPicker, "user:tabs",
        "user:choose:" + kPicker + ":1022:Keyboard", "user:choose:" + kPicker + ":1018:A Key",
        "user:click:" + kPicker + ":1", "user:gone:" + kPicker, "user:release:" + kPanelB + ":SW3",
        "user:rows", "user:click:" + kDialog + ":1", "user:gone:" + kDialog});
    for (const char* step : {"wait:1000", "press:0000C3D4:SW3", "release:0000C3D4:SW3"}) steps.push_back(step);
    const HostRun run = RunHostWithBoards(folder, kBoards, steps);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(LinesStartingWith(run.output, "user-error").empty()) << ::testing::PrintToString(run.output);
    EXPECT_EQ(LinesStartingWith(run.output, "config-tabs "),
              (std::vector<std::string>{"config-tabs Halvard MFP - 1|Halvard MFP - 2 active=Halvard MFP - 1",
                                        "config-tabs Halvard MFP - 1|Halvard MFP - 2 active=Halvard MFP - 2"}));
    EXPECT_EQ(Count(run.output, "config-row SW3|A Key|0"), 1u);
    EXPECT_EQ(Count(run.output, "config-row SW1|Increments flap handle position|0"), 1u);

    EXPECT_EQ(StoredInputs(folder, kPanelB), "100DE,0,100DF,0,100000D,0,1004F,0,10000,0,10000,0,10000,0,10000,0,"
                                             "10000,0,10000,0,10000,0,10000,0,10000,0,10000,0,10000,0");
    EXPECT_EQ(Bytes(folder.Path("Tarnell_MFP.ini.bak")), kConfiguration);
    // The platform's writer lays the file out anew; what it holds stays.
    EXPECT_NE(Bytes(folder.Path("Tarnell_MFP.ini")).find("; my cockpit"), std::string::npos);
    EXPECT_EQ(StoredInputs(folder, kPanelA), "10022,0,100D8,0,100D7,0,102BF,0,1000013,0,1000039,0,10019,0,10000,0,"
                                             "10000,0,10000,0,10000,0,10000,0,10000,0,10000,0,10000,0");
    EXPECT_EQ(Count(LogMessages(folder), "ReloadDataFromINI"), 1u);
    EXPECT_EQ(Count(run.output, "hostproc key 0x41"), 1u) << "SW3 now presses A";
}

// Cancel writes nothing, whatever the pages showed; a device change waits for the dialog and
// then reloads once; Save with nothing changed leaves every byte of the file alone.
TEST(ConfigDialog, CancelAndUnchangedSaveLeaveTheFileAndADeviceChangeWaitsForTheDialog) {
    ConfiguredFolder folder;
    std::ofstream(folder.Path("setup.ini")) << "[MFP-Module]\nAction 0=100d7\nValue 0=5\n";
    auto steps = OpenConfiguration({
        "user:click:" + kDialog + ":1025", "user:file:Open:" + folder.Path("setup.ini"), "user:rows",
        "user:unplug:" + kPanelB, "user:plug:1583:" + kPanelB, "user:click:" + kDialog + ":2",
        "user:gone:" + kDialog});
    steps.push_back("wait:2000");
    const auto unchangedSave = OpenConfiguration({"user:click:" + kDialog + ":1", "user:gone:" + kDialog});
    steps.insert(steps.end(), unchangedSave.begin(), unchangedSave.end());
    const HostRun run = RunHostWithBoards(folder, kBoards, steps);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(LinesStartingWith(run.output, "user-error").empty()) << ::testing::PrintToString(run.output);
    EXPECT_EQ(Count(run.output, "config-row SW1|Toggle landing lights|5"), 1u) << "the import was shown";
    EXPECT_EQ(Count(run.output, "config-row SW2|Do nothing|0"), 1u);

    EXPECT_EQ(Bytes(folder.Path("Tarnell_MFP.ini")), kConfiguration);
    EXPECT_EQ(Bytes(folder.Path("Tarnell_MFP.ini.bak")), kConfiguration);
    const auto log = LogMessages(folder);
    EXPECT_EQ(Count(log, "Reloading MFP's"), 1u);
    const auto finished = std::find(log.begin(), log.end(), "ConfigureMFP finished");
    EXPECT_EQ(std::count(finished, log.end(), "Reloading MFP's"), 1) << "after the dialog closed";
    EXPECT_EQ(Count(log, "ReloadDataFromINI"), 1u) << "the unchanged Save only";
}

// Closing the configuration while the picker, or the picker's file dialog, is open ends them
// all on the simulator's thread; the simulator goes on and so do the panels (SW1 pressed again
// sends its event once), and the file is as it was.
TEST(ConfigDialog, ClosingWithThePickerOrItsFileDialogOpenEndsThemAndThePanelsWorkOn) {
    const std::string release = "user:release:" + kPanelA + ":SW1";
    // After SW1 opened the picker.
    const std::vector<std::string> closings[] = {
        {release, "user:close:" + kDialog, "user:gone:" + kDialog, "user:gone:" + kPicker},
        {"user:click:" + kPicker + ":1025", "user:wait:Open", release, "user:close:" + kDialog, "user:gone:" + kDialog,
         "user:gone:Open", "user:gone:" + kPicker},
    };
    for (const std::vector<std::string>& closing : closings) {
        SCOPED_TRACE(closing[0]);
        ConfiguredFolder folder;
        std::vector<std::string> userSteps = {"user:press:" + kPanelA + ":SW1", "user:wait:" + kPicker};
        userSteps.insert(userSteps.end(), closing.begin(), closing.end());
        auto steps = OpenConfiguration(userSteps);
        for (const char* step : {"release:0000A1B2:SW1", "press:0000A1B2:SW1"}) steps.push_back(step);
        const HostRun run = RunHostWithBoards(folder, kBoards, steps);
        ASSERT_EQ(run.exitCode, 0);
        EXPECT_TRUE(LinesStartingWith(run.output, "user-error").empty()) << ::testing::PrintToString(run.output);
        EXPECT_EQ(Count(run.output, "trigger_key_event id=0x10022 value=0"), 1u);
        EXPECT_EQ(Bytes(folder.Path("Tarnell_MFP.ini")), kConfiguration);
        // How long the simulator's thread took to be free again, for the record.
        for (const std::string& line : LinesStartingWith(run.output, "user gone")) std::printf("%s\n", line.c_str());
    }
}

// A second Configure while the dialog is open opens nothing; module_deinit from the host's own
// procedure, inside the dialog's loop with the picker open, closes both and lets go of the
// boards before they are deleted, and nothing reloads after it.
TEST(ConfigDialog, ASecondConfigureOrADeinitWhileOpenIsSafe) {
    ConfiguredFolder folder;
    const auto steps = OpenConfiguration({"user:command:8520", "user:sleep:300", "user:press:" + kPanelA + ":SW1",
                                          "user:wait:" + kPicker, "user:release:" + kPanelA + ":SW1", "user:deinit",
                                          "user:gone:" + kDialog, "user:gone:" + kPicker});
    const HostRun run = RunHostWithBoards(folder, kBoards, steps);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(LinesStartingWith(run.output, "user-error").empty()) << ::testing::PrintToString(run.output);
    EXPECT_EQ(Count(run.output, "module_deinit"), 1u) << ::testing::PrintToString(run.output);
    const auto log = LogMessages(folder);
    EXPECT_EQ(Count(log, "The configuration is open already"), 1u);
    EXPECT_EQ(Count(log, "Reloading MFP's"), 0u);
    EXPECT_EQ(Bytes(folder.Path("Tarnell_MFP.ini")), kConfiguration);
}

// A Save that cannot write says so, names the file and the system's reason, and keeps the
// dialog and the choice. The file is held open by another program that lets others read it
// only: a read-only attribute would do on Windows, but Wine run as root writes such files.
TEST(ConfigDialog, ASaveThatCannotWriteSaysSoAndKeepsTheChoice) {
    ConfiguredFolder folder;
    const std::string ini = folder.Path("Tarnell_MFP.ini");
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string message = "Tarnell Multi Function Panel";
    auto steps = OpenConfiguration({
        "user:press:" + kPanelB + ":SW3", "user:wait:" + kPicker, "user:choose:" + kPicker + ":1022:Keyboard",
        "user:choose:" + kPicker + ":1018:A Key", "user:click:" + kPicker + ":1", "user:gone:" + kPicker,
        "user:release:" + kPanelB + ":SW3", "user:click:" + kDialog + ":1", "user:wait:" + message,
        "user:text:" + message, "user:click:" + message + ":1", "user:gone:" + message, "user:rows",
        "user:click:" + kDialog + ":2", "user:gone:" + kDialog});
    const HostRun run = RunHostWithBoards(folder, kBoards, steps);
    CloseHandle(held);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(LinesStartingWith(run.output, "user-error").empty()) << ::testing::PrintToString(run.output);
    const auto texts = LinesStartingWith(run.output, "user-text ");
    ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(run.output);
    EXPECT_NE(texts[0].find("The switches of [0000C3D4] could not be saved in " + ini + ": "), std::string::npos)
        << texts[0];
    EXPECT_EQ(Count(run.output, "config-row SW3|A Key|0"), 1u) << "the choice is still shown";
    EXPECT_EQ(Bytes(ini), kConfiguration);
}

}  // namespace
