// The module's Windows HID side against the stand-in hid.dll, setupapi.dll and cfgmgr32.dll:
// what it reports of each interface, a chip without a serial string included. Its reads,
// writes, pulled boards and the handles it leaves are proven end to end by boards_in_host_test.
// CTest starts it with MFP_SIM_BOARDS=1583:0000A1B2,03E8:0000A1B3,1583:0000C0DE:03:01,03EA:-NOSER
// and the overrides that load the stand-ins.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "os/hid.h"

namespace {

// What the kit asks for: IO-Warrior chips of the products it opens.
const HidDeviceFilter kBoards{{0x1FD1, 0x07C0}, {0x03E8, 0x03EA, 0x1583}};

std::string BoardPath(const char* product, int interfaceNumber, const char* serial) {
    return std::string("\\\\.\\pipe\\hid#vid_07c0&pid_") + product + "&mi_0" + std::to_string(interfaceNumber) +
           "#mfp&" + serial + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

// The platform's HID side loaded for one test (the kit loads and unloads it on its own).
class StandinHid : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint32_t error = 0;
        ASSERT_TRUE(backend.Load(error)) << "error " << error;
    }
    void TearDown() override { backend.Unload(); }

    HidBackend& backend = PlatformHidBackend();
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

}  // namespace
