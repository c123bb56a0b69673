#include <atomic>
#include <future>
#include <vector>

#include "tests/iokit/kit_fixture.h"

namespace {

using Report = std::vector<std::uint8_t>;

class KitTransferTest : public KitTest {
protected:
    void SetUp() override {
        KitTest::SetUp();
        board = AddBoard("00000001");
        handle = KitOpenAll();
        ASSERT_NE(handle, 0u);
    }

    static Report Numbered(int n) { return {0x19, static_cast<std::uint8_t>(n), 0, 0, 0, 0, 0, 0}; }

    // A read of one report on pipe 1 on a thread of its own, waiting by the time this returns:
    // the bytes read, and the report's byte 1 or else the error left.
    std::future<std::pair<std::uint32_t, std::uint32_t>> ReadOnAnotherThread() {
        std::atomic<bool> started{false};
        auto reader = std::async(std::launch::async, [this, &started] {
            started = true;
            std::uint8_t buffer[8] = {};
            const std::uint32_t bytes = KitReadPipe(handle, 1, buffer, 8);
            return std::make_pair(bytes, bytes ? buffer[1] : KitGetLastError());
        });
        while (!started) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return reader;
    }

    std::shared_ptr<SimBoard> board;
    KitHandle handle = 0;
};

TEST_F(KitTransferTest, AReportArrivingDuringTheWaitWakesItAtOnce) {
    KitSetReadTimeout(handle, 20000);
    auto reader = ReadOnAnotherThread();
    const auto sent = Clock::now();
    board->SendInputReport(1, Numbered(42));
    EXPECT_EQ(reader.get(), std::make_pair(8u, 42u));
    EXPECT_LT(MillisecondsSince(sent), 5000) << "woken by the report, not the timeout";
}

// Unread reports beyond 128 drop the oldest; a read waits its whole timeout for the rest.
TEST_F(KitTransferTest, ReadsTakeWholeReportsOfTheNewest128) {
    for (int n = 1; n <= 130; ++n) board->SendInputReport(1, Numbered(n));
    WaitUntilQueued(*board);
    KitSetReadTimeout(handle, 100);
    std::uint8_t buffer[24] = {};
    EXPECT_EQ(KitReadPipe(handle, 1, buffer, 23), 16u);
    EXPECT_EQ(buffer[1], 3);
    EXPECT_EQ(buffer[9], 4);
    EXPECT_EQ(buffer[16], 0) << "the remainder stays untouched";
    for (int n = 5; n <= 129; ++n) {
        ASSERT_EQ(KitReadPipe(handle, 1, buffer, 8), 8u) << n;
        ASSERT_EQ(buffer[1], n);
    }
    EXPECT_EQ(KitReadPipe(handle, 1, buffer, 7), 0u) << "shorter than one report";
    const auto start = Clock::now();
    EXPECT_EQ(KitReadPipe(handle, 1, buffer, 16), 8u) << "only one came within the timeout";
    EXPECT_EQ(KitGetLastError(), 1460u);
    EXPECT_EQ(buffer[1], 130);
    EXPECT_GE(MillisecondsSince(start), 95);
    EXPECT_LT(MillisecondsSince(start), 3000);
    board->SendInputReport(0, {0x00, 1, 2, 3, 4});
    WaitUntilQueued(*board);
    EXPECT_EQ(KitReadPipe(handle, 0, buffer, 8), 5u);
    EXPECT_EQ(buffer[4], 4);
}

TEST_F(KitTransferTest, WritesSendWholeReports) {
    struct Case { int pipe; std::uint32_t length, written, reports; };
    const Case cases[] = {{1, 8, 8, 1}, {1, 16, 16, 2}, {1, 13, 8, 1}, {1, 7, 0, 0},
                          {0, 5, 5, 1}, {0, 4, 0, 0},   {0, 10, 10, 2}, {0, 0, 0, 0}};
    std::uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
    bytes[0] = bytes[8] = 0x77;  // report IDs the chip ignores
    bytes[5] = 0x00;             // the second port report
    for (const Case& c : cases) {
        board->ClearReceivedReports();
        KitSetLastError(1460);
        EXPECT_EQ(KitWritePipe(handle, c.pipe, bytes, c.length), c.written) << c.pipe << "/" << c.length;
        EXPECT_EQ(KitGetLastError(), 0u);
        const auto received = board->ReceivedReports();
        ASSERT_EQ(received.size(), c.reports);
        const std::size_t n = c.pipe == 0 ? 5 : 8;
        for (std::size_t r = 0; r < received.size(); ++r) {
            EXPECT_EQ(received[r].pipe, c.pipe);
            EXPECT_EQ(received[r].bytes, Report(bytes + r * n, bytes + (r + 1) * n));
        }
    }
}

TEST_F(KitTransferTest, BadHandlesPipesAndBuffersAreRefused) {
    struct Case { KitHandle handle; int pipe; bool buffer; };
    const Case cases[] = {{0, 1, true}, {handle + 1000, 1, true}, {handle, 2, true},
                          {handle, -1, true}, {handle, 1, false}};
    std::uint8_t buffer[8] = {0x14};
    for (const Case& c : cases) {
        std::uint8_t* bytes = c.buffer ? buffer : nullptr;
        EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(KitReadPipe(c.handle, c.pipe, bytes, 8), 0u); }), 87u);
        EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(KitWritePipe(c.handle, c.pipe, bytes, 8), 0u); }), 87u);
    }
    EXPECT_TRUE(board->ReceivedReports().empty());
}

TEST_F(KitTransferTest, ClosingTheKitWakesAWaitingReadAtOnce) {
    auto reader = ReadOnAnotherThread();  // no timeout
    const auto closed = Clock::now();
    KitCloseAll();
    EXPECT_EQ(reader.get(), std::make_pair(0u, 1460u));
    EXPECT_LT(MillisecondsSince(closed), 2000);
}

TEST_F(KitTransferTest, APulledBoardFailsItsReadsAndWritesUntilTheKitCloses) {
    auto reader = ReadOnAnotherThread();  // no timeout
    board->Pull();
    EXPECT_EQ(reader.get(), std::make_pair(0u, 1460u)) << "woken by the read error";

    EXPECT_TRUE(KitHandleValid(handle));
    KitSetReadTimeout(handle, 100);
    std::uint8_t report[8] = {0x14, 1};
    EXPECT_EQ(KitReadPipe(handle, 1, report, 8), 0u);
    EXPECT_EQ(KitGetLastError(), 1460u);
    EXPECT_EQ(KitWritePipe(handle, 1, report, 8), 0u);
    EXPECT_EQ(KitGetLastError(), 87u);

    board->Plug();  // the open handle stays dead; only a new scan finds the board again
    EXPECT_EQ(KitWritePipe(handle, 1, report, 8), 0u);

    const auto closing = Clock::now();
    KitCloseAll();
    EXPECT_LT(MillisecondsSince(closing), 1000) << "reader threads stop within a turn";
    const KitHandle again = KitOpenAll();
    ASSERT_NE(again, 0u);
    EXPECT_EQ(KitWritePipe(again, 1, report, 8), 8u);
    EXPECT_TRUE(board->LedMatrixOn());
}

TEST_F(KitTransferTest, SeveralThreadsWriteAndReadSeveralBoardsAtOnce) {
    auto second = AddBoard("00000002");
    KitCloseAll();
    KitOpenAll();
    ASSERT_EQ(KitDeviceCount(), 2);
    constexpr int kWrites = 200;
    std::vector<std::thread> threads;
    for (int position = 1; position <= 2; ++position) {
        const KitHandle device = KitDeviceAt(position);
        KitSetReadTimeout(device, 20);
        threads.emplace_back([device] {  // an output thread
            for (int i = 0; i < kWrites; ++i) {
                const std::uint8_t row[8] = {0x15, static_cast<std::uint8_t>(i % 8), 1, 2, 3, 4};
                ASSERT_EQ(KitWritePipe(device, 1, row, 8), 8u);
            }
        });
        threads.emplace_back([device] {  // a key-matrix thread
            std::uint8_t report[8];
            for (int i = 0; i < 20; ++i) KitReadPipe(device, 1, report, 8);
        });
    }
    for (int i = 0; i < 50; ++i) second->SendInputReport(1, Numbered(i));
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(board->ReceivedReports().size(), static_cast<std::size_t>(kWrites));
    EXPECT_EQ(second->ReceivedReports().size(), static_cast<std::size_t>(kWrites));
}

}  // namespace
