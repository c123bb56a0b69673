#include "testbed/standin/board_script.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testbed/standin/device_registry.h"
#include "testbed/standin/sim_boards_api.h"
#include "testbed/standin/worker_pool.h"

namespace {

struct KeyStep {
    std::string verb, serial;
    int byte = 0, bit = 0, waitMs = 0;
};

std::vector<KeyStep> ParseSteps(const std::string& script) {
    std::vector<KeyStep> steps;
    std::stringstream texts(script);
    for (std::string text; std::getline(texts, text, ';');) {
        std::stringstream words(text);
        KeyStep step;
        if (!(words >> step.verb)) continue;
        const bool good = step.verb == "wait" ? static_cast<bool>(words >> step.waitMs)
                          : step.verb == "press" || step.verb == "release"
                              ? static_cast<bool>(words >> step.serial >> step.byte >> step.bit)
                              : false;
        if (!good) std::fprintf(stderr, "hid.dll stand-in: MFP_SIM_KEYS step \"%s\" ignored\n", text.c_str());
        else steps.push_back(step);
    }
    return steps;
}

bool Armed(const std::string& serial) {
    const auto board = DeviceRegistry::Get().Board(serial.c_str());
    return board && board->KeyReportsArmed();
}

void PlaySteps(const std::vector<KeyStep>& steps) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (const KeyStep& step : steps) {
        while (!step.serial.empty() && !Armed(step.serial)) {
            if (std::chrono::steady_clock::now() > deadline) {
                std::fprintf(stderr, "hid.dll stand-in: MFP_SIM_KEYS: %s reports no switches within 20 s\n",
                             step.serial.c_str());
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    for (const KeyStep& step : steps) {
        if (step.verb == "wait") std::this_thread::sleep_for(std::chrono::milliseconds(step.waitMs));
        else if (SimBoardSetKey(step.serial.c_str(), step.byte, step.bit, step.verb == "press") != 0)
            std::fprintf(stderr, "hid.dll stand-in: MFP_SIM_KEYS: no switch %d %d on %s\n", step.byte, step.bit,
                         step.serial.c_str());
    }
}

}  // namespace

// Read from the board itself, not through SimBoardMatrix: this runs on a pipe thread, which the
// registry may be waiting for with its lock held. The values are the same.
void TraceBoard(const SimBoard& board) {
    static const char* const path = std::getenv("MFP_SIM_TRACE");
    if (!path) return;
    static std::mutex lock;
    static std::map<std::string, std::string> lastShown;
    const std::string& serial = board.Setup().serial;
    char line[128];
    int used = std::snprintf(line, sizeof line, "%s matrix", serial.c_str());
    for (std::uint32_t row : board.LedRows()) used += std::snprintf(line + used, sizeof line - used, " %08X", row);
    used += std::snprintf(line + used, sizeof line - used, " ports");
    for (std::uint8_t port : board.PortLines()) used += std::snprintf(line + used, sizeof line - used, " %02X", port);
    std::lock_guard<std::mutex> hold(lock);
    if (lastShown[serial] == line) return;
    lastShown[serial] = line;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line);
        std::fclose(file);
    }
}

void StartKeyScript() {
    const char* script = std::getenv("MFP_SIM_KEYS");
    if (!script) return;
    RunOnPoolThread([steps = ParseSteps(script)] { PlaySteps(steps); });
}
