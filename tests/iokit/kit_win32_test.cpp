// The Windows HID services: with no panel attached the kit finds nothing and fails nothing.
#include <gtest/gtest.h>

#include "iokit/iokit.h"
#include "os/hid.h"

namespace {

TEST(KitWin32Test, ThePlatformLibrariesLoadAndEnumerateNoPanel) {
    HidBackend& backend = PlatformHidBackend();
    std::uint32_t error = 0;
    ASSERT_TRUE(backend.Load(error)) << "error " << error;
    const HidDeviceFilter boards{{0x1FD1, 0x07C0}, {0x03E8, 0x03EA, 0x1583}};
    for (const HidInterfaceInfo& info : backend.EnumerateInterfaces(boards)) {
        EXPECT_FALSE(info.path.empty());
        EXPECT_TRUE(boards.Accepts(info.attributes));
    }
    EXPECT_EQ(backend.OpenForReading("\\\\?\\hid#no_such_device"), nullptr);
    EXPECT_EQ(backend.OpenForWriting("\\\\?\\hid#no_such_device"), nullptr);
    backend.Unload();

    KitUseBackend(backend);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(KitOpenAll(), 0u);
        EXPECT_EQ(KitGetLastError(), 0u) << "the platform libraries loaded";
        EXPECT_EQ(KitDeviceCount(), 0);
        KitCloseAll();
    }
}

}  // namespace
