#include "ui/input_page_model.h"

#include <gtest/gtest.h>

#include "config/file_access.h"
#include "tests/config/temp_folder.h"
#include "ui/config_layout.h"

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

// A section without the key shows fifteen idle switches; a save writes the line only when it changed.
TEST_F(InputPageTest, ChoicesShowInTheirRowAndOnlyChangesAreSavedOrImported) {
    folder.Write("Tarnell_MFP.ini", "; my panel\n[0000A1B2]\nDebug=1\n");
    ASSERT_TRUE(Load());
    ASSERT_EQ(model.Rows().size(), 15u);
    EXPECT_EQ(model.Rows()[0].input, "SW1");
    EXPECT_EQ(model.Rows()[14].input, "SW15");
    EXPECT_EQ(model.Rows()[14].key, "0106");
    EXPECT_EQ(model.SaveInputs(profile, iniPath, "0000A1B2"), SaveResult::Written);
    EXPECT_EQ(model.SaveInputs(profile, iniPath, "0000A1B2"), SaveResult::Unchanged);
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
