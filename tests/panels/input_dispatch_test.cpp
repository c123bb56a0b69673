// Switch reports to host events and keystrokes.
#include "worker_fixture.h"

namespace {

SimHostRecord KeyDown(uint32_t vk) { return {SimHostRecord::Kind::KeyDown, 0, vk}; }
SimHostRecord KeyUp(uint32_t vk) { return {SimHostRecord::Kind::KeyUp, 0, vk}; }

using InputDispatchTest = WorkerFixture;

TEST_F(InputDispatchTest, ReportsDispatchChangedBitsInOrderAndReleasesDoNothing) {
    // SW2 (0001), SW4 (0003), SW9 (0100), SW10 (0101) send events 2, 4, 9, 10 with values.
    WriteInputs(kSerial, {{1, "2", 20}, {3, "4", 40}, {8, "9", 90}, {9, "A", 100}});
    StartWorker();
    struct Step { std::array<std::uint8_t, 8> keys; std::vector<SimHostRecord> expected; };
    const Step steps[] = {
        // The first report after start-up: every set bit is a press, lower byte and bit first.
        {{0x0A, 0x01}, {Event(2, 20), Event(4, 40), Event(9, 90)}},
        {{0x0A, 0x01}, {}},  // the same report again: nothing
        {{0x00, 0x02}, {Event(10, 100)}},  // releases never act; the press beside them does
        {{0x00, 0x00, 0x01}, {Event(0, 0)}},  // a bit without a switch, added with event 0
        {{0x00, 0x00}, {}},
    };
    for (const Step& step : steps) {
        host.ClearRecords();
        Report(step.keys);
        EXPECT_EQ(host.Records(), step.expected);
    }
    EXPECT_EQ(worker->Inputs().at("0200").eventId, 0u);
    CMFPWorker::OnInputsChanged(kSerial, nullptr, worker.get());  // the board's first call
    EXPECT_TRUE(host.Records().empty());
}

TEST_F(InputDispatchTest, EventRanges) {
    struct Row { const char* eventText; int value; std::vector<SimHostRecord> expected; };
    const std::vector<Row> rows = {
        {"10000", 5, {}},
        {"1000001", 5, {KeyDown(0x70), KeyUp(0x70)}},
        {"1000039", 5, {KeyDown(0x09), KeyUp(0x09)}},
        {"100003A", 5, {Event(0x100003A, 5)}},
        {"FFFF", 7, {Event(0xFFFF, 7)}},
        {"10001", 0, {Event(0x10001, 0)}},
    };
    std::vector<std::tuple<int, std::string, int>> inputs;
    for (std::size_t i = 0; i < rows.size(); ++i)
        inputs.emplace_back(static_cast<int>(i), rows[i].eventText, rows[i].value);
    WriteInputs(kSerial, inputs);
    StartWorker();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].eventText);
        host.ClearRecords();
        Report({static_cast<std::uint8_t>(1u << i)});
        EXPECT_EQ(host.Records(), rows[i].expected);
        Report({});
    }
    EXPECT_EQ(host.Foreground(), SimHost::kMainWindow) << "brought forward for the keystrokes";
    const auto start = std::chrono::steady_clock::now();
    Report({0x02});  // F1 again
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10)) << "the key is held";
}

// Windows' virtual-key codes; 0 for the ids next to the keyboard events.
TEST(KeystrokeVirtualKey, CodesOfTheKeyboardEvents) {
    const std::pair<uint32_t, uint8_t> rows[] = {
        {0x1000001, 0x70}, {0x100000C, 0x7B}, {0x100000D, 0x41}, {0x1000026, 0x5A}, {0x1000027, 0x30},
        {0x1000030, 0x39}, {0x1000031, 0xA4}, {0x1000032, 0xA2}, {0x1000033, 0xA5}, {0x1000034, 0xA3},
        {0x1000035, 0x12}, {0x1000036, 0x11}, {0x1000037, 0x2C}, {0x1000038, 0x13}, {0x1000039, 0x09},
        {0x1000000, 0}, {0x100003A, 0},
    };
    for (const auto& [id, code] : rows) EXPECT_EQ(KeystrokeVirtualKey(id), code) << std::hex << id;
}

TEST_F(InputDispatchTest, MissingMainWindowOnlyLogs) {
    WriteInputs(kSerial, {{0, "1000001", 3}, {1, "42", 7}});
    host.SetMainWindow(false);
    StartWorker();
    host.SetMainWindow(true);  // appearing later changes nothing: it is looked for at start-up
    Report({0x03});
    EXPECT_TRUE(host.Records().empty());
    EXPECT_EQ(CountLog("trigger_key_event(16777217, 3)"), 1);
    EXPECT_EQ(CountLog("trigger_key_event(66, 7)"), 1);
}

TEST_F(InputDispatchTest, FindSimulatorViewPrefersTheCockpit) {
    StartWorker();
    const WindowHandle spot = host.OpenView("SPOT - View 00");
    host.OpenView("TOWER - View 01");
    EXPECT_EQ(worker->FindSimulatorView(), cockpit);
    host.CloseView(cockpit);
    EXPECT_EQ(worker->FindSimulatorView(), spot);
    host.CloseView(spot);
    EXPECT_EQ(worker->FindSimulatorView(), 0u) << "View 01 is not searched for";
}

}  // namespace
