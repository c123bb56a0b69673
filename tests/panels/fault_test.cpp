// Faults injected through the seams while two panels run: the faulty panel keeps working as
// far as it can, says why in the log, and the other panel is not affected.
#include <atomic>
#include <filesystem>

#include "os/sim_thread_starter.h"
#include "panels/mfp.h"
#include "panel_fixture.h"

namespace {

// The simulated host's two slots, throwing while armed.
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

class FaultTest : public PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        faulty = AddBoard("0000A1B2");
        healthy = AddBoard("0000C3D4");
        for (const char* serial : {"0000A1B2", "0000C3D4"}) {
            WriteInputs(serial, {{0, "101", 1}});
            WriteKey(serial, "outputs", "2,1,1,%g,1,0,0");  // matrix LED 1 on gauge 1
        }
        host.SetGauge(1, 1.0);
    }
    bool BothPanelsDispatch() {
        host.ClearRecords();
        for (const auto& board : {faulty, healthy}) board->PressKey(0, 0);
        const bool both = Eventually([&] { return host.Records().size() == 2; });
        for (const auto& board : {faulty, healthy}) board->ReleaseKey(0, 0);
        return both;
    }

    std::shared_ptr<SimBoard> faulty;
    std::shared_ptr<SimBoard> healthy;
};

// A write refused in a pass is sent again by the next; a read of a plugged board failing loses no
// press; host slots throwing something that is no std::exception lose that action or pass only.
TEST_F(FaultTest, FailedWritesReadsAndHostSlotsLoseNoMore) {
    ThrowingSlots slots(host);
    CMFP panels(PanelServices{slots, host, host, profile, messages, iniPath});
    ASSERT_EQ(panels.LoadMFPs(), 2);
    ASSERT_TRUE(Eventually([&] { return faulty->LedLit(0, 0) && healthy->LedLit(0, 0); }));
    faulty->FailNextWrites(3);
    host.SetGauge(1, 0.0);
    EXPECT_TRUE(Eventually([&] { return !faulty->LedLit(0, 0) && !healthy->LedLit(0, 0); }));
    EXPECT_EQ(CountLog("Error writting to the Tarnell controller"), 1) << "once, though three passes failed";
    for (const auto fault : {SimBoard::ReadFault::Empty, SimBoard::ReadFault::Error}) {
        SCOPED_TRACE(static_cast<int>(fault));
        faulty->FailNextReads(3, fault);
        EXPECT_TRUE(BothPanelsDispatch());
        EXPECT_TRUE(BothPanelsDispatch());
    }

    slots.eventsThrow = true;
    faulty->PressKey(0, 0);
    ASSERT_TRUE(Eventually([&] { return CountLog("Action 0000 of 0000A1B2 stopped by an exception") == 1; }));
    faulty->ReleaseKey(0, 0);
    slots.eventsThrow = false;
    EXPECT_TRUE(BothPanelsDispatch());
    slots.lookupsThrow = true;
    host.SetGauge(1, 1.0);
    const int before = slots.lookups;
    EXPECT_TRUE(Eventually([&] { return slots.lookups >= before + 4; })) << "more passes";
    EXPECT_FALSE(faulty->LedLit(0, 0)) << "no pass got a value";
    EXPECT_TRUE(BothPanelsDispatch());
    slots.lookupsThrow = false;
    EXPECT_TRUE(Eventually([&] { return faulty->LedLit(0, 0) && healthy->LedLit(0, 0); })) << "the new value";
    panels.UnloadMFPs();
    EXPECT_FALSE(faulty->LedMatrixOn()) << "wound down as usual";
}

// A board that never answers the module query is left out and says so; the next load finds it.
TEST_F(FaultTest, ABoardThatNeverAnswersIsLeftOutUntilItAnswersAgain) {
    faulty->StopAnswering(true);
    CMFP panels(Services());
    EXPECT_EQ(panels.LoadMFPs(), 1);
    EXPECT_EQ(CountLog("0000A1B2 gave no module identity: not used as a panel"), 1);
    host.ClearRecords();
    healthy->PressKey(0, 0);
    EXPECT_TRUE(HostGot(Event(0x101, 1)));
    healthy->ReleaseKey(0, 0);
    panels.UnloadMFPs();
    faulty->StopAnswering(false);
    EXPECT_EQ(panels.LoadMFPs(), 2);
    EXPECT_TRUE(BothPanelsDispatch());
    panels.UnloadMFPs();
}

// The file goes away, or a folder takes its place, between two reloads: the panels run on with
// every switch doing nothing, and come back with the file.
TEST_F(FaultTest, AConfigurationFileThatVanishesOrCannotBeReadGivesTheDefaults) {
    CMFP panels(Services());
    ASSERT_EQ(panels.LoadMFPs(), 2);
    ASSERT_TRUE(BothPanelsDispatch());
    const std::string saved = iniPath + ".saved";
    std::filesystem::rename(iniPath, saved);
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder);
        if (folder) std::filesystem::create_directory(iniPath);
        panels.ReloadDataFromINI();
        EXPECT_EQ(CountLog(iniPath + " cannot be read: every switch and output has its default"), folder ? 4 : 2);
        host.ClearRecords();
        faulty->PressKey(0, 0);
        EXPECT_TRUE(Eventually([&] { return CountLog("0000A1B2:0000 pressed") == (folder ? 3 : 2); }));
        faulty->ReleaseKey(0, 0);
        EXPECT_TRUE(host.Records().empty()) << "no event is configured";
    }
    std::filesystem::remove(iniPath);
    std::filesystem::rename(saved, iniPath);
    panels.ReloadDataFromINI();
    EXPECT_TRUE(BothPanelsDispatch());
    EXPECT_TRUE(messages.shown.empty()) << "defaults are no corruption";
    panels.UnloadMFPs();
}

// A board that stays plugged in but takes no report holds no thread for long: a write waits out
// the kit's timeout, the board is given up, the other panel goes on, and unloading ends.
TEST_F(FaultTest, ABoardThatTakesNoReportsIsGivenUp) {
    CMFP panels(PanelServices{host, host, host, profile, messages, iniPath});
    ASSERT_EQ(panels.LoadMFPs(), 2);
    ASSERT_TRUE(Eventually([&] { return faulty->LedLit(0, 0) && healthy->LedLit(0, 0); }));
    faulty->StopTakingReports(true);
    host.SetGauge(1, 0.0);
    ASSERT_TRUE(Eventually([&] { return CountLog("0000A1B2 took no report for 1000 ms: it is given up until the panels are loaded again") == 1; }));
    EXPECT_TRUE(Eventually([&] { return !healthy->LedLit(0, 0); })) << "the other panel goes on";
    panels.UnloadMFPs();
    EXPECT_TRUE(faulty->LedLit(0, 0)) << "the stuck board took nothing";
    faulty->StopTakingReports(false);
}

// The panels start their update and key-matrix threads at the same time, so either may be the
// one refused; the workers start in the order of the serial numbers, unlogged.
TEST_F(FaultTest, AThreadThatCannotStartStopsOnlyItsOwnPanel) {
    for (const std::string thread : {"Worker", "Update", "Key matrix"}) {
        SCOPED_TRACE(thread);
        SimThreadStarter threads;
        threads.Refuse(thread, 1);
        CMFP panels(PanelServices{host, host, host, profile, messages, iniPath, threads});
        EXPECT_EQ(panels.LoadMFPs(), 2) << "both boards count";
        const auto refused = [&](const char* serial) {
            if (thread == "Worker") return serial == std::string("0000A1B2");
            return CountLog(thread + " thread of " + serial + " not started") == 1;
        };
        ASSERT_TRUE(Eventually([&] { return refused("0000A1B2") != refused("0000C3D4"); }));
        EXPECT_EQ(CountLog(thread + " thread could not be started"), 1) << "the platform's refusal is a result";
        const auto& working = refused("0000A1B2") ? healthy : faulty;
        EXPECT_EQ(panels.ServingWorkers().size(), thread == "Key matrix" ? 2u : 1u);
        host.ClearRecords();
        working->PressKey(0, 0);
        EXPECT_TRUE(Eventually([&] { return host.Records().size() == 1; }));
        working->ReleaseKey(0, 0);
        EXPECT_TRUE(Eventually([&] { return working->LedLit(0, 0); }));
        panels.UnloadMFPs();
        std::remove(logPath.c_str());
    }
}

}  // namespace
