#include "catalogue/event_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The sizes of 1 - 15 add up to the 902 of 0: no id sits in two categories.
TEST(EventCatalogue, EachCategoryHoldsItsEntriesBetweenItsBounds) {
    struct Case { EventCategory category; const char* name; size_t size; EventId first, last; };
    const Case cases[] = {
        {0, "*** All ***", 902, 0x10000, 0x1000039},
        {1, "Aircraft Engine", 238, 0x10012, 0x10458},
        {2, "Aircraft Flight Controls", 45, 0x10035, 0x103E6},
        {3, "Aircraft Automatic Flight Controls / Autopilot", 89, 0x1002C, 0x10419},
        {4, "Aircraft Fuel System", 35, 0x1015F, 0x10424},
        {5, "Aircraft Avionics", 152, 0x10014, 0x10444},
        {6, "Aircraft Instruments", 32, 0x10016, 0x10415},
        {7, "Aircraft Lights", 25, 0x10018, 0x10413},
        {8, "Aircraft Failures", 12, 0x10301, 0x1030C},
        {9, "Aircraft Miscellaneous", 43, 0x10017, 0x10429},
        {10, "View System", 59, 0x10011, 0x103E2},
        {11, "Slew System", 34, 0x10015, 0x10200},
        {12, "Miscellaneous Simulator Events", 65, 0x10000, 0x10427},
        {13, "ATC", 11, 0x1001C, 0x10285},
        {14, "Multiplayer", 5, 0x1016D, 0x10171},
        {15, "Keyboard", 57, 0x1000001, 0x1000039},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        const EventCatalogue events = BuildEventCategory(c.category);
        ASSERT_EQ(events.size(), c.size);
        EXPECT_EQ(events.begin()->first, c.first);
        EXPECT_EQ(events.rbegin()->first, c.last);
        EXPECT_STREQ(EventCategoryName(c.category), c.name);
    }
    for (EventCategory outside : {-1, 16, 1000}) {
        EXPECT_TRUE(BuildEventCategory(outside).empty()) << outside;
        EXPECT_STREQ(EventCategoryName(outside), "") << outside;
    }
}

// Descriptions whose exact bytes are easy to get wrong: code page 1252 apostrophes, no-break
// spaces, trailing and doubled blanks, quotes; ids sharing a description; ids next to the known.
TEST(EventCatalogue, DescriptionsKeepEveryByteAndUnknownIdsHaveNone) {
    struct Case { EventId id; EventCategory category; std::string bytes; };
    const Case cases[] = {
        {0x10000, 12, "Do nothing"},
        {0x10458, 1, "Decrement mixture lever 4 small"},
        {0x1007E, 5, "Decrements VOR 1\x92s OBS setting"},
        {0x10018, 7, "Toggle strobe lights\xA0"},
        {0x1005A, 11, "Decrease upward slew\xA0"},
        {0x1010D, 3, "Turns  AP localizer hold on/armed and glideslope hold mode off"},
        {0x100EE, 1, "Set mixture levers to max rich "},
        {0x10353, 9, "Sets left brake position from axis controller (e.g. joystick).  "
                     "-16383 (0 brakes) to +16383 (max brakes)  "},
        {0x1015F, 4, "Closes crossfeed valve (when used in conjunction with \"isolate\" tank)"},
        {0x10429, 9, "Adds fuel to the aircraft, 25% of capacity by default.  "
                     "0 - 65535 (max fuel) can be passed."},
        {0x1003E, 1, "Increment throttles"}, {0x10049, 1, "Increment throttles"},
        {0xFFFF, 12, ""}, {0x10006, 12, ""}, {0x10459, 1, ""}, {0x1000000, 15, ""}, {0x100003A, 15, ""},
    };
    const EventCatalogue all = BuildEventCatalogue();
    for (const Case& c : cases) {
        EXPECT_EQ(EventDescription(all, c.id), c.bytes) << std::hex << c.id;
        EXPECT_EQ(EventDescription(BuildEventCategory(c.category), c.id), c.bytes) << std::hex << c.id;
    }
}

// Besides printable ASCII, only ten 0x92 apostrophes and three trailing no-break spaces occur.
TEST(EventCatalogue, NoOtherBytesOutsidePrintableAscii) {
    std::vector<EventId> withApostrophe, withNoBreakSpace;
    for (const auto& [id, description] : BuildEventCatalogue()) {
        for (size_t i = 0; i < description.size(); ++i) {
            const auto byte = static_cast<unsigned char>(description[i]);
            if (byte == 0x92) withApostrophe.push_back(id);
            if (byte == 0xA0) {
                withNoBreakSpace.push_back(id);
                EXPECT_EQ(i + 1, description.size()) << std::hex << id;
            }
            EXPECT_TRUE((byte >= 0x20 && byte < 0x7F) || byte == 0x92 || byte == 0xA0) << std::hex << id;
        }
    }
    EXPECT_EQ(withApostrophe, (std::vector<EventId>{0x1007E, 0x1007F, 0x10080, 0x10081, 0x103F0,
                                                    0x103F1, 0x103F2, 0x103F4, 0x103F5, 0x103F6}));
    EXPECT_EQ(withNoBreakSpace, (std::vector<EventId>{0x10018, 0x10034, 0x1005A}));
}

TEST(EventCatalogue, KeyboardCategoryNamesEveryKey) {
    const EventCatalogue keys = BuildEventCategory(15);
    for (int f = 1; f <= 12; ++f) EXPECT_EQ(EventDescription(keys, 0x1000000 + f), "F" + std::to_string(f) + " Key");
    for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(EventDescription(keys, 0x100000D + c - 'A'), std::string(1, c) + " Key");
    for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(EventDescription(keys, 0x1000027 + c - '0'), std::string(1, c) + " Key");
    const std::pair<EventId, const char*> fixed[] = {
        {0x1000031, "Alt (Left) Key"}, {0x1000032, "Control (Left) Key"}, {0x1000033, "Alt (Right) Key"},
        {0x1000034, "Control (Right) Key"}, {0x1000035, "Alt Key"}, {0x1000036, "Control Key"},
        {0x1000037, "Print Screen Key"}, {0x1000038, "Pause Key"}, {0x1000039, "Tab Key"}};
    for (const auto& [id, text] : fixed) EXPECT_EQ(EventDescription(keys, id), text) << std::hex << id;
}

// Each category 1 - 15 claims, for every other category, one id that the two share; the
// description that survives names the category merged later.
TEST(EventCatalogue, LaterMergedCategoryWinsASharedId) {
    const std::vector<EventCategory> order = {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 1, 2, 15};
    const auto sharedId = [](EventCategory a, EventCategory b) {
        return static_cast<EventId>(std::min(a, b) * 100 + std::max(a, b));
    };
    const EventCatalogue merged = MergeEventCategories([&](EventCategory category) {
        EventCatalogue events;
        for (EventCategory other = 1; other <= 15; ++other)
            if (other != category) events[sharedId(category, other)] = std::to_string(category);
        return events;
    });
    EXPECT_EQ(merged.size(), 15u * 14u / 2u);
    for (size_t earlier = 0; earlier < order.size(); ++earlier) {
        for (size_t later = earlier + 1; later < order.size(); ++later) {
            EXPECT_EQ(EventDescription(merged, sharedId(order[earlier], order[later])),
                      std::to_string(order[later]))
                << order[earlier] << " merged before " << order[later];
        }
    }
}

}  // namespace
