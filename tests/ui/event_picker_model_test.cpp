#include "ui/event_picker_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/config/temp_folder.h"

namespace {

int IndexOf(const SortedList& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Text(i) == text) return i;
    return -1;
}

void ChooseGroup(EventPickerModel& model, const std::string& name) {
    const int group = IndexOf(model.Groups(), name);
    ASSERT_GE(group, 0) << name;
    model.OnGroupChanged(group);
}

TEST(EventPicker, GroupsAreSortedWithTheirCategories) {
    const std::vector<std::pair<std::string, uint32_t>> shown = {
        {"*** All ***", 0}, {"Aircraft Automatic Flight Controls / Autopilot", 3}, {"Aircraft Avionics", 5},
        {"Aircraft Engine", 1}, {"Aircraft Failures", 8}, {"Aircraft Flight Controls", 2},
        {"Aircraft Fuel System", 4}, {"Aircraft Instruments", 6}, {"Aircraft Lights", 7},
        {"Aircraft Miscellaneous", 9}, {"ATC", 13}, {"Keyboard", 15}, {"Miscellaneous Simulator Events", 12},
        {"Multiplayer", 14}, {"Slew System", 11}, {"View System", 10},
    };
    const EventPickerModel model;
    ASSERT_EQ(model.Groups().Count(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(model.Groups().Text(i), shown[i].first) << i;
        EXPECT_EQ(model.Groups().Data(i), shown[i].second) << i;
    }
    EXPECT_EQ(model.Events().Count(), 0);
    EXPECT_FALSE(model.SearchEnabled());
    EXPECT_EQ(model.SearchPos(), -1);
    EXPECT_EQ(model.Choice().value, 0);
}

TEST(EventPicker, AGroupListsItsEventsInTheListBoxOrder) {
    struct Case { const char* group; int count; std::vector<std::pair<std::string, EventId>> firstItems; };
    const Case cases[] = {
        {"Keyboard", 57, {{"0 Key", 0x1000027}}},
        {"*** All ***", 902, {}},
        {"ATC", 11, {{"Activates ATC window", 0x1001C}, {"Selects ATC option 1", 0x1027C},
                     {"Selects ATC option 10", 0x10285}, {"Selects ATC option 2", 0x1027D}}},
        {"Multiplayer", 5, {{"Activates chat window", 0x10171}, {"Change player to an observer", 0x1016F},
                            {"Snaps user to directly behind currently tracked player", 0x1016E},
                            {"Toggle to the next player to track", 0x1016D},
                            {"Toggles chat window visible/invisible", 0x10170}}},
    };
    for (const Case& c : cases) {
        EventPickerModel model;
        ChooseGroup(model, c.group);
        ASSERT_EQ(model.Events().Count(), c.count) << c.group;
        for (size_t i = 0; i < c.firstItems.size(); ++i) {
            EXPECT_EQ(model.Events().Text(i), c.firstItems[i].first) << c.group << " " << i;
            EXPECT_EQ(model.Events().Data(i), c.firstItems[i].second) << c.group << " " << i;
        }
        EXPECT_TRUE(model.SearchEnabled());
        EXPECT_EQ(model.Selection(), -1);
    }
    EventPickerModel model;
    ChooseGroup(model, "Keyboard");
    EXPECT_LT(IndexOf(model.Events(), "A Key"), IndexOf(model.Events(), "Alt (Left) Key"));
    ChooseGroup(model, "*** All ***");
    const int first = IndexOf(model.Events(), "Increment throttles");
    EXPECT_EQ(model.Events().Text(first + 1), "Increment throttles");  // equal texts stand together
    model.OnGroupChanged(-1);  // no group: an empty list
    EXPECT_EQ(model.Events().Count(), 0);
}

// The events of "Aircraft Failures" in the order shown, for the search scripts below.
const char* const kFailures[] = {
    "Toggle electrical system failure", "Toggle engine 1 failure",      "Toggle engine 2 failure",
    "Toggle engine 3 failure",          "Toggle engine 4 failure",      "Toggle vacuum system failure",
    "Toggles blocked pitot tube",       "Toggles blocked static port",  "Toggles brake failure (both)",
    "Toggles hydraulic system failure", "Toggles left brake failure",   "Toggles right brake failure",
};

TEST(EventPicker, FailuresGroupIsInTheOrderTheSearchScriptsUse) {
    EventPickerModel model;
    ChooseGroup(model, "Aircraft Failures");
    ASSERT_EQ(model.Events().Count(), 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(model.Events().Text(i), kFailures[i]) << i;
}

// One user action and what the list shows after it.
struct Step {
    enum Action { Group, Type, FindNext, Select } action;
    const char* text;  // the group or the whole search text
    int selection;
    int searchPos;
};

TEST(EventPicker, SearchFollowsTheTypedTextAndTheFindNextButton) {
    using S = Step;
    const std::vector<std::vector<Step>> scripts = {
        // typing keeps a match while it lasts, moves on, clears on a miss, then starts at the top
        {{S::Group, "Aircraft Failures", -1, -1}, {S::Type, "e", 0, 0}, {S::Type, "en", 1, 1},
         {S::Type, "engine 3", 3, 3}, {S::Type, "engine 3x", -1, -1}, {S::Type, "engine 3", 3, 3}},
        // "..." visits every further match, keeps the last one, then starts from the top
        {{S::Group, "Aircraft Failures", -1, -1}, {S::Type, "BRAKE", 8, 8}, {S::FindNext, "", 10, 10},
         {S::FindNext, "", 11, 11}, {S::FindNext, "", 11, -1}, {S::FindNext, "", 8, 8}},
        // the last item found: the next press selects nothing new, the one after finds it again
        {{S::Group, "Aircraft Failures", -1, -1}, {S::Type, "right", 11, 11}, {S::FindNext, "", 11, -1},
         {S::FindNext, "", 11, 11}},
        // an empty text matches the item at the start position; case does not count
        {{S::Group, "Aircraft Failures", -1, -1}, {S::Type, "", 0, 0}, {S::Type, "toggles b", 6, 6},
         {S::Type, "", 6, 6}, {S::FindNext, "", 7, 7}},
        // a group change keeps searchPos: the new list is searched from there, after a miss from the top
        {{S::Group, "Aircraft Failures", -1, -1}, {S::Type, "hydraulic", 9, 9}, {S::Group, "ATC", -1, 9},
         {S::Type, "option", 9, 9}, {S::Type, "window", -1, -1}, {S::Type, "windo", 0, 0}},
        // the search starts from a found item only, not from the user's own selection
        {{S::Group, "Aircraft Failures", -1, -1}, {S::Select, "5", 5, -1}, {S::Type, "engine", 1, 1}},
        // nothing listed before a group is chosen
        {{S::Type, "t", -1, -1}, {S::FindNext, "", -1, -1}},
    };
    for (size_t s = 0; s < scripts.size(); ++s) {
        EventPickerModel model;
        for (size_t i = 0; i < scripts[s].size(); ++i) {
            const Step& step = scripts[s][i];
            if (step.action == S::Group) ChooseGroup(model, step.text);
            if (step.action == S::Type) model.OnSearchChanged(step.text);
            if (step.action == S::FindNext) model.OnFindNext();
            if (step.action == S::Select) model.OnEventSelected(std::stoi(step.text));
            EXPECT_EQ(model.Selection(), step.selection) << "script " << s << " step " << i;
            EXPECT_EQ(model.SearchPos(), step.searchPos) << "script " << s << " step " << i;
        }
    }
}

TEST(EventPicker, TheSelectionBecomesTheChoice) {
    struct Case { int selected; EventId eventId; const char* description; };
    const Case cases[] = {
        {-1, 0x10000, "Do Nothing"},  // the picker's own text, not the catalogue's "Do nothing"
        {0, 0x1001C, "Activates ATC window"},
        {10, 0x10284, "Selects ATC option 9"},
        {11, 0x10000, "Do Nothing"},  // past the end: nothing selected
    };
    for (const Case& c : cases) {
        EventPickerModel model;
        ChooseGroup(model, "ATC");
        model.OnEventSelected(c.selected);
        EXPECT_EQ(model.Choice().eventId, c.eventId) << c.selected;
        EXPECT_EQ(model.Choice().value, 0) << c.selected;
        EXPECT_EQ(model.Description(), c.description) << c.selected;
    }
    EventPickerModel model;  // OK without a group
    model.TakeSelection();
    EXPECT_EQ(model.Choice(), (EventChoice{0x10000, 0}));
    EXPECT_EQ(model.Description(), "Do Nothing");
}

TEST(EventPicker, ImportTakesEventAndValueFromTheFileWhateverIsSelected) {
    struct Case { std::string file; EventChoice choice; const char* description; };
    const Case cases[] = {
        {"[MFP-Import]\r\nAction=1003C\r\nValue=5\r\n", {0x1003C, 5}, "Set throttles max"},
        {"[MFP-Import]\r\nAction=0x1003c\r\nValue=-2\r\n", {0x1003C, -2}, "Set throttles max"},
        {"[Other]\r\nAction=1003C\r\n", {0x10000, 0}, "Do nothing"},  // the catalogue's text
        {"[MFP-Import]\r\nAction=20001\r\n", {0x20001, 0}, ""},       // an id the catalogue lacks
    };
    const SimProfileFile profile;
    for (const Case& c : cases) {
        TempFolder folder;
        EventPickerModel model;
        ChooseGroup(model, "ATC");
        model.OnEventSelected(3);
        ASSERT_TRUE(model.Import(profile, folder.Write("event.ini", c.file))) << c.file;
        EXPECT_EQ(model.Choice(), c.choice) << c.file;
        EXPECT_EQ(model.Description(), c.description) << c.file;
    }
    EventPickerModel model;  // the file dialog was cancelled: nothing changes
    ChooseGroup(model, "ATC");
    model.OnEventSelected(3);
    EXPECT_FALSE(model.Import(profile, ""));
    EXPECT_EQ(model.Choice(), (EventChoice{0x1027D, 0}));
    EXPECT_EQ(model.Selection(), 3);
}

}  // namespace
