#include <set>

#include "os/sim_thread_starter.h"
#include "tests/iokit/kit_fixture.h"

namespace {

TEST_F(KitTest, TheChipWhoseInterfacesCameLastIsPositionOne) {
    AddBoard("0000000A", 0x03E8);
    AddBoard("0000000B", 0x1583);
    KitHandle before = 0;
    for (int round = 0; round < 2; ++round) {  // closed and opened again: fresh handles
        const KitHandle first = KitOpenAll();
        ASSERT_EQ(KitDeviceCount(), 2);
        EXPECT_EQ(first, KitDeviceAt(1));
        EXPECT_FALSE(KitHandleValid(before)) << "a handle of the round before";
        EXPECT_EQ(KitProductIdOf(KitDeviceAt(1)), 0x1583);
        EXPECT_EQ(SerialOf(KitDeviceAt(1)), L"0000000B");
        EXPECT_EQ(KitProductIdOf(KitDeviceAt(2)), 0x03E8);
        EXPECT_EQ(SerialOf(KitDeviceAt(2)), L"0000000A");
        KitCloseAll();
        EXPECT_EQ(KitDeviceCount(), 0);
        before = first;
    }
}

// Interfaces of other devices (a keyboard, another IO-Warrior product) are never described:
// nothing beyond their attributes is asked of them.
TEST_F(KitTest, OnlySupportedChipsWithBothInterfacesAreListed) {
    struct Case { std::uint16_t vendorId, productId; int interfaces; bool listed; int described; };
    const Case cases[] = {
        {0x07C0, 0x03E8, 2, true, 2},  {0x07C0, 0x03EA, 2, true, 2},  {0x1FD1, 0x1583, 2, true, 2},
        {0x07C0, 0x1500, 2, false, 0}, {0x1234, 0x1583, 2, false, 0}, {0x07C0, 0x1583, 1, false, 1},
        {0x046D, 0xC52B, 2, false, 0}, {0x1FD1, 0x1234, 2, false, 0},
    };
    for (const Case& c : cases) {
        SimHidBackend only;
        const auto board = only.AddBoard({c.vendorId, c.productId, "00000001", true, c.interfaces});
        KitUseBackend(only);
        EXPECT_EQ(KitOpenAll() != 0, c.listed) << std::hex << c.vendorId << " " << c.productId;
        EXPECT_EQ(KitDeviceCount(), c.listed ? 1 : 0);
        EXPECT_EQ(only.Described(board), c.described) << std::hex << c.vendorId << " " << c.productId;
        KitCloseAll();
    }
}

TEST_F(KitTest, ASerialThatIsTheLanguageListIsEmpty) {
    backend.AddBoard({0x07C0, 0x1583, "00000001", false});
    const KitHandle handle = KitOpenAll();
    ASSERT_NE(handle, 0u);
    wchar_t serial[9] = {L'x'};
    EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(KitSerialOf(handle, serial)); }), 0u);
    EXPECT_EQ(serial[0], L'\0');
}

TEST_F(KitTest, SeventeenBoardsHandOutSixteen) {
    for (int i = 1; i <= 17; ++i) AddBoard("000000" + std::to_string(10 + i));
    KitOpenAll();
    ASSERT_EQ(KitDeviceCount(), 16);
    std::set<std::wstring> serials;
    for (int position = 1; position <= 16; ++position) serials.insert(SerialOf(KitDeviceAt(position)));
    // The first board added is enumerated first and so announced last.
    EXPECT_EQ(serials.size(), 16u);
    EXPECT_EQ(serials.count(L"00000011"), 0u);
    EXPECT_EQ(serials.count(L"00000027"), 1u);
}

// No board: no handle and no error. A platform library that cannot load: its error.
TEST_F(KitTest, NoBoardNoPlatformBadPositionsAndBadHandlesGiveNothing) {
    EXPECT_EQ(ErrorOf([] { EXPECT_EQ(KitOpenAll(), 0u); }), 0u);
    AddBoard("00000001");
    backend.FailLoad(126);
    EXPECT_EQ(ErrorOf([] { EXPECT_EQ(KitOpenAll(), 0u); }), 126u);
    EXPECT_EQ(KitDeviceCount(), 0);
    EXPECT_EQ(ErrorOf([] { EXPECT_EQ(KitDeviceAt(1), 0u) << "kit not open"; }), 87u);
    backend.FailLoad(0);
    const KitHandle valid = KitOpenAll();
    ASSERT_NE(valid, 0u);
    for (int position : {0, 2, -1}) EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(KitDeviceAt(position), 0u); }), 87u) << position;
    wchar_t serial[9];
    for (KitHandle handle : {KitHandle{0}, valid + 100}) {
        EXPECT_FALSE(KitHandleValid(handle));
        EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(KitProductIdOf(handle), 0); }), 87u);
        EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(KitSerialOf(handle, serial)); }), 87u);
        EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(KitSetReadTimeout(handle, 100)); }), 87u);
        EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(KitHoldDevice(handle)); }), 87u);
    }
    EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(KitSerialOf(valid, nullptr)); }), 87u);
}

// Each device starts two reader threads; the device opened first is the one added last.
TEST_F(KitTest, ADeviceWhoseReaderThreadCannotStartIsNotOpened) {
    const struct { int refusedStart; const wchar_t* opened; } cases[] = {
        {1, L"0000000A"}, {2, L"0000000A"}, {3, L"0000000B"}, {4, L"0000000B"}};
    auto a = AddBoard("0000000A");
    auto b = AddBoard("0000000B");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusedStart);
        SimThreadStarter threads;
        threads.Refuse("Reader", c.refusedStart);
        KitUseThreadStarter(threads);
        const KitHandle handle = KitOpenAll();
        KitUseThreadStarter(StandardThreadStarter());
        ASSERT_EQ(KitDeviceCount(), 1);
        EXPECT_EQ(SerialOf(handle), c.opened);

        auto& sim = c.opened == std::wstring(L"0000000A") ? a : b;
        const std::uint8_t portReport[5] = {0, 1, 2, 3, 4};
        EXPECT_EQ(KitWritePipe(handle, 0, portReport, 5), 5u);
        KitSetReadTimeout(handle, 1000);
        sim->SendInputReport(1, {0xFF, 1, 2, 3, 4, 5, 6, 7});
        std::uint8_t got[8] = {};
        EXPECT_EQ(KitReadPipe(handle, 1, got, 8), 8u);
        EXPECT_EQ(got[0], 0xFF);
        KitCloseAll();  // also ends the reader thread the refused device had started
    }
}

}  // namespace
