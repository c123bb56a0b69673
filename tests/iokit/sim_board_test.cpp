// The simulated board answers the special-function reports as the chip does.
#include <gtest/gtest.h>

#include <mutex>

#include "os/sim_board.h"

namespace {

using Report = std::vector<std::uint8_t>;

// Collects the board's input reports on one interface.
class Recorder : public SimInputListener {
public:
    void OnInputReport(const Report& report) override { reports.push_back(report); }
    void OnPulled() override { pulled = true; }
    std::size_t PendingReports() override { return reports.size(); }
    std::vector<Report> reports;
    bool pulled = false;
};

struct Sent {
    int pipe;
    Report bytes;
};

Report Special(std::initializer_list<std::uint8_t> bytes) {
    Report report(bytes);
    report.resize(8, 0);
    return report;
}

struct Case {
    const char* name;
    std::vector<Sent> sent;
    std::vector<Report> answers;  // on the special-function interface, in order
};

TEST(SimBoardTest, AnswersTheSpecialFunctionReports) {
    const Case cases[] = {
        {"pin state at power-up", {{1, Special({0xFF})}}, {Special({0xFF, 0xFF, 0xFF, 0xFF, 0xFF})}},
        {"pin state after a port report",
         {{0, {0x00, 0x12, 0x34, 0x56, 0x78}}, {1, Special({0xFF})}},
         {Special({0xFF, 0x12, 0x34, 0x56, 0x78})}},
        {"I2C exchanges are ignored while I2C is off", {{1, Special({0x02, 0x82, 0xA0, 0x80})}}, {}},
        {"module 1 tells type and version at 0x80",
         {{1, Special({0x01, 1})}, {1, Special({0x02, 0x82, 0xA0, 0x80})}, {1, Special({0x03, 2, 0xA1})}},
         {Special({0x02, 0x00}), Special({0x03, 2, 0x02, 0x01})}},
        {"a read of one byte at 0x81 gives the version",
         {{1, Special({0x01, 1})}, {1, Special({0x02, 0x82, 0xA0, 0x81})}, {1, Special({0x03, 1, 0xA1})}},
         {Special({0x02, 0x00}), Special({0x03, 1, 0x01})}},
        {"a missing module does not answer",
         {{1, Special({0x01, 1})}, {1, Special({0x02, 0x82, 0xA2, 0x80})}, {1, Special({0x03, 2, 0xA3})}},
         {Special({0x02, 0x80}), Special({0x03, 0x80})}},
        {"a read without a write first fails",
         {{1, Special({0x01, 1})}, {1, Special({0x03, 2, 0xA1})}},
         {Special({0x03, 0x80})}},
        {"the key matrix does not report while off", {{1, Special({0x19})}}, {}},
        {"a key-matrix read request reports the state, upper half first",
         {{1, Special({0x18, 1})}, {1, Special({0x19})}},
         {Special({0x1A, 0, 0, 0, 0x80}), Special({0x19, 0x01, 0, 0, 0})}},
        {"unknown reports are ignored", {{1, Special({0x55, 1})}}, {}},
    };
    for (const Case& c : cases) {
        SimBoard board({});
        board.SetKeys({0x01, 0, 0, 0, 0, 0, 0, 0x80});
        Recorder recorder;
        board.AddListener(1, &recorder);
        for (const Sent& sent : c.sent) {
            EXPECT_TRUE(board.ReceiveOutputReport(sent.pipe, sent.bytes.data(), sent.bytes.size())) << c.name;
        }
        EXPECT_EQ(recorder.reports, c.answers) << c.name;
        EXPECT_EQ(board.ReceivedReports().size(), c.sent.size()) << c.name;
        board.RemoveListener(&recorder);
    }
}

TEST(SimBoardTest, AModuleAnswering255IsReportedAsIs) {
    SimBoard board({});
    board.SetSubModule(3, 0xFF, 0x07);
    Recorder recorder;
    board.AddListener(1, &recorder);
    for (const Report& r : {Special({0x01, 1}), Special({0x02, 0x82, 0xA4, 0x80}), Special({0x03, 2, 0xA5})}) {
        board.ReceiveOutputReport(1, r.data(), r.size());
    }
    EXPECT_EQ(recorder.reports.back(), Special({0x03, 2, 0xFF, 0x07}));
    board.RemoveListener(&recorder);
}

TEST(SimBoardTest, LedMatrixRowsLightColumns) {
    SimBoard board({});
    const Report row7 = Special({0x15, 7, 0x01, 0x00, 0x02, 0x80});
    board.ReceiveOutputReport(1, row7.data(), row7.size());
    EXPECT_EQ(board.LedRows()[7], 0u) << "ignored while the function is off";
    const Report on = Special({0x14, 1});
    board.ReceiveOutputReport(1, on.data(), on.size());
    board.ReceiveOutputReport(1, row7.data(), row7.size());
    EXPECT_EQ(board.LedRows()[7], 0x80020001u);
    EXPECT_TRUE(board.LedLit(7, 0));
    EXPECT_TRUE(board.LedLit(7, 17));
    EXPECT_TRUE(board.LedLit(7, 31));
    EXPECT_FALSE(board.LedLit(6, 0));
    const Report badRow = Special({0x15, 8, 0xFF, 0xFF, 0xFF, 0xFF});
    board.ReceiveOutputReport(1, badRow.data(), badRow.size());
    const Report off = Special({0x14, 0});
    board.ReceiveOutputReport(1, off.data(), off.size());
    board.ReceiveOutputReport(1, on.data(), on.size());
    EXPECT_EQ(board.LedRows(), (std::array<std::uint32_t, 8>{})) << "switching starts dark";
}

TEST(SimBoardTest, KeyChangesAreReportedOnlyAfterAReadRequest) {
    SimBoard board({});
    Recorder recorder;
    board.AddListener(1, &recorder);
    const Report on = Special({0x18, 1});
    board.ReceiveOutputReport(1, on.data(), on.size());
    board.PressKey(1, 6);
    EXPECT_TRUE(recorder.reports.empty());
    const Report request = Special({0x19});
    board.ReceiveOutputReport(1, request.data(), request.size());
    board.PressKey(5, 0);
    board.PressKey(5, 0);  // no change, no report
    board.ReleaseKey(1, 6);
    const std::vector<Report> expected = {
        Special({0x1A, 0, 0, 0, 0}), Special({0x19, 0, 0x40, 0, 0}),
        Special({0x1A, 0, 0x01, 0, 0}), Special({0x19, 0, 0x40, 0, 0}),
        Special({0x1A, 0, 0x01, 0, 0}), Special({0x19, 0, 0, 0, 0}),
    };
    EXPECT_EQ(recorder.reports, expected);
    const Report off = Special({0x18, 0});
    board.ReceiveOutputReport(1, off.data(), off.size());
    board.PressKey(0, 0);
    EXPECT_EQ(recorder.reports.size(), expected.size()) << "switching off ends the reports";
    board.RemoveListener(&recorder);
}

TEST(SimBoardTest, APulledBoardRefusesReportsAndPowersUpAfresh) {
    SimBoard board({});
    Recorder recorder;
    board.AddListener(1, &recorder);
    const Report port = {0x00, 0, 0, 0, 0};
    const Report on = Special({0x14, 1});
    board.ReceiveOutputReport(0, port.data(), port.size());
    board.ReceiveOutputReport(1, on.data(), on.size());
    EXPECT_FALSE(board.ReceiveOutputReport(1, port.data(), port.size())) << "wrong length";
    board.Pull();
    EXPECT_TRUE(recorder.pulled);
    EXPECT_FALSE(board.ReceiveOutputReport(1, on.data(), on.size()));
    EXPECT_TRUE(board.Interfaces(1).empty());
    board.SendInputReport(1, Special({0x19}));
    EXPECT_TRUE(recorder.reports.empty());
    board.Plug();
    EXPECT_EQ(board.PortLines(), (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(board.LedMatrixOn());
    EXPECT_EQ(board.Interfaces(1).size(), 2u);
    EXPECT_EQ(board.ReceivedReports().size(), 2u);
}

TEST(SimBoardTest, InterfacesDescribeTheChip) {
    SimBoardSetup setup;
    setup.productId = 0x03E8;
    setup.serial = "0000A1B2";
    SimBoard board(setup);
    const auto interfaces = board.Interfaces(7);
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[0].caps.outputReportByteLength, 5);
    EXPECT_EQ(interfaces[1].caps.outputReportByteLength, 8);
    EXPECT_EQ(interfaces[1].caps.inputReportByteLength, 8);
    EXPECT_NE(interfaces[0].path, interfaces[1].path);
    EXPECT_NE(interfaces[1].path.find("vid_07c0&pid_03e8&mi_01#"), std::string::npos);
    EXPECT_EQ(interfaces[0].physicalDevice, 7u);
    EXPECT_EQ(interfaces[0].serial[4], u'A');
    EXPECT_NE(interfaces[0].serial, interfaces[0].languageList);
}

}  // namespace
