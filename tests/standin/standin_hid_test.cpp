// The module's Windows HID side and I/O kit against the stand-in hid.dll, setupapi.dll and
// cfgmgr32.dll. CTest starts it with MFP_SIM_BOARDS=1583:0000A1B2,03E8:0000A1B3,
// 1583:0000C0DE:03:01,03EA:-NOSER (boards 0..3) and the overrides that load the stand-ins.
#include <gtest/gtest.h>

#include <windows.h>

#include <hidsdi.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "board/device_path.h"
#include "board/tarnell_controllers.h"
#include "iokit/iokit.h"
#include "os/hid.h"
#include "tools/standin/sim_boards_api.h"

namespace {

const std::string kPipe = "\\\\.\\pipe\\hid#vid_07c0&pid_";
const std::string kGuid = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
// What the kit asks for: IO-Warrior chips of the products it opens.
const HidDeviceFilter kBoards{{0x1FD1, 0x07C0}, {0x03E8, 0x03EA, 0x1583}};

std::string BoardPath(const char* product, int interfaceNumber, const char* serial) {
    return kPipe + product + "&mi_0" + std::to_string(interfaceNumber) + "#mfp&" + serial + kGuid;
}

// The board controls, looked up as a test host does.
struct Controls {
    decltype(&SimBoardPlug) plug;
    decltype(&SimBoardUnplug) unplug;
    decltype(&SimBoardSetKey) setKey;
    decltype(&SimBoardMatrix) matrix;
    decltype(&SimBoardPorts) ports;
};

template <typename Fn>
void Find(HMODULE hid, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hid, name)));
    ASSERT_NE(fn, nullptr) << name;
}

// The platform's HID side loaded for one test (the kit loads and unloads it on its own).
class StandinHid : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint32_t error = 0;
        ASSERT_TRUE(backend.Load(error)) << "error " << error;
        const HMODULE hid = GetModuleHandleA("hid.dll");
        ASSERT_NE(hid, nullptr);
        Find(hid, "SimBoardPlug", sim.plug);
        Find(hid, "SimBoardUnplug", sim.unplug);
        Find(hid, "SimBoardSetKey", sim.setKey);
        Find(hid, "SimBoardMatrix", sim.matrix);
        Find(hid, "SimBoardPorts", sim.ports);
    }
    void TearDown() override { backend.Unload(); }

    const HidInterfaceInfo* Enumerated(const std::string& path) {
        listed = backend.EnumerateInterfaces(kBoards);
        for (const HidInterfaceInfo& info : listed) {
            if (info.path == path) return &info;
        }
        return nullptr;
    }

    HidBackend& backend = PlatformHidBackend();
    Controls sim{};
    std::vector<HidInterfaceInfo> listed;
};

// The boards answer on their own threads: their state is polled for up to two seconds.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

TEST_F(StandinHid, EveryBoardInterfaceIsEnumeratedAsTheChipAnswers) {
    const HidSerialText english{0x0409};
    const HidSerialText a1b2{u'0', u'0', u'0', u'0', u'A', u'1', u'B', u'2'};
    struct Case { std::string path; std::uint16_t product, reportLength; HidSerialText serial; };
    const Case cases[] = {
        {BoardPath("1583", 0, "0000A1B2"), 0x1583, 5, a1b2},
        {BoardPath("1583", 1, "0000A1B2"), 0x1583, 8, a1b2},
        {BoardPath("03e8", 0, "0000A1B3"), 0x03E8, 5, {u'0', u'0', u'0', u'0', u'A', u'1', u'B', u'3'}},
        {BoardPath("03e8", 1, "0000A1B3"), 0x03E8, 8, {u'0', u'0', u'0', u'0', u'A', u'1', u'B', u'3'}},
        {BoardPath("1583", 0, "0000C0DE"), 0x1583, 5, {u'0', u'0', u'0', u'0', u'C', u'0', u'D', u'E'}},
        {BoardPath("1583", 1, "0000C0DE"), 0x1583, 8, {u'0', u'0', u'0', u'0', u'C', u'0', u'D', u'E'}},
        // No serial string: the serial request answers the language list.
        {BoardPath("03ea", 0, "-NOSER"), 0x03EA, 5, english},
        {BoardPath("03ea", 1, "-NOSER"), 0x03EA, 8, english},
    };
    for (const Case& c : cases) {
        const HidInterfaceInfo* info = Enumerated(c.path);
        ASSERT_NE(info, nullptr) << c.path;
        EXPECT_EQ(info->attributes.vendorId, 0x07C0) << c.path;
        EXPECT_EQ(info->attributes.productId, c.product) << c.path;
        EXPECT_EQ(info->caps.inputReportByteLength, c.reportLength) << c.path;
        EXPECT_EQ(info->caps.outputReportByteLength, c.reportLength) << c.path;
        EXPECT_TRUE(info->hasSerial) << c.path;
        EXPECT_EQ(info->serial, c.serial) << c.path;
        EXPECT_EQ(info->languageList, english) << c.path;
    }
    // The mouse and the IO-Warrior 24 are not what the kit asks for: the HID side leaves them out.
    EXPECT_EQ(listed.size(), std::size(cases));

    // Both interfaces of a chip share their USB device; no two chips do.
    std::map<std::string, std::set<std::uint64_t>> devicesOf;
    std::set<std::uint64_t> devices;
    for (const HidInterfaceInfo& info : listed) {
        devicesOf[info.path.substr(info.path.find("#mfp&"))].insert(info.physicalDevice);
        devices.insert(info.physicalDevice);
    }
    for (const auto& [name, shared] : devicesOf) EXPECT_EQ(shared.size(), 1u) << name;
    EXPECT_EQ(devices.size(), devicesOf.size());

    // Board 1 lists interface 1 first, and the chips' interfaces interleave.
    const auto position = [&](const std::string& path) {
        for (std::size_t i = 0; i < listed.size(); ++i) {
            if (listed[i].path == path) return i;
        }
        return listed.size();
    };
    EXPECT_LT(position(BoardPath("03e8", 1, "0000A1B3")), position(BoardPath("03e8", 0, "0000A1B3")));
    EXPECT_LT(position(BoardPath("03e8", 1, "0000A1B3")), position(BoardPath("1583", 1, "0000A1B2")));
    EXPECT_LT(position(BoardPath("1583", 0, "0000A1B2")), position(BoardPath("03e8", 1, "0000A1B3")));

    // As a notification path, the special-function interface of a 03E8 board is the module's own.
    std::string notification = BoardPath("03e8", 1, "0000A1B3");
    notification.replace(0, 9, "\\\\?\\");
    EXPECT_TRUE(IsOurDevicePath(notification, 1)) << notification;
}

// Whether or not the HID side asks them everything, foreign devices answer as their hardware does.
TEST_F(StandinHid, ForeignDevicesAnswerAsTheirHardwareDoes) {
    const HMODULE hid = GetModuleHandleA("hid.dll");
    decltype(&HidD_GetAttributes) getAttributes = nullptr;
    decltype(&HidD_GetSerialNumberString) getSerial = nullptr;
    Find(hid, "HidD_GetAttributes", getAttributes);
    Find(hid, "HidD_GetSerialNumberString", getSerial);
    struct Case { std::string path; USHORT vendor, product; const wchar_t* serial; };
    const Case cases[] = {
        {"\\\\.\\pipe\\hid#vid_046d&pid_c077#mfp&mouse" + kGuid, 0x046D, 0xC077, nullptr},  // strings fail
        {kPipe + "1501&mi_00#mfp&iow24" + kGuid, 0x07C0, 0x1501, L"00001A2B"},
    };
    for (const Case& c : cases) {
        const HANDLE file = CreateFileA(c.path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.path;
        HIDD_ATTRIBUTES attributes{sizeof attributes, 0, 0, 0};
        EXPECT_TRUE(getAttributes(file, &attributes)) << c.path;
        EXPECT_EQ(attributes.VendorID, c.vendor) << c.path;
        EXPECT_EQ(attributes.ProductID, c.product) << c.path;
        wchar_t serial[9] = {};
        EXPECT_EQ(getSerial(file, serial, sizeof serial) != FALSE, c.serial != nullptr) << c.path;
        if (c.serial) {
            EXPECT_EQ(std::wstring(serial), c.serial) << c.path;
        }
        CloseHandle(file);
    }
}

TEST_F(StandinHid, TheKitListsTheControllerChipsOnly) {
    backend.Unload();
    KitUseBackend(PlatformHidBackend());
    CTarnellControllers registry;
    ASSERT_TRUE(registry.LoadControllers());
    std::set<std::string> keys;
    for (const auto& [key, board] : registry.Controllers()) keys.insert(key);
    EXPECT_EQ(keys, (std::set<std::string>{"1583-0000A1B2", "3e8-0000A1B3", "1583-0000C0DE", "3ea-"}));
    // Each selection runs I2C exchanges: output reports to the boards, their answers back.
    std::set<std::string> panels;
    for (const auto& [serial, board] : registry.SelectControllers("02", "01")) panels.insert(serial);
    EXPECT_EQ(panels, (std::set<std::string>{"0000A1B2", "0000A1B3", ""}));
    EXPECT_EQ(registry.SelectControllers("03", "01").count("0000C0DE"), 1u);
    registry.CloseAll();
    std::uint32_t error = 0;
    ASSERT_TRUE(backend.Load(error));
}

KitHandle KitHandleOf(const wchar_t* serial) {
    for (int position = 1; position <= KitDeviceCount(); ++position) {
        wchar_t text[9] = {};
        const KitHandle handle = KitDeviceAt(position);
        if (KitSerialOf(handle, text) && std::wstring(text) == serial) return handle;
    }
    return 0;
}

TEST_F(StandinHid, ReportsTravelBetweenTheKitAndTheBoard) {
    backend.Unload();
    KitUseBackend(PlatformHidBackend());
    ASSERT_NE(KitOpenAll(), 0u);
    const KitHandle board = KitHandleOf(L"0000A1B2");
    ASSERT_NE(board, 0u);
    KitSetReadTimeout(board, 2000);
    const auto write = [&](int pipe, std::vector<std::uint8_t> report) {
        return KitWritePipe(board, pipe, report.data(), static_cast<std::uint32_t>(report.size()));
    };
    const auto read = [&] {
        std::vector<std::uint8_t> report(8);
        report.resize(KitReadPipe(board, 1, report.data(), 8));
        return report;
    };
    using Report = std::vector<std::uint8_t>;

    // Key matrix on and a read request: the state, then every change, as 8-byte reports.
    ASSERT_EQ(write(1, {0x18, 1, 0, 0, 0, 0, 0, 0}), 8u);
    ASSERT_EQ(write(1, {0x19, 0, 0, 0, 0, 0, 0, 0}), 8u);
    EXPECT_EQ(read(), (Report{0x1A, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read(), (Report{0x19, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(sim.setKey("0000A1B2", 5, 3, 1), 0);
    EXPECT_EQ(read(), (Report{0x1A, 0, 0x08, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read(), (Report{0x19, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(sim.setKey("0000A1B2", 5, 3, 0), 0);
    EXPECT_EQ(read(), (Report{0x1A, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read(), (Report{0x19, 0, 0, 0, 0, 0, 0, 0}));

    // An LED row and the port lines.
    ASSERT_EQ(write(1, {0x14, 1, 0, 0, 0, 0, 0, 0}), 8u);
    ASSERT_EQ(write(1, {0x15, 7, 0x01, 0, 0, 0x80, 0, 0}), 8u);
    unsigned rows[8] = {};
    EXPECT_TRUE(Eventually([&] { return sim.matrix("0000A1B2", rows) == 0 && rows[7] == 0x80000001u; }))
        << std::hex << rows[7];
    ASSERT_EQ(write(0, {0x00, 0xFE, 0xFF, 0x0F, 0xA5}), 5u);
    unsigned char ports[4] = {};
    EXPECT_TRUE(Eventually([&] {
        return sim.ports("0000A1B2", ports) == 0 && ports[0] == 0xFE && ports[2] == 0x0F && ports[3] == 0xA5;
    }));
    KitCloseAll();
    std::uint32_t error = 0;
    ASSERT_TRUE(backend.Load(error));
}

TEST_F(StandinHid, UnplugEndsTheBoardsIoAndPlugBringsItBackAfresh) {
    const std::string path = BoardPath("03e8", 1, "0000A1B3");
    ASSERT_NE(Enumerated(path), nullptr);
    auto reader = backend.OpenForReading(path);
    auto writer = backend.OpenForWriting(path);
    ASSERT_TRUE(reader && writer);
    const std::uint8_t ledOn[8] = {0x14, 1}, ledRow[8] = {0x15, 0, 0xFF};
    ASSERT_EQ(writer->Write(ledOn, 8, 2000), HidWriteResult::Written);
    ASSERT_EQ(writer->Write(ledRow, 8, 2000), HidWriteResult::Written);
    unsigned rows[8] = {};
    ASSERT_TRUE(Eventually([&] { return sim.matrix("0000A1B3", rows) == 0 && rows[0] == 0xFF; }));
    std::uint8_t buffer[8];
    std::size_t bytes = 0;
    ASSERT_TRUE(reader->StartRead(buffer, 8));
    ASSERT_EQ(reader->WaitForRead(50, bytes), HidReadResult::TimedOut);

    ASSERT_EQ(sim.unplug("0000A1B3"), 0);
    EXPECT_EQ(reader->WaitForRead(5000, bytes), HidReadResult::Failed);
    EXPECT_NE(writer->Write(ledRow, 8, 2000), HidWriteResult::Written);
    EXPECT_EQ(Enumerated(path), nullptr);
    EXPECT_EQ(Enumerated(BoardPath("03e8", 0, "0000A1B3")), nullptr);
    EXPECT_EQ(backend.OpenForReading(path), nullptr);

    ASSERT_EQ(sim.plug("03E8:0000A1B3"), 0);
    ASSERT_NE(Enumerated(path), nullptr);
    EXPECT_NE(Enumerated(BoardPath("03e8", 0, "0000A1B3")), nullptr);
    EXPECT_NE(backend.OpenForReading(path), nullptr);
    ASSERT_EQ(sim.matrix("0000A1B3", rows), 0);
    EXPECT_EQ(rows[0], 0u) << "powered up afresh";
    EXPECT_NE(writer->Write(ledRow, 8, 2000), HidWriteResult::Written) << "a handle from before stays dead";
}

TEST_F(StandinHid, BoardControlsRefuseWhatTheyCannotDo) {
    unsigned rows[8];
    unsigned char ports[4];
    const auto paths = [&] {
        std::set<std::string> present;
        for (const HidInterfaceInfo& info : backend.EnumerateInterfaces(kBoards)) present.insert(info.path);
        return present;
    };
    const std::set<std::string> before = paths();
    struct Case { const char* what; std::function<int()> call; int expected; };
    const Case cases[] = {
        {"plug without boardText", [&] { return sim.plug(nullptr); }, -1},
        {"plug without serial", [&] { return sim.plug("1583"); }, -1},
        {"plug, serial too long", [&] { return sim.plug("1583:123456789"); }, -1},
        {"plug, backslash", [&] { return sim.plug("1583:A\\B"); }, -1},
        {"plug a plugged board", [&] { return sim.plug("1583:0000a1b2"); }, 1},
        {"unplug unknown", [&] { return sim.unplug("FFFFFFFF"); }, -1},
        {"unplug null", [&] { return sim.unplug(nullptr); }, -1},
        {"key of unknown board", [&] { return sim.setKey("FFFFFFFF", 0, 0, 1); }, -1},
        {"key byte 8", [&] { return sim.setKey("0000A1B2", 8, 0, 1); }, -2},
        {"key byte -1", [&] { return sim.setKey("0000A1B2", -1, 0, 1); }, -2},
        {"key bit 8", [&] { return sim.setKey("0000A1B2", 0, 8, 1); }, -2},
        {"matrix of unknown board", [&] { return sim.matrix("FFFFFFFF", rows); }, -1},
        {"matrix without rows", [&] { return sim.matrix("0000A1B2", nullptr); }, -2},
        {"matrix, serial in lower case", [&] { return sim.matrix("0000a1b2", rows); }, 0},
        {"ports without ports", [&] { return sim.ports("0000A1B2", nullptr); }, -2},
        {"ports of the board without serial", [&] { return sim.ports("-noser", ports); }, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.call(), c.expected) << c.what;
    EXPECT_EQ(paths(), before) << "nothing was added or removed";
}

// The process's open handles of the given types, found by probing handle values (Wine's
// GetProcessHandleCount answers 0).
std::map<std::wstring, int> HandlesOfTypes(std::map<std::wstring, int> counts) {
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    struct TypeName { USHORT length, maximum; const wchar_t* text; };
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        alignas(8) unsigned char buffer[512] = {};
        if (!GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ||
            query(reinterpret_cast<HANDLE>(value), 2 /* ObjectTypeInformation */, buffer, sizeof buffer, nullptr) != 0)
            continue;
        const auto* name = reinterpret_cast<const TypeName*>(buffer);
        const auto counted = counts.find(std::wstring(name->text, name->length / 2));
        if (counted != counts.end()) ++counted->second;
    }
    return counts;
}

// Threads and files. Other types are left out: the platform creates some of its events,
// directories and mutants lazily, over several rounds.
std::map<std::wstring, int> ThreadAndFileHandles() { return HandlesOfTypes({{L"Thread", 0}, {L"File", 0}}); }

// The kit loads the HID side, opens every board and unloads it again each time it looks for
// boards: the process must not keep a handle from any of those rounds.
TEST_F(StandinHid, LoadingAndUnloadingTheHidSideKeepsNoHandle) {
    backend.Unload();
    const auto cycle = [&] {
        std::uint32_t error = 0;
        ASSERT_TRUE(backend.Load(error));
        std::vector<std::unique_ptr<HidReadStream>> readers;
        std::vector<std::shared_ptr<HidWriteStream>> writers;
        for (const HidInterfaceInfo& info : backend.EnumerateInterfaces(kBoards)) {
            readers.push_back(backend.OpenForReading(info.path));
            writers.push_back(backend.OpenForWriting(info.path));
            ASSERT_TRUE(readers.back() && writers.back()) << info.path;
            std::uint8_t buffer[8];
            ASSERT_TRUE(readers.back()->StartRead(buffer, 8));
            readers.back()->CancelRead();
        }
        readers.clear();
        writers.clear();
        backend.Unload();
    };
    for (int round = 0; round < 2; ++round) ASSERT_NO_FATAL_FAILURE(cycle());
    // Once the boards' pipe threads have done with the handles just closed.
    std::map<std::wstring, int> before, last;
    for (int i = 0; i < 20 && (i < 2 || before != last); ++i) {
        last = before;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        before = ThreadAndFileHandles();
    }
    ASSERT_EQ(before, last) << "the handles settle";
    for (int round = 0; round < 4; ++round) ASSERT_NO_FATAL_FAILURE(cycle());
    std::map<std::wstring, int> after;
    EXPECT_TRUE(Eventually([&] { return (after = ThreadAndFileHandles()) == before; }))
        << "threads " << before[L"Thread"] << " -> " << after[L"Thread"] << ", files " << before[L"File"] << " -> "
        << after[L"File"];
    std::uint32_t error = 0;
    ASSERT_TRUE(backend.Load(error));
}

// A board's lock is contended whenever a key-matrix cycle and another exchange meet: the
// platform then makes an event for it, which must go with the board when the boards are closed.
TEST_F(StandinHid, ClosingTheBoardsKeepsNoEventOfTheirLocks) {
    backend.Unload();
    KitUseBackend(PlatformHidBackend());
    struct Meeting { std::atomic<bool> inCallback{false}; };
    // Holds the board's lock (the callback runs under it) until another exchange waits for it.
    const KeyMatrixCallback holdLock = [](const std::string&, const std::uint8_t* keys, void* context) {
        if (keys == nullptr) return 1;
        static_cast<Meeting*>(context)->inCallback = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return 0;
    };
    const auto cycle = [&] {
        CTarnellControllers registry;
        ASSERT_TRUE(registry.LoadControllers());
        std::vector<std::unique_ptr<Meeting>> meetings;
        for (const auto& [key, board] : registry.Controllers()) {
            meetings.push_back(std::make_unique<Meeting>());
            Meeting& meeting = *meetings.back();
            ASSERT_TRUE(board->SetKeyMatrixCallback(true, holdLock, &meeting)) << key;
            ASSERT_TRUE(Eventually([&] { return meeting.inCallback.load(); })) << key;
            std::uint8_t pins = 0;
            board->ReadPins(pins);  // waits for the callback to let go of the lock
        }
        registry.CloseAll();
    };
    const auto events = [] { return HandlesOfTypes({{L"Event", 0}})[L"Event"]; };
    for (int round = 0; round < 2; ++round) ASSERT_NO_FATAL_FAILURE(cycle());
    const int before = events();
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) ASSERT_NO_FATAL_FAILURE(cycle());
    // Four boards a round: a kept event per lock would add twelve.
    int after = 0;
    EXPECT_TRUE(Eventually([&] { return (after = events()) < before + kRounds; }))
        << "events " << before << " -> " << after;
    std::uint32_t error = 0;
    ASSERT_TRUE(backend.Load(error));
}

}  // namespace
