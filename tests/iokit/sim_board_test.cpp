// The simulated board answers the special-function reports as the chip does.
#include <gtest/gtest.h>

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

// A special-function report: 8 bytes, the ones not given 0.
Report Special(std::initializer_list<std::uint8_t> bytes) {
    Report report(bytes);
    report.resize(8, 0);
    return report;
}

bool Send(SimBoard& board, int pipe, const Report& bytes) {
    return board.ReceiveOutputReport(pipe, bytes.data(), bytes.size());
}

struct Sent { int pipe; Report bytes; };

// The pin state and the identity of module 1 are held to the chip by the board tests, which
// check every report sent and what the answers gave; here, what those cannot see.
TEST(SimBoardTest, AnswersTheSpecialFunctionReports) {
    // answers: on the special-function interface, in order.
    const struct { const char* name; std::vector<Sent> sent; std::vector<Report> answers; } cases[] = {
        {"I2C exchanges are ignored while I2C is off", {{1, Special({0x02, 0x82, 0xA0, 0x80})}}, {}},
        {"a module answering 255 is reported as is",
         {{1, Special({0x01, 1})}, {1, Special({0x02, 0x82, 0xA4, 0x80})}, {1, Special({0x03, 2, 0xA5})}},
         {Special({0x02, 0x00}), Special({0x03, 2, 0xFF, 0x07})}},
        {"a missing module does not answer",
         {{1, Special({0x01, 1})}, {1, Special({0x02, 0x82, 0xA2, 0x80})}, {1, Special({0x03, 2, 0xA3})}},
         {Special({0x02, 0x80}), Special({0x03, 0x80})}},
        {"a read without a write first fails",
         {{1, Special({0x01, 1})}, {1, Special({0x03, 2, 0xA1})}},
         {Special({0x03, 0x80})}},
        {"the key matrix does not report while off", {{1, Special({0x19})}}, {}},
        {"unknown reports are ignored", {{1, Special({0x55, 1})}}, {}},
    };
    for (const auto& c : cases) {
        SimBoard board({});
        board.SetSubModule(3, 0xFF, 0x07);
        board.SetKeys({0x01, 0, 0, 0, 0, 0, 0, 0x80});
        Recorder recorder;
        board.AddListener(1, &recorder);
        for (const Sent& sent : c.sent) EXPECT_TRUE(Send(board, sent.pipe, sent.bytes)) << c.name;
        EXPECT_EQ(recorder.reports, c.answers) << c.name;
        EXPECT_EQ(board.ReceivedReports().size(), c.sent.size()) << c.name;
        board.RemoveListener(&recorder);
    }
}

// Rows light only while the function is on, and switching it either way starts dark.
TEST(SimBoardTest, LedMatrixRowsLightColumns) {
    SimBoard board({});
    const Report row7 = Special({0x15, 7, 0x01, 0x00, 0x02, 0x80});
    Send(board, 1, row7);
    EXPECT_EQ(board.LedRows()[7], 0u) << "ignored while the function is off";
    Send(board, 1, Special({0x14, 1}));
    Send(board, 1, row7);
    Send(board, 1, Special({0x15, 8, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(board.LedRows(), (std::array<std::uint32_t, 8>{0, 0, 0, 0, 0, 0, 0, 0x80020001u}));
    Send(board, 1, Special({0x14, 0}));
    Send(board, 1, Special({0x14, 1}));
    EXPECT_EQ(board.LedRows(), (std::array<std::uint32_t, 8>{}));
}

// A read request reports the key state, then every change (upper half first); an unchanged
// press reports nothing, and switching the function off ends the reports.
TEST(SimBoardTest, KeyChangesAreReportedOnlyAfterAReadRequest) {
    SimBoard board({});
    Recorder recorder;
    board.AddListener(1, &recorder);
    Send(board, 1, Special({0x18, 1}));
    board.PressKey(1, 6);
    EXPECT_TRUE(recorder.reports.empty());
    Send(board, 1, Special({0x19}));
    board.PressKey(5, 0);
    board.PressKey(5, 0);
    board.ReleaseKey(1, 6);
    Send(board, 1, Special({0x18, 0}));
    board.PressKey(0, 0);
    EXPECT_EQ(recorder.reports, (std::vector<Report>{Special({0x1A, 0, 0, 0, 0}), Special({0x19, 0, 0x40, 0, 0}),
                                                     Special({0x1A, 0, 0x01, 0, 0}), Special({0x19, 0, 0x40, 0, 0}),
                                                     Special({0x1A, 0, 0x01, 0, 0}), Special({0x19, 0, 0, 0, 0})}));
    board.RemoveListener(&recorder);
}

TEST(SimBoardTest, APulledBoardRefusesReportsAndPowersUpAfresh) {
    SimBoard board({});
    Recorder recorder;
    board.AddListener(1, &recorder);
    Send(board, 0, {0x00, 0, 0, 0, 0});
    Send(board, 1, Special({0x14, 1}));
    EXPECT_FALSE(Send(board, 1, {0x00, 0, 0, 0, 0})) << "wrong length";
    board.Pull();
    EXPECT_TRUE(recorder.pulled);
    EXPECT_FALSE(Send(board, 1, Special({0x14, 1})));
    EXPECT_TRUE(board.Interfaces(1).empty());
    board.SendInputReport(1, Special({0x19}));
    EXPECT_TRUE(recorder.reports.empty());
    board.Plug();
    EXPECT_EQ(board.PortLines(), (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(board.LedMatrixOn());
    EXPECT_EQ(board.Interfaces(1).size(), 2u);
    EXPECT_EQ(board.ReceivedReports().size(), 2u);
}

}  // namespace
