// A worker driven directly on the test thread: its tables loaded, no thread of its own, so that
// each pass and each switch report happens exactly when the test says.
#pragma once

#include "panels/mfp_worker.h"
#include "panel_fixture.h"

class WorkerFixture : public PanelFixture {
protected:
    static constexpr const char* kSerial = "0000A1B2";

    void SetUp() override {
        PanelFixture::SetUp();
        sim = AddBoard(kSerial);
    }
    void TearDown() override {
        worker.reset();
        registry.CloseAll();
        PanelFixture::TearDown();
    }

    // Opens the board and loads the worker's tables from the file written so far.
    void StartWorker() {
        ASSERT_TRUE(registry.LoadControllers());
        CTarnellController* board = registry.SelectControllers("02", "01").at(kSerial);
        ASSERT_TRUE(board->EnableLedMatrix(true));
        runFlag.Set();
        worker = std::make_unique<CMFPWorker>(Services());
        worker->SetBoard(board);
        worker->SetRunFlag(&runFlag);
        ASSERT_TRUE(worker->LoadPanelData());
    }

    void Report(std::array<std::uint8_t, 8> keys) {
        CMFPWorker::OnInputsChanged(kSerial, keys.data(), worker.get());
    }

    std::shared_ptr<SimBoard> sim;
    CTarnellControllers registry;
    RunFlag runFlag;
    std::unique_ptr<CMFPWorker> worker;
};
