// The panel set: load and unload, the whole-set operations and the configuration dialog.
#include "panels/mfp.h"
#include "panel_fixture.h"

namespace {

struct ScriptedDialog : ConfigurationDialog {
    int Run(const std::map<std::string, CTarnellController*>& boards) override { return act(boards); }
    std::function<int(const std::map<std::string, CTarnellController*>&)> act;
};

using PanelSetTest = PanelFixture;

// The outputs and switches of loaded panels are checked by the fault tests and the replug soak.
TEST_F(PanelSetTest, LoadAndUnloadTwoPanels) {
    CMFP panels(Services());
    EXPECT_EQ(panels.LoadMFPs(), 0) << "no board yet";
    panels.UnloadMFPs();
    auto first = AddBoard("0000A1B2");
    AddBoard("0000C3D4");
    auto other = AddBoard("0000EEEE", 3);  // another kind of board: no worker
    ASSERT_EQ(panels.LoadMFPs(), 2);
    EXPECT_EQ(panels.LoadMFPs(), 0) << "a second load needs an unload in between";
    EXPECT_TRUE(panels.IsLoaded());
    const auto serving = panels.ServingWorkers();
    ASSERT_EQ(serving.size(), 2u);
    EXPECT_EQ(serving.begin()->first, "0000A1B2");
    EXPECT_TRUE(first->LedMatrixOn()) << "switched on before its start-up was over";
    EXPECT_FALSE(other->LedMatrixOn());

    panels.UnloadMFPs();
    EXPECT_FALSE(panels.IsLoaded());
    EXPECT_FALSE(panels.IsRunning());
    EXPECT_FALSE(first->LedMatrixOn()) << "the board was shut down";
    EXPECT_EQ(KitDeviceCount(), 0) << "registry closed";
    panels.UnloadMFPs();  // harmless on an empty set
}

// The dialog finds every board free for its pages; the whole-set operations reach the serving
// panel only, never the worker of the corrupt section, which ended at start-up.
TEST_F(PanelSetTest, ConfigurationReloadsAfterSaveOnlyAndAlwaysRestartsTheInputs) {
    auto sim = AddBoard("0000A1B2");
    auto corrupt = AddBoard("0000C3D4");
    WriteKey("0000C3D4", "Inputs", "10000,0,10000");
    host.SetGauge(1, 1.0);
    enum class Outcome { Save, Cancel, Throw };
    // press and led: what SW1 sends afterwards, and the matrix LED that shows gauge 1
    const struct { Outcome outcome; SimHostRecord press; int led; size_t errorsShown; } cases[] = {
        {Outcome::Cancel, Event(0x101, 1), 2, 0}, {Outcome::Throw, Event(0x101, 1), 2, 1},
        {Outcome::Save, Event(0x303, 3), 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        bool boardWasFree = false;
        ScriptedDialog dialog;
        dialog.act = [&](const std::map<std::string, CTarnellController*>& boards) {
            CTarnellController* board = boards.at("0000A1B2");
            const KeyMatrixCallback page = [](const std::string&, const uint8_t*, void*) { return 1; };
            boardWasFree = board->SetKeyMatrixCallback(true, page, nullptr);
            board->SetKeyMatrixCallback(false, nullptr, nullptr);
            // The pages' Save, or a file edited meanwhile.
            WriteInputs("0000A1B2", {{0, "303", 3}});
            WriteKey("0000A1B2", "outputs", "2,1,1,%g,1,0,0");
            if (c.outcome == Outcome::Throw) throw 42;
            return c.outcome == Outcome::Save ? ConfigurationDialog::kSaved : 2;
        };
        WriteInputs("0000A1B2", {{0, "101", 1}});
        WriteKey("0000A1B2", "outputs", "2,2,1,%g,1,0,0");
        messages.shown.clear();
        host.ClearRecords();
        CMFP panels(Services());
        ASSERT_EQ(panels.LoadMFPs(), 2) << "both boards count";
        EXPECT_EQ(panels.ServingWorkers().size(), 1u);
        panels.RunConfiguration(dialog);  // its reload overlaps the update passes: none may see half a table
        EXPECT_TRUE(boardWasFree);
        ASSERT_EQ(messages.shown.size(), 1 + c.errorsShown);
        EXPECT_NE(messages.shown[0].text.find("Item: Inputs"), std::string::npos) << messages.shown[0].text;
        if (c.errorsShown) {
            EXPECT_EQ(messages.shown[1].text, "An error occured during the Multi Function Panel configuration.");
        }
        EXPECT_FALSE(corrupt->KeyMatrixOn());
        EXPECT_FALSE(corrupt->LedMatrixOn());
        EXPECT_TRUE(Eventually([&] { return sim->LedLit(c.led - 1, 0); }));
        sim->PressKey(0, 0);
        EXPECT_TRUE(HostGot(c.press));
        sim->ReleaseKey(0, 0);
        panels.UnloadMFPs();
    }
}

}  // namespace
