#include "ui/event_picker_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/config/temp_folder.h"

namespace {

using Items = std::vector<std::pair<std::string, uint32_t>>;

int IndexOf(const SortedList& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Text(i) == text) return i;
    return -1;
}

Items FirstItems(const SortedList& list, size_t count) {
    Items items;
    for (int i = 0; i < list.Count() && items.size() < count; ++i) items.push_back({list.Text(i), list.Data(i)});
    return items;
}

void ChooseGroup(EventPickerModel& model, const std::string& name) {
    const int group = IndexOf(model.Groups(), name);
    ASSERT_GE(group, 0) << name;
    model.OnGroupChanged(group);
}

TEST(EventPicker, GroupsAreSortedWithTheirCategoriesAndNothingIsChosen) {
    const Items shown = {
        {"*** All ***", 0}, {"Aircraft Automatic Flight Controls / Autopilot", 3}, {"Aircraft Avionics", 5},
        {"Aircraft Engine", 1}, {"Aircraft Failures", 8}, {"Aircraft Flight Controls", 2},
        {"Aircraft Fuel System", 4}, {"Aircraft Instruments", 6}, {"Aircraft Lights", 7},
        {"Aircraft Miscellaneous", 9}, {"ATC", 13}, {"Keyboard", 15}, {"Miscellaneous Simulator Events", 12},
        {"Multiplayer", 14}, {"Slew System", 11}, {"View System", 10},
    };
    const EventPickerModel model;
    EXPECT_EQ(FirstItems(model.Groups(), 17), shown);
    EXPECT_EQ(model.Events().Count(), 0);
    EXPECT_FALSE(model.SearchEnabled());
    EXPECT_EQ(model.SearchPos(), -1);
}

TEST(EventPicker, AGroupListsItsEventsInTheListBoxOrder) {
    EventPickerModel model;
    ChooseGroup(model, "Keyboard");
    EXPECT_LT(IndexOf(model.Events(), "A Key"), IndexOf(model.Events(), "Alt (Left) Key"));
    EXPECT_TRUE(model.SearchEnabled());
    ChooseGroup(model, "ATC");
    EXPECT_EQ(FirstItems(model.Events(), 4), (Items{{"Activates ATC window", 0x1001C}, {"Selects ATC option 1", 0x1027C},
                                                   {"Selects ATC option 10", 0x10285}, {"Selects ATC option 2", 0x1027D}}));
    ChooseGroup(model, "*** All ***");
    const int first = IndexOf(model.Events(), "Increment throttles");
    EXPECT_EQ(model.Events().Text(first + 1), "Increment throttles");  // equal texts stand together
}

// One user action (with the group, the whole search text or the selected index) and what the
// list shows after it.
struct Step { enum Action { Group, Type, FindNext, Select } action; const char* text; int selection, searchPos; };

TEST(EventPicker, SearchFollowsTheTypedTextAndTheFindNextButton) {
    // "Aircraft Failures" as shown: 0 "Toggle electrical system failure", 1 - 4 "Toggle engine 1
    // failure" to 4, 5 "Toggle vacuum ...", 6 "Toggles blocked pitot tube", 7 "Toggles blocked
    // static port", 8 "Toggles brake failure (both)", 9 "Toggles hydraulic ...", 10 "Toggles
    // left brake failure", 11 "Toggles right brake failure".
    using S = Step;
    const std::vector<std::vector<Step>> scripts = {
        // typing keeps a match while it lasts, moves on, clears on a miss, then starts at the top
        {{S::Type, "e", 0, 0}, {S::Type, "en", 1, 1}, {S::Type, "engine 3", 3, 3}, {S::Type, "engine 3x", -1, -1},
         {S::Type, "engine 3", 3, 3}},
        // "..." visits every further match, keeps the last one, then starts from the top
        {{S::Type, "BRAKE", 8, 8}, {S::FindNext, "", 10, 10}, {S::FindNext, "", 11, 11}, {S::FindNext, "", 11, -1},
         {S::FindNext, "", 8, 8}},
        // the last item found: the next press selects nothing new, the one after finds it again
        {{S::Type, "right", 11, 11}, {S::FindNext, "", 11, -1}, {S::FindNext, "", 11, 11}},
        // an empty text matches the item at the start position; case does not count
        {{S::Type, "", 0, 0}, {S::Type, "toggles b", 6, 6}, {S::Type, "", 6, 6}, {S::FindNext, "", 7, 7}},
        // a group change keeps searchPos: the new list is searched from there, after a miss from the top
        {{S::Type, "hydraulic", 9, 9}, {S::Group, "ATC", -1, 9}, {S::Type, "option", 9, 9}, {S::Type, "window", -1, -1},
         {S::Type, "windo", 0, 0}},
        // the search starts from a found item only, not from the user's own selection
        {{S::Select, "5", 5, -1}, {S::Type, "engine", 1, 1}},
    };
    for (size_t s = 0; s < scripts.size(); ++s) {
        EventPickerModel model;
        ChooseGroup(model, "Aircraft Failures");
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

// What the picker closes with: the selected event, unless a file was imported, whatever was selected.
TEST(EventPicker, TheSelectionOrAnImportedFileBecomesTheChoice) {
    struct Case { int selected; std::string file; EventChoice choice; const char* description; };
    const Case cases[] = {
        {-1, "", {0x10000, 0}, "Do Nothing"},  // the picker's own text, not the catalogue's "Do nothing"
        {0, "", {0x1001C, 0}, "Activates ATC window"},
        {10, "", {0x10284, 0}, "Selects ATC option 9"},
        {11, "", {0x10000, 0}, "Do Nothing"},  // past the end: nothing selected
        {3, "[MFP-Import]\r\nAction=1003C\r\nValue=5\r\n", {0x1003C, 5}, "Set throttles max"},
        {3, "[Other]\r\nAction=1003C\r\n", {0x10000, 0}, "Do nothing"},  // the catalogue's text
        {3, "[MFP-Import]\r\nAction=20001\r\nValue=-2\r\n", {0x20001, -2}, ""},  // an id the catalogue lacks
    };
    const SimProfileFile profile;
    for (const Case& c : cases) {
        TempFolder folder;
        EventPickerModel model;
        ChooseGroup(model, "ATC");
        model.OnEventSelected(c.selected);
        // No file: the import was cancelled and changes nothing.
        EXPECT_EQ(model.Import(profile, c.file.empty() ? "" : folder.Write("event.ini", c.file)), !c.file.empty());
        EXPECT_EQ(model.Choice(), c.choice) << c.selected << c.file;
        EXPECT_EQ(model.Description(), c.description) << c.selected << c.file;
    }
}

}  // namespace
