// The module's Windows HID side against the stand-in hid.dll, setupapi.dll and cfgmgr32.dll:
// what it reports of each interface, its reads and writes, a pulled board, and the handles it
// leaves. CTest starts it with MFP_SIM_BOARDS=1583:0000A1B2,03E8:0000A1B3,1583:0000C0DE:03:01,
// 03EA:-NOSER (boards 0..3) and the overrides that load the stand-ins.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <utility>

#include "board/tarnell_controllers.h"
#include "iokit/iokit.h"
#include "os/hid.h"
#include "tools/standin/sim_boards_api.h"

namespace {

// What the kit asks for: IO-Warrior chips of the products it opens.
const HidDeviceFilter kBoards{{0x1FD1, 0x07C0}, {0x03E8, 0x03EA, 0x1583}};

std::string BoardPath(const char* product, int interfaceNumber, const char* serial) {
    return std::string("\\\\.\\pipe\\hid#vid_07c0&pid_") + product + "&mi_0" + std::to_string(interfaceNumber) +
           "#mfp&" + serial + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

template <typename Fn>
void Find(const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("hid.dll"), name)));
    ASSERT_NE(fn, nullptr) << name;
}

// The boards answer on their own threads: their state is polled for up to two seconds.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

// The platform's HID side loaded for one test (the kit loads and unloads it on its own).
class StandinHid : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint32_t error = 0;
        ASSERT_TRUE(backend.Load(error)) << "error " << error;
        Find("SimBoardPlug", plug);
        Find("SimBoardUnplug", unplug);
        Find("SimBoardSetKey", setKey);
        Find("SimBoardMatrix", matrix);
        Find("SimBoardPorts", ports);
    }
    void TearDown() override { backend.Unload(); }
    bool Listed(const std::string& path) {
        for (const HidInterfaceInfo& info : backend.EnumerateInterfaces(kBoards))
            if (info.path == path) return true;
        return false;
    }

    HidBackend& backend = PlatformHidBackend();
    decltype(&SimBoardPlug) plug = nullptr;
    decltype(&SimBoardUnplug) unplug = nullptr;
    decltype(&SimBoardSetKey) setKey = nullptr;
    decltype(&SimBoardMatrix) matrix = nullptr;
    decltype(&SimBoardPorts) ports = nullptr;
};

// In the platform's order (the chips' interfaces interleave); the mouse and the IO-Warrior 24
// between them are not what the kit asks for.
TEST_F(StandinHid, EveryBoardInterfaceIsListedInOrderAsTheChipAnswers) {
    const HidSerialText english{0x0409};
    const auto units = [](const char* text) {
        HidSerialText serial{};
        for (int i = 0; i < 8; ++i) serial[i] = static_cast<char16_t>(text[i]);
        return serial;
    };
    struct Case { const char* product; int interfaceNumber; const char* serial; std::uint16_t productId; };
    const Case cases[] = {
        {"1583", 0, "0000A1B2", 0x1583}, {"03e8", 1, "0000A1B3", 0x03E8}, {"1583", 0, "0000C0DE", 0x1583},
        {"03ea", 1, "-NOSER", 0x03EA},   {"1583", 1, "0000A1B2", 0x1583}, {"03e8", 0, "0000A1B3", 0x03E8},
        {"1583", 1, "0000C0DE", 0x1583}, {"03ea", 0, "-NOSER", 0x03EA},
    };
    const std::vector<HidInterfaceInfo> listed = backend.EnumerateInterfaces(kBoards);
    ASSERT_EQ(listed.size(), std::size(cases));
    std::map<std::string, std::set<std::uint64_t>> devicesOf;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const HidInterfaceInfo& info = listed[i];
        const Case& c = cases[i];
        SCOPED_TRACE(info.path);
        EXPECT_EQ(info.path, BoardPath(c.product, c.interfaceNumber, c.serial));
        EXPECT_EQ(info.attributes.vendorId, 0x07C0);
        EXPECT_EQ(info.attributes.productId, c.productId);
        const std::uint16_t length = c.interfaceNumber == 0 ? 5 : 8;
        EXPECT_EQ(info.caps.inputReportByteLength, length);
        EXPECT_EQ(info.caps.outputReportByteLength, length);
        // Without a serial string the serial request answers the language list.
        EXPECT_TRUE(info.hasSerial);
        EXPECT_EQ(info.serial, c.serial[0] == '-' ? english : units(c.serial));
        EXPECT_EQ(info.languageList, english);
        devicesOf[c.serial].insert(info.physicalDevice);
    }
    // Both interfaces of a chip share their USB device; no two chips do.
    std::set<std::uint64_t> devices;
    for (const auto& [serial, shared] : devicesOf) {
        EXPECT_EQ(shared.size(), 1u) << serial;
        devices.insert(*shared.begin());
    }
    EXPECT_EQ(devices.size(), 4u);
}

TEST_F(StandinHid, ReportsTravelBothWaysUntilTheBoardIsPulledAndAPlugBringsItBackAfresh) {
    const std::string path = BoardPath("1583", 1, "0000A1B2");
    auto reader = backend.OpenForReading(path);
    auto writer = backend.OpenForWriting(path);
    auto portWriter = backend.OpenForWriting(BoardPath("1583", 0, "0000A1B2"));
    ASSERT_TRUE(reader && writer && portWriter);
    using Report = std::vector<std::uint8_t>;
    const auto write = [](HidWriteStream& stream, Report report) {
        return stream.Write(report.data(), report.size(), 2000);
    };
    std::uint8_t buffer[8];
    std::size_t bytes = 0;
    const auto read = [&] {
        if (!reader->StartRead(buffer, 8) || reader->WaitForRead(2000, bytes) != HidReadResult::Completed) return Report{};
        return Report(buffer, buffer + bytes);
    };

    // Key matrix on and a read request: the state, then every change, as 8-byte reports.
    ASSERT_EQ(write(*writer, {0x18, 1, 0, 0, 0, 0, 0, 0}), HidWriteResult::Written);
    ASSERT_EQ(write(*writer, {0x19, 0, 0, 0, 0, 0, 0, 0}), HidWriteResult::Written);
    EXPECT_EQ(read(), (Report{0x1A, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read(), (Report{0x19, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(setKey("0000A1B2", 5, 3, 1), 0);
    EXPECT_EQ(read(), (Report{0x1A, 0, 0x08, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read(), (Report{0x19, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(setKey("0000A1B2", 5, 3, 0), 0);
    EXPECT_EQ(read(), (Report{0x1A, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read(), (Report{0x19, 0, 0, 0, 0, 0, 0, 0}));

    // An LED row, and the port lines on interface 0.
    ASSERT_EQ(write(*writer, {0x14, 1, 0, 0, 0, 0, 0, 0}), HidWriteResult::Written);
    ASSERT_EQ(write(*writer, {0x15, 7, 0x01, 0, 0, 0x80, 0, 0}), HidWriteResult::Written);
    unsigned rows[8] = {};
    EXPECT_TRUE(Eventually([&] { return matrix("0000A1B2", rows) == 0 && rows[7] == 0x80000001u; })) << rows[7];
    ASSERT_EQ(write(*portWriter, {0x00, 0xFE, 0xFF, 0x0F, 0xA5}), HidWriteResult::Written);
    unsigned char lines[4] = {};
    EXPECT_TRUE(Eventually([&] {
        return ports("0000A1B2", lines) == 0 && lines[0] == 0xFE && lines[2] == 0x0F && lines[3] == 0xA5;
    }));

    ASSERT_TRUE(reader->StartRead(buffer, 8));
    ASSERT_EQ(reader->WaitForRead(50, bytes), HidReadResult::TimedOut);
    ASSERT_EQ(unplug("0000A1B2"), 0);
    EXPECT_EQ(reader->WaitForRead(5000, bytes), HidReadResult::Failed);
    EXPECT_NE(write(*writer, {0x15, 0, 0xFF, 0, 0, 0, 0, 0}), HidWriteResult::Written);
    EXPECT_FALSE(Listed(path));
    EXPECT_FALSE(Listed(BoardPath("1583", 0, "0000A1B2")));
    EXPECT_EQ(backend.OpenForReading(path), nullptr);

    ASSERT_EQ(plug("1583:0000A1B2"), 0);
    EXPECT_TRUE(Listed(path));
    EXPECT_TRUE(Listed(BoardPath("1583", 0, "0000A1B2")));
    EXPECT_NE(backend.OpenForReading(path), nullptr);
    ASSERT_EQ(matrix("0000A1B2", rows), 0);
    EXPECT_EQ(rows[7], 0u) << "powered up afresh";
    EXPECT_NE(write(*writer, {0x15, 0, 0xFF, 0, 0, 0, 0, 0}), HidWriteResult::Written)
        << "a handle from before stays dead";
}

// The process's open handles of one type, found by probing handle values (Wine's
// GetProcessHandleCount answers 0).
int HandlesOfType(const std::wstring& type) {
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    struct TypeName { USHORT length, maximum; const wchar_t* text; };
    int count = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        alignas(8) unsigned char buffer[512] = {};
        const auto handle = reinterpret_cast<HANDLE>(value);
        if (!GetHandleInformation(handle, &flags) ||
            query(handle, 2 /* ObjectTypeInformation */, buffer, sizeof buffer, nullptr) != 0)
            continue;
        const auto* name = reinterpret_cast<const TypeName*>(buffer);
        count += std::wstring(name->text, name->length / 2) == type;
    }
    return count;
}

// A board's lock is contended whenever a key-matrix cycle and another exchange meet: the
// platform then makes an event for it, which must go with the board when the boards are closed.
TEST_F(StandinHid, ClosingTheBoardsKeepsNoEventOfTheirLocks) {
    backend.Unload();
    KitUseBackend(PlatformHidBackend());
    // Holds the board's lock (the callback runs under it) until another exchange waits for it.
    const KeyMatrixCallback holdLock = [](const std::string&, const std::uint8_t* keys, void* context) {
        if (keys == nullptr) return 1;
        *static_cast<std::atomic<bool>*>(context) = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return 0;
    };
    const auto cycle = [&] {
        CTarnellControllers registry;
        ASSERT_TRUE(registry.LoadControllers());
        std::vector<std::unique_ptr<std::atomic<bool>>> inCallback;
        for (const auto& [key, board] : registry.Controllers()) {
            inCallback.push_back(std::make_unique<std::atomic<bool>>(false));
            std::atomic<bool>& held = *inCallback.back();
            ASSERT_TRUE(board->SetKeyMatrixCallback(true, holdLock, &held)) << key;
            ASSERT_TRUE(Eventually([&] { return held.load(); })) << key;
            std::uint8_t pins = 0;
            board->ReadPins(pins);  // waits for the callback to let go of the lock
        }
        registry.CloseAll();
    };
    // The platform makes some events of its own lazily, over the first rounds: until one round
    // leaves as many as it found (a kept event per lock never settles).
    int before = HandlesOfType(L"Event");
    for (int round = 0, last = -1; round < 8 && before != last; ++round) {
        ASSERT_NO_FATAL_FAILURE(cycle());
        last = std::exchange(before, HandlesOfType(L"Event"));
    }
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) ASSERT_NO_FATAL_FAILURE(cycle());
    // Four boards a round: a kept event per lock would add twelve.
    int after = 0;
    EXPECT_TRUE(Eventually([&] { return (after = HandlesOfType(L"Event")) < before + kRounds; }))
        << "events " << before << " -> " << after;
}

}  // namespace
