#include "ui/input_page_model.h"

#include <gtest/gtest.h>

#include "config/file_access.h"
#include "tests/config/temp_folder.h"
#include "ui/config_layout.h"
#include "ui/configuration_flow.h"

namespace {

using Edges = std::vector<std::pair<int, int>>;

TEST(SwitchEdges, OnlyASwitchGoingOnCounts) {
    const struct { const char* what; std::array<uint8_t, 8> keys; Edges wentOn; } reports[] = {
        {"SW1 and SW9 in one report", {0x01, 0x01}, {{0, 0}, {1, 0}}},
        {"both held", {0x01, 0x01}, {}},
        {"SW1 released, SW9 held", {0x00, 0x01}, {}},
        {"SW10 pressed with SW9 held", {0x00, 0x03}, {{1, 1}}},
        {"SW1 pressed again", {0x01, 0x03}, {{0, 0}}},
        {"bits without a row", {0x01, 0x83, 0x00, 0x08}, {{1, 7}, {3, 3}}},
        {"all released", {}, {}},
    };
    SwitchEdges edges;
    EXPECT_EQ(edges.OnReport(nullptr), Edges{}) << "the call at registration";
    for (const auto& report : reports) EXPECT_EQ(edges.OnReport(report.keys.data()), report.wentOn) << report.what;
}

class InputPageTest : public ::testing::Test {
protected:
    bool Load() { return model.Load(profile, iniPath, "0000A1B2", messages); }

    TempFolder folder;
    SimProfileFile profile;
    RecordedUserMessages messages;
    const std::string iniPath = folder.Path("Tarnell_MFP.ini");
    InputPageModel model;
};

// A section without the key shows fifteen idle switches; a save writes the line only when the
// rows differ from what was loaded.
TEST_F(InputPageTest, ChoicesShowInTheirRowAndOnlyChangesAreSavedOrImported) {
    folder.Write("Tarnell_MFP.ini", "; my panel\n[0000A1B2]\nDebug=1\n");
    ASSERT_TRUE(Load());
    ASSERT_EQ(model.Rows().size(), 15u);
    EXPECT_EQ(model.Rows()[0].input, "SW1");
    EXPECT_EQ(model.Rows()[14].input, "SW15");
    EXPECT_EQ(model.Rows()[14].key, "0106");
    EXPECT_EQ(model.SaveInputs(profile, iniPath, "0000A1B2"), SaveResult::Unchanged) << "rows as loaded";
    EXPECT_FALSE(model.Changed());
    EXPECT_EQ(model.SetInput("0106", 0x100000D, -5), 14);
    EXPECT_EQ(model.SetInput("0002", 0xABCDE, 10), 2);  // an id the catalogue does not hold
    for (const char* rowless : {"0107", "0200", "0703"}) EXPECT_EQ(model.SetInput(rowless, 0x10022, 1), -1) << rowless;
    EXPECT_EQ(model.Rows()[14].action, "A Key");
    EXPECT_EQ(model.Rows()[14].valueText, "-5");
    EXPECT_EQ(model.Rows()[2].action, "");
    ASSERT_EQ(model.SaveInputs(profile, iniPath, "0000A1B2"), SaveResult::Written);
    EXPECT_EQ(TempFolder::Read(iniPath),
              "; my panel\n[0000A1B2]\nDebug=1\nInputs=10000,0,10000,0,ABCDE,10,10000,0,10000,0,10000,0,10000,0,"
              "10000,0,10000,0,10000,0,10000,0,10000,0,10000,0,10000,0,100000D,-5\n");
    EXPECT_TRUE(messages.shown.empty());
    // A setup file sets all fifteen switches.
    model.ImportSetup(ReadPanelSetup(profile, folder.Write("setup.ini", "[MFP-Module]\nAction 3=1003C\nValue 3=1\n")));
    for (int r = 0; r < 15; ++r) {
        EXPECT_EQ(model.Rows()[r].eventId, r == 3 ? 0x1003Cu : 0x10000u) << r;
        EXPECT_EQ(model.Rows()[r].valueText, r == 3 ? "1" : "0") << r;
    }
}

TEST_F(InputPageTest, ACorruptKeyIsReportedAndNeverOverwritten) {
    const std::string bytes = "[0000A1B2]\r\nInputs=10000,0,10000\r\n";
    folder.Write("Tarnell_MFP.ini", bytes);
    EXPECT_FALSE(Load());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Corruption of data found!\n\tFile: " + iniPath +
                                          "\n\tItem: Inputs.\n\nPlease reinstall the configuration files");
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_EQ(model.SetInput("0000", 0x10022, 0), -1);
    model.ImportSetup({});
    EXPECT_EQ(model.SaveInputs(profile, iniPath, "0000A1B2"), SaveResult::NoRows);
    EXPECT_EQ(TempFolder::Read(iniPath), bytes);
}

// A press on a board's thread waits for the dialog's thread, which opens one picker at a time
// with the boards paused; closing drops what waits; Save writes the pages the user changed and
// names the sections someone else changed in the file meanwhile.
TEST(ConfigurationFlow, PressesPickersAndSave) {
    TempFolder folder;
    const std::string iniPath = folder.Write("Tarnell_MFP.ini", "[0000A1B2]\nInputs=10022,0\n[0000C3D4]\n");
    SimProfileFile profile;
    RecordedUserMessages messages;
    std::vector<bool> pauses;
    ConfigurationFlow flow([&](bool paused) { pauses.push_back(paused); });
    EXPECT_EQ(flow.AddPage(profile, iniPath, "0000A1B2", messages), 0);  // corrupt: no rows
    EXPECT_EQ(flow.AddPage(profile, iniPath, "0000C3D4", messages), 1);
    EXPECT_EQ(messages.shown.size(), 1u);
    const std::array<uint8_t, 8> sw1{0x01}, sw1sw3{0x05}, none{};

    EXPECT_FALSE(flow.NextPick()) << "nothing pressed";
    EXPECT_TRUE(flow.OnKeys(0, sw1.data())) << "queued, though the page has no row";
    EXPECT_TRUE(flow.OnKeys(1, sw1sw3.data()));
    EXPECT_FALSE(flow.OnKeys(1, sw1sw3.data())) << "held: no edge";
    auto request = flow.NextPick();
    ASSERT_TRUE(request) << "the rowless press is dropped, SW1 of the second page comes next";
    EXPECT_EQ(request->page, 1);
    EXPECT_EQ(request->key, "0000");
    EXPECT_EQ(pauses, std::vector<bool>{true});
    EXPECT_FALSE(flow.NextPick()) << "one picker at a time";
    EXPECT_EQ(flow.PickEnded(EventChoice{0x100000D, 7}), 0);
    EXPECT_EQ(pauses, (std::vector<bool>{true, false}));
    request = flow.NextPick();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->key, "0002");
    EXPECT_EQ(flow.PickEnded(std::nullopt), -1) << "cancelled: no row changes";
    EXPECT_EQ(flow.Page(1).Rows()[2].eventId, kNoActionEvent);

    // Someone writes the second page's key while the dialog is open.
    EXPECT_TRUE(flow.ChangedOnDisk(profile, iniPath).empty());
    profile.WriteString("0000C3D4", "Inputs", FormatInputsLine(std::vector<InputRow>(15, InputRow{0x10019, "1"})), iniPath);
    EXPECT_EQ(flow.ChangedOnDisk(profile, iniPath), std::vector<std::string>{"0000C3D4"});
    EXPECT_TRUE(flow.Save(profile, profile, iniPath).empty());
    EXPECT_EQ(profile.GetString("0000C3D4", "Inputs", "", 600, iniPath).substr(0, 20), "100000D,7,10000,0,10");
    EXPECT_EQ(profile.GetString("0000A1B2", "Inputs", "", 600, iniPath), "10022,0") << "the corrupt key stays";

    // A platform that says it wrote, but did not: the page counts as not saved.
    struct ClaimingWriter : SimProfileFile {
        bool WriteString(const std::string&, const std::string&, const std::string&, const std::string&) const override {
            return true;
        }
    } claiming;
    EXPECT_EQ(flow.Page(1).SetInput("0001", 0x10019, 2), 1);
    EXPECT_EQ(flow.Save(claiming, profile, iniPath), std::vector<std::string>{"0000C3D4"});

    EXPECT_TRUE(flow.OnKeys(1, none.data()) == false);
    EXPECT_TRUE(flow.OnKeys(1, sw1.data()));
    flow.Close();
    EXPECT_FALSE(flow.NextPick()) << "closing drops the waiting press";
    EXPECT_FALSE(flow.OnKeys(1, none.data()) || flow.OnKeys(1, sw1.data())) << "and queues no other";
}

TEST(FileBackup, EachSaveReplacesTheCopyAndAFailureSaysWhy) {
    TempFolder folder;
    const std::string path = folder.Path("Tarnell_MFP.ini");
    std::string problem;
    EXPECT_FALSE(BackUpFile(path, problem)) << "nothing to copy yet";
    EXPECT_NE(problem.find("cannot read"), std::string::npos) << problem;
    for (const std::string bytes : {"[A]\r\nk=1\r\n", "[A]\nk=2\n\x1a"}) {
        folder.Write("Tarnell_MFP.ini", bytes);
        ASSERT_TRUE(BackUpFile(path, problem)) << problem;
        EXPECT_EQ(TempFolder::Read(path + ".bak"), bytes);
    }
    std::filesystem::create_directory(path + ".bak.d");
    EXPECT_FALSE(BackUpFile(path + ".bak.d", problem)) << "a folder is no file";
    // A copy that cannot be written leaves the old one whole.
    std::filesystem::create_directory(path + ".bak.new");
    EXPECT_FALSE(BackUpFile(path, problem));
    EXPECT_EQ(TempFolder::Read(path + ".bak"), "[A]\nk=2\n\x1a");
}

// A banner 400 pixels wide: the window ends m = 330 - 313 = 17 pixels right of it, the buttons
// sit at a quarter and three quarters of its width (427 / 4 = 106).
TEST(ConfigLayout, FollowsTheBannerPicture) {
    // Banner, Save, sheet and dialog as the template made them; the picture; the frame width.
    const ConfigLayout layout =
        LayOutConfigDialog({{110, 80, 370, 120}, {110, 290, 185, 313}, {100, 130, 400, 280}, {100, 50, 400, 330}, 400, 64, 3});
    EXPECT_EQ(layout.banner, (LayoutRect{110, 80, 510, 144}));
    EXPECT_EQ(layout.dialog, (LayoutRect{100, 50, 527, 368}));
    EXPECT_EQ(layout.sheet, (LayoutRect{107, 161, 510, 311}));
    EXPECT_EQ(layout.save, (LayoutRect{206, 328, 281, 351}));
    EXPECT_EQ(layout.cancel, (LayoutRect{343, 328, 418, 351}));
}

}  // namespace
