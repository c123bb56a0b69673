// Shared set-up of the panel runtime tests: simulated boards behind the kit, a simulated host
// with a cockpit view, a configuration file of our own and the log captured to a file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "board/tarnell_controllers.h"
#include "log/log.h"
#include "os/profile_file.h"
#include "os/sim_board.h"
#include "os/sim_host.h"
#include "os/user_message.h"
#include "panels/panel_services.h"

inline SimHostRecord Event(uint32_t id, uint32_t value) { return {SimHostRecord::Kind::Event, id, value}; }

class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        KitUseBackend(backend);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        iniPath = ::testing::TempDir() + "panels_" + name + ".ini";
        logPath = ::testing::TempDir() + "panels_" + name + ".log";
        std::remove(iniPath.c_str());
        std::remove(logPath.c_str());
        theLog.SetFileName(logPath);
        theLog.Enable(true);
        cockpit = host.OpenView("COCKPIT - View 00");
    }
    void TearDown() override {
        KitCloseAll();
        theLog.Enable(false);
        std::remove(iniPath.c_str());
        std::remove(logPath.c_str());
    }

    std::shared_ptr<SimBoard> AddBoard(const std::string& serial, std::uint8_t type = 2) {
        SimBoardSetup setup;
        setup.serial = serial;
        setup.subModules = {{1, {type, 1}}};
        return backend.AddBoard(setup);
    }

    void WriteKey(const std::string& section, const std::string& key, const std::string& value) {
        ASSERT_TRUE(profile.WriteString(section, key, value, iniPath));
    }
    // "Inputs" with every switch doing nothing but the given (key index 0..14, id, value).
    void WriteInputs(const std::string& section,
                     const std::vector<std::tuple<int, std::string, int>>& configured) {
        std::vector<std::string> pairs(15, "10000,0");
        for (const auto& entry : configured)
            pairs[std::get<0>(entry)] = std::get<1>(entry) + "," + std::to_string(std::get<2>(entry));
        std::string line;
        for (const auto& pair : pairs) line += (line.empty() ? "" : ",") + pair;
        WriteKey(section, "Inputs", line);
    }

    PanelServices Services() { return PanelServices{host, host, host, profile, messages, iniPath}; }

    // How many log lines written so far have this message (the text after "] ", without "\n").
    int CountLog(const std::string& message) const {
        std::ifstream file(logPath);
        int count = 0;
        for (std::string line; std::getline(file, line);) {
            const auto bracket = line.find("] ");
            count += bracket != std::string::npos && line.compare(bracket + 2, std::string::npos, message) == 0;
        }
        return count;
    }

    // Polls for a condition with a generous upper bound.
    static bool Eventually(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    bool HostGot(const SimHostRecord& record) {
        return Eventually([&] {
            const std::vector<SimHostRecord> records = host.Records();
            return std::find(records.begin(), records.end(), record) != records.end();
        });
    }

    SimHidBackend backend;
    SimHost host;
    SimProfileFile profile;
    RecordedUserMessages messages;
    std::string iniPath;
    std::string logPath;
    WindowHandle cockpit = 0;
};
