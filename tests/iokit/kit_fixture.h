// A kit over simulated boards, closed again after every test.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "iokit/iokit.h"
#include "os/sim_board.h"

class KitTest : public ::testing::Test {
protected:
    void SetUp() override { KitUseBackend(backend); }
    void TearDown() override { KitCloseAll(); }

    std::shared_ptr<SimBoard> AddBoard(const std::string& serial, std::uint16_t productId = 0x1583) {
        return backend.AddBoard({0x07C0, productId, serial});
    }

    static std::wstring SerialOf(KitHandle handle) {
        wchar_t serial[9] = {};
        KitSerialOf(handle, serial);
        return serial;
    }

    // Waits until the kit's reader threads have queued every report the board sent.
    static void WaitUntilQueued(const SimBoard& board) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (board.PendingInputReports() != 0 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(board.PendingInputReports(), 0u);
    }

    SimHidBackend backend;
};

// The kit's error code a call leaves, the code cleared before it.
template <class Call>
std::uint32_t ErrorOf(Call call) {
    KitSetLastError(0);
    call();
    return KitGetLastError();
}

using Clock = std::chrono::steady_clock;

inline long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
