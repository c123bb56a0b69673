// A controller board over one simulated board, with the kit closed again after every test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "board/tarnell_controller.h"
#include "iokit/iokit.h"
#include "os/sim_board.h"

using Report = std::vector<std::uint8_t>;

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        KitUseBackend(backend);
        sim = backend.AddBoard({0x07C0, 0x1583, "0000000A"});
        ASSERT_NE(KitOpenAll(), 0u);
        KitSetReadTimeout(KitDeviceAt(1), 1000);
        board = std::make_unique<CTarnellController>(KitDeviceAt(1), true);
    }
    void TearDown() override {
        board->Shutdown();
        KitCloseAll();
    }

    // The reports the board received since the last call, each with its pipe number first.
    std::vector<Report> TakeReports() {
        std::vector<Report> reports;
        for (const SimReport& report : sim->ReceivedReports()) {
            Report bytes{static_cast<std::uint8_t>(report.pipe)};
            bytes.insert(bytes.end(), report.bytes.begin(), report.bytes.end());
            reports.push_back(bytes);
        }
        sim->ClearReceivedReports();
        return reports;
    }

    SimHidBackend backend;
    std::shared_ptr<SimBoard> sim;
    std::unique_ptr<CTarnellController> board;
};
