// Long runs of the panel set, for ThreadSanitizer: boards pulled and plugged back while
// switches are pressed and outputs refreshed, and the set loaded and unloaded a thousand times.
// They print their figures; a leak shows in the thread count here and in LeakSanitizer's run.
#include <dirent.h>
#include <malloc.h>

#include <cstdio>

#include "panels/mfp.h"
#include "panel_fixture.h"

namespace {

int ThreadCount() {
    int threads = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) threads += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return threads;
}

// The heap the process has in use: resident pages would also count the stacks of ended
// threads, which the C library keeps for the next ones.
long HeapInUseKiB() { return static_cast<long>(mallinfo2().uordblks / 1024); }

class SoakTest : public PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        theLog.Enable(false);  // a log line per pass and press would make the file the test
        for (int i = 0; i < 4; ++i) {
            const std::string serial = "0000000" + std::to_string(i + 1);
            boards.push_back(AddBoard(serial));
            WriteInputs(serial, {{0, std::to_string(101 + i), i}});
            WriteKey(serial, "outputs", "2,1,1,%g,1,0,0");
        }
    }
    // A press of SW1 on board i reaches the host as its event.
    bool PressReaches(int i) {
        host.ClearRecords();
        boards[i]->PressKey(0, 0);
        const bool reached = HostGot(Event(0x101u + i, static_cast<uint32_t>(i)));
        boards[i]->ReleaseKey(0, 0);
        return reached;
    }

    std::vector<std::shared_ptr<SimBoard>> boards;
};

TEST_F(SoakTest, FourPanelsThroughTwoHundredReplugsLoseNoPress) {
    constexpr int kCycles = 200;
    CMFP panels(Services());
    ASSERT_EQ(panels.LoadMFPs(), 4);
    int threadsAfterFirst = 0;
    int threadsAfterLast = 0;
    long heapAtTenth = 0;
    int lostPresses = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        const int pulled = cycle % 4;
        boards[pulled]->Pull();
        lostPresses += !PressReaches((pulled + 1) % 4) ? 1 : 0;  // the others run on meanwhile
        panels.UnloadMFPs();
        // Counted with the set unloaded, when no thread of the panels may be left.
        if (cycle == 1) threadsAfterFirst = ThreadCount();
        if (cycle == kCycles) threadsAfterLast = ThreadCount();
        boards[pulled]->Plug();
        ASSERT_EQ(panels.LoadMFPs(), 4) << "cycle " << cycle;
        lostPresses += !PressReaches(pulled) ? 1 : 0;
        if (cycle % 20 == 0) {  // the outputs follow the gauge after the replug
            host.SetGauge(1, (cycle / 20) % 2);
            EXPECT_TRUE(Eventually([&] { return boards[pulled]->LedLit(0, 0) == ((cycle / 20) % 2 == 1); }));
        }
        // The simulated chips keep every report they get, for tests to read: not the module's memory.
        for (const auto& board : boards) board->ClearReceivedReports();
        if (cycle == 10) heapAtTenth = HeapInUseKiB();
    }
    EXPECT_EQ(lostPresses, 0);
    EXPECT_EQ(threadsAfterLast, threadsAfterFirst);
    // Memory is a figure to read, not to assert.
    std::printf("replug soak: %d cycles, %d threads after the first and the last, heap in use %ld KiB after cycle 10, "
                "%ld KiB after the last\n", kCycles, threadsAfterFirst, heapAtTenth, HeapInUseKiB());
    panels.UnloadMFPs();
}

// Loading and unloading the set, and reloading the data while the configuration dialog holds
// the boards (its pages' callbacks registered, as the module's pages do).
TEST_F(SoakTest, AThousandLoadsAndReloadsUnderTheConfigurationDialog) {
    constexpr int kCycles = 1000;
    CMFP panels(Services());
    int threadsAfterFirst = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        ASSERT_EQ(panels.LoadMFPs(), 4) << "cycle " << cycle;
        panels.UnloadMFPs();
        // Counted after the first cycle: a sanitizer's runtime starts a thread of its own then.
        if (cycle == 1) threadsAfterFirst = ThreadCount();
    }
    EXPECT_EQ(ThreadCount(), threadsAfterFirst);

    struct HoldingDialog : ConfigurationDialog {
        int Run(const std::map<std::string, CTarnellController*>& held) override {
            const KeyMatrixCallback page = [](const std::string&, const uint8_t*, void*) { return 1; };
            for (const auto& entry : held) registered += entry.second->SetKeyMatrixCallback(true, page, nullptr);
            for (int reload = 0; reload < 20; ++reload) panels->ReloadDataFromINI();
            for (const auto& entry : held) entry.second->SetKeyMatrixCallback(false, nullptr, nullptr);
            return kSaved;
        }
        CMFP* panels = nullptr;
        int registered = 0;
    } dialog;
    dialog.panels = &panels;
    ASSERT_EQ(panels.LoadMFPs(), 4);
    panels.RunConfiguration(dialog);
    EXPECT_EQ(dialog.registered, 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(PressReaches(i)) << i;
    panels.UnloadMFPs();
    std::printf("load soak: %d loads and unloads of 4 panels, %d threads after the first and the last\n", kCycles,
                threadsAfterFirst);
}

}  // namespace
