#include "ui/event_picker_model.h"

#include "catalogue/code_page_1252.h"

namespace {
// The picker's own text for "no event", unlike the catalogue's "Do nothing" for 0x10000.
constexpr const char* kNoSelectionText = "Do Nothing";
}  // namespace

EventPickerModel::EventPickerModel() {
    for (EventCategory category = kAllEventCategories; category <= kLastEventCategory; ++category)
        groups.Add(EventCategoryName(category), static_cast<uint32_t>(category));
}

void EventPickerModel::OnGroupChanged(int group) {
    const bool chosen = group >= 0 && group < groups.Count();
    // Any number that names no category lists nothing.
    const EventCategory category = chosen ? static_cast<EventCategory>(groups.Data(group)) : -1;
    events.Clear();
    selection = -1;
    for (const auto& [id, text] : BuildEventCategory(category)) events.Add(text, id);
    searchEnabled = true;
}

void EventPickerModel::OnSearchChanged(const std::string& text) {
    searchText = text;
    Search(searchPos, false);
}

void EventPickerModel::OnFindNext() { Search(searchPos + 1, true); }

void EventPickerModel::Search(int start, bool keepSelection) {
    // Upper case as code page 1252 has it: accented small letters match their capitals too.
    const std::string wanted = UpperCaseCp1252(searchText);
    searchPos = -1;
    for (int i = start < 0 ? 0 : start; i < events.Count(); ++i) {
        if (UpperCaseCp1252(events.Text(i)).find(wanted) != std::string::npos) {
            selection = i;
            searchPos = i;
            return;
        }
    }
    if (!keepSelection) selection = -1;
}

void EventPickerModel::OnEventSelected(int index) {
    selection = index >= 0 && index < events.Count() ? index : -1;
    TakeSelection();
}

void EventPickerModel::TakeSelection() {
    if (selection < 0) {
        eventId = kDoNothingEvent;
        description = kNoSelectionText;
    } else {
        eventId = events.Data(selection);
        description = events.Text(selection);
    }
}

bool EventPickerModel::Import(const ProfileFile& profile, const std::string& path) {
    if (path.empty()) return false;
    const EventChoice choice = ReadSingleEvent(profile, path);
    eventId = choice.eventId;
    value = choice.value;
    description = EventDescription(BuildEventCatalogue(), eventId);
    return true;
}
