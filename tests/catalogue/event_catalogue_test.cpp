#include "catalogue/event_catalogue.h"
#include "catalogue/gauge_variables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

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
    int apostrophes = 0, noBreakSpaces = 0;
    for (const auto& [id, description] : BuildEventCatalogue()) {
        for (size_t i = 0; i < description.size(); ++i) {
            const auto byte = static_cast<unsigned char>(description[i]);
            apostrophes += byte == 0x92;
            noBreakSpaces += byte == 0xA0;
            EXPECT_TRUE((byte >= 0x20 && byte < 0x7F) || byte == 0x92 || (byte == 0xA0 && i + 1 == description.size()))
                << std::hex << id;
        }
    }
    EXPECT_EQ(apostrophes, 10);
    EXPECT_EQ(noBreakSpaces, 3);
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

// Should an id sit in two categories, the one merged later gives its description. The category
// merged p-th claims the ids p to 14, so id i must end up with the i-th category merged.
TEST(EventCatalogue, LaterMergedCategoryWinsASharedId) {
    const EventCategory order[] = {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 1, 2, 15};
    const EventCatalogue merged = MergeEventCategories([&](EventCategory category) {
        EventCatalogue events;
        for (auto id = std::find(std::begin(order), std::end(order), category) - std::begin(order); id < 15; ++id)
            events[static_cast<EventId>(id)] = std::to_string(category);
        return events;
    });
    ASSERT_EQ(merged.size(), 15u);
    for (EventId id = 0; id < 15; ++id) EXPECT_EQ(EventDescription(merged, id), std::to_string(order[id])) << id;
}

// FS2004's own numbers (its panels SDK header): names in any case, the ends of the range, and
// names and numbers it does not have.
TEST(GaugeVariables, NamesAndNumbersAreTheSimulators) {
    struct Case { const char* name; std::optional<int> number; };
    const Case cases[] = {
        {"MODULE_VAR_NONE", 0}, {"TICK18", 1}, {"GROUND_ALTITUDE", 2}, {"COM_FREQUENCY", 23},
        {"TRANSPONDER_CODE", 38}, {"PLANE_ALTITUDE", 73}, {"plane_altitude", 73}, {"Plane_Altitude", 73},
        {"TRAILING_EDGE_FLAPS0_RIGHT_ANGLE", 908},
        {"PLANE ALTITUDE", std::nullopt}, {"PLANE_ALTITUDE ", std::nullopt}, {"73", std::nullopt},
        {"", std::nullopt}, {"PLANE_ALTITUDEX", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GaugeVariableNumber(c.name), c.number) << c.name;
        if (c.number) {
            EXPECT_STRCASEEQ(FindGaugeVariable(*c.number)->name, c.name);
        }
    }
    EXPECT_EQ(GaugeVariables().size(), 909u);
    for (long long outside : {-1LL, 909LL, 4294967296LL}) EXPECT_EQ(FindGaugeVariable(outside), nullptr) << outside;
}

// The units of the simulator's header, as the catalogue keeps them: ranges and lists of values
// are read, scales and texts without a range are not.
TEST(GaugeVariables, StatedRangesComeFromTheUnitText) {
    struct Case { const char* unit; std::optional<std::pair<double, double>> range; };
    const Case cases[] = {
        {"0..23", {{0, 23}}}, {"0-16384 = 0-100%", {{0, 16384}}}, {"-127..+127 = -10..+10 (VOR)", {{-127, 127}}},
        {"-1.0..1.0 = -0.7..+0.7 deg", {{-1, 1}}}, {"0..16k", {{0, 16384}}}, {"integer degrees 0-360", {{0, 360}}},
        {"octal code 0000-7777", {{0, 7777}}}, {"0-100%", {{0, 100}}},
        {"0 off, 1 on", {{0, 1}}}, {"0 off, 32k full", {{0, 32768}}}, {"-1 off, 0 auto, 1 forward, 2 aft", {{-1, 2}}},
        {"", std::nullopt}, {"BCD", std::nullopt}, {"degC * 16384", std::nullopt}, {"1/256 m", std::nullopt},
        {"16-bit pseudo-degrees", std::nullopt}, {"radians 0..2pi", std::nullopt}, {"16k = 100%", std::nullopt},
        {"0..0x7fff = 8 qt", std::nullopt}, {"lbs/gal, 6 lbs/gal = 1536", std::nullopt}, {"year (1..)", std::nullopt},
        {"1 = activated", std::nullopt}, {"count (1 single, 2 twin, ...)", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<StatedRange> range = StatedRangeOf(c.unit);
        ASSERT_EQ(range.has_value(), c.range.has_value()) << c.unit;
        if (range) EXPECT_EQ(std::make_pair(range->low, range->high), *c.range) << c.unit;
    }
}

}  // namespace
