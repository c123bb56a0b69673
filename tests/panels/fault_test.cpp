// Faults injected through the seams while two panels run: the faulty panel keeps working as
// far as it can, says why in the log, and the other panel is not affected.
#include <filesystem>

#include "os/sim_thread_starter.h"
#include "panels/mfp.h"
#include "panel_fixture.h"

namespace {

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
    // A press on each board reaches the host.
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

// A write failing in a pass is sent again by the next; reads ending empty or failed on a
// plugged board lose no press.
TEST_F(FaultTest, FailedWritesAndReadsLoseNothing) {
    CMFP panels(Services());
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
        const int pressesBefore = CountLog("0000A1B2:0000 pressed");
        faulty->PressKey(0, 0);
        EXPECT_TRUE(Eventually([&] { return CountLog("0000A1B2:0000 pressed") > pressesBefore; }));
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
