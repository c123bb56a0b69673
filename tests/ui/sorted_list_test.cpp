#include "ui/sorted_list.h"

#include <gtest/gtest.h>

namespace {

int IndexOf(const SortedList& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Text(i) == text) return i;
    return -1;
}

// Windows' word sort: symbols before digits before letters, case ignored, accents and hyphens
// weighed only between texts that are otherwise equal.
TEST(SortedList, OrdersAsASortedListBox) {
    struct Case { const char* earlier; const char* later; };
    const Case cases[] = {
        {"A Key", "Alt (Left) Key"},
        {"Aircraft Miscellaneous", "ATC"},
        {"*** All ***", "Aircraft Automatic Flight Controls / Autopilot"},
        {"Set throttles (0- 16383)", "Set throttles 1"},  // "(" before a digit
        {"9 Key", "A Key"},
        {"coop", "co-op"}, {"co-op", "cop"},    // a hyphen only breaks a tie
        {"\xE9" "a", "ef"}, {"e", "\xE9"},      // e-acute: a plain e, then its accent
        {"\xE6", "af"},                         // ae ligature: "ae"
    };
    for (const Case& c : cases) {
        for (bool laterFirst : {false, true}) {
            SortedList list;
            list.Add(laterFirst ? c.later : c.earlier, 1);
            list.Add(laterFirst ? c.earlier : c.later, 2);
            EXPECT_EQ(IndexOf(list, c.earlier), 0) << c.earlier << " | " << c.later;
        }
    }
}

TEST(SortedList, EqualTextGoesBeforeTheEqualItemItMeets) {
    SortedList list;
    EXPECT_EQ(list.Add("Toggle", 1), 0);
    EXPECT_EQ(list.Add("Zoom", 2), 1);
    EXPECT_EQ(list.Add("toggle", 3), 0);  // equal without regard to case
    EXPECT_EQ(list.Add("Alt", 4), 0);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Data(1), 3u);
    EXPECT_EQ(list.Data(2), 1u);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
