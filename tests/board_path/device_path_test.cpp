#include "board/device_path.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* path;
    unsigned interfaceNumber;
    bool ours;
};

const PathCase kCases[] = {
    {"\\\\?\\HID#VID_07C0&PID_1500&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", 1, true},
    {"\\\\?\\hid#vid_07c0&pid_1500&mi_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", 1, true},
    {"\\\\?\\HID#VID_1FD1&PID_03EA&MI_01#8&0&0000#{guid}", 1, true},
    {"\\\\?\\HID#VID_07C0&PID_03E8&MI_01#8&0&0000#{guid}", 1, true},
    // Only the special-function interface counts.
    {"\\\\?\\HID#VID_07C0&PID_1500&MI_00#7&1a2b3c4d&0&0000#{guid}", 1, false},
    {"\\\\?\\HID#VID_07C0&PID_1500&MI_00#7&1a2b3c4d&0&0000#{guid}", 0, true},
    // The product id the kit opens is not the one notifications carry.
    {"\\\\?\\HID#VID_07C0&PID_1583&MI_01#7&0&0000#{guid}", 1, false},
    {"\\\\?\\HID#VID_046D&PID_1500&MI_01#7&0&0000#{guid}", 1, false},
    {"\\\\?\\HID#VID_07C0&PID_15000&MI_01#7&0&0000#{guid}", 1, false},
    // Pieces missing.
    {"\\\\?\\HID#VID_07C0&PID_1500#7&0&0000#{guid}", 1, false},
    {"\\\\?\\USB#VID_07C0#7&0&0000", 1, false},
    {"", 1, false},
    {"", 0, false},
    // A path with no interface at all reads as interface 0 but has no product either.
    {"VID_07C0", 0, false},
};

TEST(IsOurDevicePath, RecognisesOnlyTheBoardsSpecialFunctionInterface) {
    for (const PathCase& c : kCases) {
        EXPECT_EQ(IsOurDevicePath(c.path, c.interfaceNumber), c.ours)
            << c.path << " interface " << c.interfaceNumber;
    }
}

}  // namespace
