// One board's outputs and identity, checked by the reports the simulated board received and
// the LEDs and lines it shows.
#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "board/segment_pattern.h"
#include "tests/board/board_fixture.h"

namespace {

class OutputTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        ASSERT_TRUE(board->EnableLedMatrix(true));
        TakeReports();
    }
};

TEST_F(OutputTest, MatrixLedsAtTheCorners) {
    struct Case { int led; Report lit; };  // the row report that lights the LED alone
    const Case cases[] = {
        {1, {1, 0x15, 0, 0x01, 0, 0, 0, 0, 0}},  {8, {1, 0x15, 7, 0x01, 0, 0, 0, 0, 0}},
        {9, {1, 0x15, 0, 0x02, 0, 0, 0, 0, 0}},  {249, {1, 0x15, 0, 0, 0, 0, 0x80, 0, 0}},
        {256, {1, 0x15, 7, 0, 0, 0, 0x80, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.led);
        ASSERT_EQ(board->SetMatrixLed(c.led, 1), 0);
        EXPECT_EQ(board->SetMatrixLed(c.led, 2), 0) << "state 2 changes nothing";
        EXPECT_EQ(board->SetMatrixLed(c.led, 1), 0);
        ASSERT_EQ(board->SetMatrixLed(c.led, 0), 0);
        Report dark = c.lit;
        std::fill(dark.begin() + std::min<std::ptrdiff_t>(3, dark.size()), dark.end(), 0);
        EXPECT_EQ(TakeReports(), (std::vector<Report>{c.lit, dark}));
    }
    EXPECT_EQ(board->SetMatrixLed(0, 1), -1);
    EXPECT_EQ(board->SetMatrixLed(257, 1), -1);
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(OutputTest, DisplayTexts) {
    // columns: column -> segments; every other column stays as it was.
    struct Case { const char* name; int position; const char* text; int width, alignment; std::map<int, int> columns; };
    const Case cases[] = {
        {"points merge into their digit", 1, "12.5", -1, 1, {{0, 0x06}, {1, 0xDB}, {2, 0x6D}}},
        {"right-aligned pads in front", 1, "7", 3, 1, {{0, 0}, {1, 0}, {2, 0x07}}},
        {"left-aligned pads behind", 1, "7", 3, 0, {{0, 0x07}, {1, 0}, {2, 0}}},
        {"width counts digits, not points", 1, "12.5", 3, 1, {{0, 0x06}, {1, 0xDB}, {2, 0x6D}, {3, 0xFF}}},
        {"right alignment keeps the last digits", 1, "1234.5", 3, 1, {{0, 0x4F}, {1, 0xE6}, {2, 0x6D}}},
        {"left alignment keeps the first digits", 1, "12.34", 2, 0, {{0, 0x06}, {1, 0xDB}, {2, 0xFF}}},
        {"clipped at column 31", 30, "1234", -1, 0, {{28, 0xFF}, {29, 0x06}, {30, 0x5B}, {31, 0x4F}}},
        {"position 0 starts off the display", 0, "12", -1, 0, {{0, 0x5B}, {1, 0xFF}}},
        {"lower case shows as capitals", 1, "abc", -1, 0, {{0, 0x77}, {1, 0x7C}, {2, 0x39}}},
        {"blanks blank their digit", 1, "K M", -1, 0, {{0, 0}, {1, 0}, {2, 0}}},
        {"two points after a digit", 1, "1..", -1, 0, {{0, 0x86}, {1, 0x80}, {2, 0xFF}}},
        {"two points alone are one blank digit", 1, "..", -1, 0, {{0, 0}, {1, 0xFF}}},
        {"a leading point stands alone", 1, ".5", -1, 0, {{0, 0x80}, {1, 0x6D}}},
        {"other alignments show nothing", 1, "12", 5, 2, {{0, 0xFF}, {1, 0xFF}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Every column lit first, so that blanked columns show.
        ASSERT_EQ(board->WriteDisplay(1, "8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.8.",
                                      -1, 0), 0);
        ASSERT_EQ(board->WriteDisplay(c.position, c.text, c.width, c.alignment), 0);
        for (int column = 0; column < 32; ++column) {
            int shown = 0;  // the segments of the digit: bit r is row r
            for (int row = 0; row < 8; ++row) shown |= sim->LedLit(row, column) ? 1 << row : 0;
            const auto found = c.columns.find(column);
            EXPECT_EQ(shown, found == c.columns.end() ? 0xFF : found->second) << "column " << column;
        }
    }
}

// The characters the digits can show, with their segments (bit 0 segment a ... bit 7 the
// point); every other byte is blank.
TEST(SegmentPattern, ShowsTheTableAndNothingElse) {
    const std::string shown = "0123456789ABCDEFGHIJLNOPRSTUZ-._!\"#$%&'";
    const int patterns[] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x67, 0x77, 0x7C, 0x39,
                            0x5E, 0x79, 0x71, 0x7D, 0x76, 0x30, 0x0E, 0x38, 0x54, 0x3F, 0x73, 0x50, 0x6D,
                            0x07, 0x3E, 0x5B, 0x40, 0x80, 0x08, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40};
    for (int byte = 0; byte < 256; ++byte) {
        const std::size_t at = shown.find(static_cast<char>(byte));
        EXPECT_EQ(SegmentPattern(static_cast<char>(byte)), at == std::string::npos ? 0 : patterns[at]) << byte;
    }
}

TEST_F(OutputTest, UnchangedWritesSendNothing) {
    struct Case { const char* name; std::function<bool(CTarnellController&)> write; };
    const Case cases[] = {
        {"display", [](CTarnellController& b) { return b.WriteDisplay(3, "-12.5", 6, 1) == 0; }},
        {"port line", [](CTarnellController& b) { return b.SetPortBit(2, 5, 1); }},
        {"row with kept bytes", [](CTarnellController& b) { return b.WriteLedMatrixRow(3, 0x11, -1, 0x22, -1) == 0; }},
        {"LED matrix on", [](CTarnellController& b) { return b.EnableLedMatrix(true); }},
        {"I2C on", [](CTarnellController& b) { return b.EnableIic(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.write(*board));
        TakeReports();
        ASSERT_TRUE(c.write(*board));
        EXPECT_TRUE(TakeReports().empty());
    }
}

TEST_F(OutputTest, OffFunctionsRefuseOutputs) {
    ASSERT_TRUE(board->EnableLedMatrix(false));
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{1, 0x14, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(board->SetMatrixLed(1, 1), -3);
    EXPECT_EQ(board->WriteDisplay(1, "8", -1, 0), -3);
    EXPECT_EQ(board->WriteLedMatrixRow(0, 1, 1, 1, 1), -3);
    EXPECT_TRUE(TakeReports().empty());
    // Switching on again starts from a dark matrix, so a lit LED is sent anew.
    ASSERT_EQ(board->SetMatrixLed(1, 1), -3);
    ASSERT_TRUE(board->EnableLedMatrix(true));
    ASSERT_EQ(board->SetMatrixLed(1, 1), 0);
    EXPECT_TRUE(sim->LedLit(0, 0));
}

TEST_F(BoardTest, PortBitsReadThePinsFirst) {
    // Lines as another program left them: port 0 half low.
    const std::uint8_t lines[5] = {0x00, 0x0F, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(KitWritePipe(board->Handle(), 0, lines, 5), 5u);
    TakeReports();

    ASSERT_TRUE(board->SetPortBit(0, 3, 1));
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{1, 0xFF, 0, 0, 0, 0, 0, 0, 0},
                                                  {0, 0x00, 0x07, 0xFF, 0xFF, 0xFF}}));
    EXPECT_EQ(sim->PortLines()[0], 0x07);
    EXPECT_TRUE(board->SetPortBit(0, 7, 1)) << "already low";
    EXPECT_TRUE(TakeReports().empty());
    ASSERT_TRUE(board->SetPortBit(3, 0, 1));
    ASSERT_TRUE(board->SetPortBit(0, 7, 0));
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{0, 0x00, 0x07, 0xFF, 0xFF, 0xFE},
                                                  {0, 0x00, 0x87, 0xFF, 0xFF, 0xFE}}));
    EXPECT_FALSE(board->SetPortBit(4, 0, 1));
    EXPECT_FALSE(board->SetPortBit(0, 8, 1));
    EXPECT_FALSE(board->SetPortBit(-1, 0, 1));
    EXPECT_TRUE(TakeReports().empty());
}

// GetModuleId's result and outputs; outputs that start as 7 stay 7 when it fails.
using Identity = std::tuple<bool, int, int>;
Identity ModuleId(CTarnellController& board, int module, bool refresh = false) {
    int type = 7, version = 7;
    const bool found = board.GetModuleId(type, version, module, refresh);
    return {found, type, version};
}

TEST_F(BoardTest, ModuleIdentity) {
    EXPECT_EQ(ModuleId(*board, 1), Identity(true, 2, 1));
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{1, 0x01, 1, 0, 0, 0, 0, 0, 0},
                                                  {1, 0x02, 0x82, 0xA0, 0x80, 0, 0, 0, 0},
                                                  {1, 0x03, 2, 0xA1, 0, 0, 0, 0, 0},
                                                  {1, 0x01, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_FALSE(sim->IicOn()) << "switched off again";
    sim->SetSubModule(1, 3, 4);
    EXPECT_EQ(ModuleId(*board, 1), Identity(true, 2, 1)) << "known identities come from the cache";
    EXPECT_TRUE(TakeReports().empty());
    EXPECT_EQ(ModuleId(*board, 1, true), Identity(true, 3, 4));

    struct Case { const char* name; std::function<void()> breakModule; };
    const Case failures[] = {
        {"no module", [this] { sim->RemoveSubModule(2); }},
        {"type 255", [this] { sim->SetSubModule(2, 255, 1); }},
        {"version 255", [this] { sim->SetSubModule(2, 2, 255); }},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.name);
        CTarnellController fresh(board->Handle(), true);
        c.breakModule();
        for (int ask = 0; ask < 2; ++ask) {  // a failure is not remembered: asked again
            TakeReports();
            EXPECT_EQ(ModuleId(fresh, 2), Identity(false, 7, 7));
            EXPECT_GE(TakeReports().size(), 3u);
        }
        sim->SetSubModule(2, 2, 1);
        EXPECT_EQ(ModuleId(fresh, 2), Identity(true, 2, 1));
    }
    for (int module : {0, 9}) EXPECT_EQ(ModuleId(*board, module), Identity(false, 7, 7)) << module;
}

TEST_F(BoardTest, ModuleRegistersNeedI2cOn) {
    std::uint8_t b0 = 0;
    EXPECT_FALSE(board->ReadModuleRegister(1, 0x80, b0));
    EXPECT_TRUE(TakeReports().empty());
    ASSERT_TRUE(board->EnableIic(true));
    std::uint8_t b1 = 0;
    ASSERT_TRUE(board->ReadModuleRegister(1, 0x80, b0, &b1));
    EXPECT_EQ(b0, 2);
    EXPECT_EQ(b1, 1);
    ASSERT_TRUE(board->EnableIic(false));
    TakeReports();
    ASSERT_TRUE(board->EnableIic(false));
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{1, 0x01, 0, 0, 0, 0, 0, 0, 0}})) << "off is always sent";
}

TEST_F(BoardTest, PulledAndClosedBoards) {
    ASSERT_TRUE(board->EnableLedMatrix(true));
    sim->Pull();
    EXPECT_TRUE(board->IsConnected()) << "known to the kit until it is closed";
    EXPECT_EQ(board->SetMatrixLed(1, 1), -1);
    EXPECT_EQ(KitGetLastError(), 55u);
    EXPECT_EQ(board->WriteDisplay(1, "8", -1, 0), -1);
    EXPECT_EQ(KitGetLastError(), 55u);
    std::uint8_t pins = 0;
    EXPECT_FALSE(board->ReadPins(pins));
    EXPECT_EQ(KitGetLastError(), 55u) << "the request could not be written";
    EXPECT_FALSE(board->EnableIic(true));

    KitCloseAll();
    EXPECT_FALSE(board->IsConnected());
    std::uint8_t buffer[8];
    EXPECT_EQ(board->ReadReport(1, buffer, 8), 0u);
    EXPECT_EQ(KitGetLastError(), 55u) << "an unknown handle means the device is gone";
}

}  // namespace
