// The panel set with its threads: load and unload, switches reaching the host through the
// board's key-matrix thread, outputs refreshed by the update threads, and a corrupt section.
#include <atomic>

#include "panels/mfp.h"
#include "panel_fixture.h"

namespace {

// The simulated host's two slots, throwing something that is no std::exception while armed.
class ThrowingSlots : public HostPanels {
public:
    explicit ThrowingSlots(SimHost& inner) : inner(inner) {}
    bool Available() const override { return inner.Available(); }
    void TriggerKeyEvent(uint32_t eventId, uint32_t value) override {
        if (eventsThrow) throw 42;
        inner.TriggerKeyEvent(eventId, value);
    }
    void LookupGaugeVariable(GaugeVariable& variable) override {
        ++lookups;
        if (lookupsThrow) throw 42;
        inner.LookupGaugeVariable(variable);
    }
    std::atomic<bool> eventsThrow{false}, lookupsThrow{false};
    std::atomic<int> lookups{0};
    SimHost& inner;
};

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

// The whole-set operations reach the serving panel only: the worker of the corrupt section ended.
TEST_F(PanelSetTest, WholeSetOperationsWhileRunningPassACorruptSectionBy) {
    auto good = AddBoard("0000A1B2");
    auto corrupt = AddBoard("0000C3D4");
    WriteInputs("0000A1B2", {{0, "101", 1}});
    WriteKey("0000C3D4", "Inputs", "10000,0,10000");
    CMFP panels(Services());
    EXPECT_EQ(panels.LoadMFPs(), 2) << "both boards count";
    const auto serving = panels.ServingWorkers();
    ASSERT_EQ(serving.size(), 1u);
    EXPECT_EQ(serving.begin()->first, "0000A1B2");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("Item: Inputs"), std::string::npos) << messages.shown[0].text;

    panels.StopAllInputs();
    EXPECT_FALSE(good->KeyMatrixOn());
    WriteInputs("0000A1B2", {{0, "303", 3}});
    host.SetGauge(1, 1.0);
    WriteKey("0000A1B2", "outputs", "2,1,1,%g,1,0,0");
    panels.ReloadDataFromINI();  // overlaps the update passes: they must not see half a table
    panels.StartAllInputs();
    EXPECT_TRUE(good->KeyMatrixOn());
    EXPECT_FALSE(corrupt->KeyMatrixOn()) << "no call reached the ended worker";
    EXPECT_FALSE(corrupt->LedMatrixOn());
    EXPECT_TRUE(Eventually([&] { return good->LedLit(0, 0); })) << "the new outputs are shown";
    good->PressKey(0, 0);
    EXPECT_TRUE(HostGot(Event(0x303, 3)));
    panels.UnloadMFPs();
}

// What the user does in the configuration dialog: the dialog finds every board free for its
// pages, and only Save makes the panels read the file again.
TEST_F(PanelSetTest, ConfigurationReloadsAfterSaveOnlyAndAlwaysRestartsTheInputs) {
    auto sim = AddBoard("0000A1B2");
    enum class Outcome { Save, Cancel, Throw };
    // press: what SW1 sends afterwards
    const struct { Outcome outcome; SimHostRecord press; size_t messagesShown; } cases[] = {
        {Outcome::Cancel, Event(0x101, 1), 0}, {Outcome::Throw, Event(0x101, 1), 1}, {Outcome::Save, Event(0x303, 3), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        bool boardWasFree = false;
        ScriptedDialog dialog;
        dialog.act = [&](const std::map<std::string, CTarnellController*>& boards) {
            CTarnellController* board = boards.at("0000A1B2");
            const KeyMatrixCallback page = [](const std::string&, const uint8_t*, void*) { return 1; };
            boardWasFree = board->SetKeyMatrixCallback(true, page, nullptr);
            board->SetKeyMatrixCallback(false, nullptr, nullptr);
            WriteInputs("0000A1B2", {{0, "303", 3}});  // the pages' Save, or a file edited meanwhile
            if (c.outcome == Outcome::Throw) throw 42;
            return c.outcome == Outcome::Save ? ConfigurationDialog::kSaved : 2;
        };
        WriteInputs("0000A1B2", {{0, "101", 1}});
        messages.shown.clear();
        host.ClearRecords();
        CMFP panels(Services());
        ASSERT_EQ(panels.LoadMFPs(), 1);
        panels.RunConfiguration(dialog);
        EXPECT_TRUE(boardWasFree);
        ASSERT_EQ(messages.shown.size(), c.messagesShown);
        if (c.messagesShown) {
            EXPECT_EQ(messages.shown[0].text, "An error occured during the Multi Function Panel configuration.");
        }
        sim->PressKey(0, 0);
        EXPECT_TRUE(HostGot(c.press));
        sim->ReleaseKey(0, 0);
        panels.UnloadMFPs();
    }
}

TEST_F(PanelSetTest, HostSlotsThrowingAnythingLeaveThePanelRunning) {
    auto sim = AddBoard("0000A1B2");
    WriteInputs("0000A1B2", {{0, "101", 1}, {1, "102", 2}});
    WriteKey("0000A1B2", "outputs", "2,1,1,%g,1,0,0");
    host.SetGauge(1, 1.0);
    ThrowingSlots slots(host);
    CMFP panels(PanelServices{slots, host, host, profile, messages, iniPath});
    ASSERT_EQ(panels.LoadMFPs(), 1);

    // trigger_key_event throws: the next press is still dispatched.
    slots.eventsThrow = true;
    sim->PressKey(0, 0);
    ASSERT_TRUE(Eventually([&] { return CountLog("Performing FS action(257)") == 1; }));
    slots.eventsThrow = false;
    sim->PressKey(0, 1);
    EXPECT_TRUE(HostGot(Event(0x102, 2)));

    // The gauge lookup throws: passes go on, and so do the switches.
    ASSERT_TRUE(Eventually([&] { return sim->LedLit(0, 0); }));
    slots.lookupsThrow = true;
    host.SetGauge(1, 0.0);
    const int before = slots.lookups;
    EXPECT_TRUE(Eventually([&] { return slots.lookups >= before + 2; })) << "two more passes";
    EXPECT_TRUE(sim->LedLit(0, 0)) << "no pass got a value";
    sim->ReleaseKey(0, 0);
    sim->PressKey(0, 0);
    EXPECT_TRUE(HostGot(Event(0x101, 1)));
    slots.lookupsThrow = false;
    EXPECT_TRUE(Eventually([&] { return !sim->LedLit(0, 0); })) << "the new value is shown";
    panels.UnloadMFPs();
    EXPECT_FALSE(sim->LedMatrixOn()) << "wound down as usual";
}

}  // namespace
