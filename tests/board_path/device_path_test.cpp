#include "board/device_change_filter.h"
#include "board/device_path.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint32_t kArrival = 0x8000;
constexpr std::uint32_t kRemoval = 0x8004;
const char kBoardA[] = "\\\\?\\HID#VID_07C0&PID_1500&MI_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const char kBoardALower[] = "\\\\?\\hid#vid_07c0&pid_1500&mi_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const char kBoardB[] = "\\\\?\\HID#VID_07C0&PID_1500&MI_01#7&5e6f7a8b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

struct PathCase { const char* path; unsigned interfaceNumber; bool ours; };
const PathCase kPaths[] = {
    {kBoardA, 1, true},  {kBoardALower, 1, true},
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
    for (const PathCase& c : kPaths)
        EXPECT_EQ(IsOurDevicePath(c.path, c.interfaceNumber), c.ours) << c.path << " interface " << c.interfaceNumber;
}

// A notification (path set) expected accepted or not, or the end of the reload (no path).
struct Step { int atMs; std::uint32_t eventCode; const char* path; bool accepted; };
Step Finished(int atMs) { return {atMs, 0, nullptr, false}; }

struct Case { const char* name; std::vector<Step> steps; };
const Case kCases[] = {
    {"copy queued behind the reload", {{0, kArrival, kBoardA, true}, Finished(1100), {1100, kArrival, kBoardA, false}}},
    {"copy while the reload waits for the dialog", {{0, kArrival, kBoardA, true}, {30000, kArrival, kBoardA, false}}},
    {"copy just inside the window", {{0, kArrival, kBoardA, true}, Finished(1000), {2999, kArrival, kBoardA, false}}},
    {"same change once the window passed", {{0, kArrival, kBoardA, true}, Finished(1000), {3000, kArrival, kBoardA, true}}},
    {"letter case does not count", {{0, kArrival, kBoardA, true}, Finished(1000), {1000, kArrival, kBoardALower, false}}},
    {"unplugged and plugged again at once",
     {{0, kArrival, kBoardA, true}, Finished(1000), {1000, kRemoval, kBoardA, true}, Finished(2000),
      {2000, kArrival, kBoardA, true}}},
    // A later reload finishing does not restart the window of a notice already reloaded.
    {"a copy window is the notice's own",
     {{0, kArrival, kBoardA, true}, Finished(1000), {2500, kArrival, kBoardB, true}, Finished(2600),
      {3100, kArrival, kBoardA, true}}},
    {"two boards, each copied",
     {{0, kArrival, kBoardA, true}, {0, kArrival, kBoardB, true}, Finished(1000), {1000, kArrival, kBoardB, false},
      {1000, kArrival, kBoardA, false}}},
};

TEST(DeviceChangeFilter, ACopyOfTheLastChangeOfAPathAsksForNoSecondReload) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        DeviceChangeFilter filter;
        const auto start = DeviceChangeFilter::Clock::now();
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            const auto at = start + std::chrono::milliseconds(step.atMs);
            if (step.path == nullptr)
                filter.ReloadFinished(at);
            else
                EXPECT_EQ(filter.Accept(step.eventCode, step.path, at), step.accepted) << "step " << i;
        }
    }
}

}  // namespace
