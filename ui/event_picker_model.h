// The event picker's state and rules without windows: the sixteen event groups, the events of
// the chosen group in the list box's order, the incremental search and the choice the picker
// closes with. CFSEventPickerDlg (fs_event_picker_dlg.h) shows this state and passes the user's
// actions in; the native tests drive it directly. Used by one thread, the picker's.
#pragma once

#include <string>

#include "catalogue/event_catalogue.h"
#include "config/setup_file.h"
#include "os/profile_file.h"
#include "ui/sorted_list.h"

class EventPickerModel {
public:
    // The groups, each with its EventCategory as item data; no group chosen, no event listed,
    // value 0, searchPos -1.
    EventPickerModel();

    const SortedList& Groups() const { return groups; }
    const SortedList& Events() const { return events; }
    // The item the event list shows selected; -1 for none.
    int Selection() const { return selection; }
    int SearchPos() const { return searchPos; }
    // The search label, field and "..." button stay disabled until a group is chosen.
    bool SearchEnabled() const { return searchEnabled; }

    // The user chose group index (of Groups(); -1 for none, which lists nothing): its events
    // replace the list, none selected. searchPos stays.
    void OnGroupChanged(int group);
    // The search field now holds text (code page 1252): searches from the item found last.
    void OnSearchChanged(const std::string& text);
    // "...": the next match after the one found last; a miss leaves the selection alone.
    void OnFindNext();
    // The user selected item index of the event list (-1: none); the choice follows it.
    void OnEventSelected(int index);
    // The selected event becomes the choice; without a selection 0x10000 "Do Nothing".
    void TakeSelection();
    // "&Import" after the file dialog: an empty path (cancelled) changes nothing and gives
    // false. Otherwise event and value come from the file's "MFP-Import" section, the
    // description from the full catalogue, and the result is true: close as with OK.
    bool Import(const ProfileFile& profile, const std::string& path);

    // The choice, valid once the picker closed with OK.
    EventChoice Choice() const { return {eventId, value}; }
    const std::string& Description() const { return description; }

private:
    // Selects the first item from start on whose upper-cased text holds the upper-cased search
    // text. On a miss searchPos becomes -1 and, unless keepSelection, nothing stays selected.
    void Search(int start, bool keepSelection);

    int32_t value = 0;
    std::string description;
    EventId eventId = kDoNothingEvent;
    SortedList groups;
    SortedList events;
    int searchPos = -1;
    int selection = -1;
    std::string searchText;
    bool searchEnabled = false;
};
