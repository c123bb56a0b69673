#include "catalogue/event_catalogue.h"

#include "catalogue/keyboard_events.h"

namespace {

struct SimulatorEvent {
    EventId id;
    EventCategory category;
    const char* description;  // code page 1252 bytes
};

// Categories 1 to 14, each in ascending id order; generated from events.tsv.
constexpr SimulatorEvent kSimulatorEvents[] = {
#include "catalogue/catalogue_data.inc"
};

constexpr EventCategory kMergeOrder[] = {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 1, 2, 15};

constexpr const char* kCategoryNames[] = {
    "*** All ***",
    "Aircraft Engine",
    "Aircraft Flight Controls",
    "Aircraft Automatic Flight Controls / Autopilot",
    "Aircraft Fuel System",
    "Aircraft Avionics",
    "Aircraft Instruments",
    "Aircraft Lights",
    "Aircraft Failures",
    "Aircraft Miscellaneous",
    "View System",
    "Slew System",
    "Miscellaneous Simulator Events",
    "ATC",
    "Multiplayer",
    "Keyboard",
};

}  // namespace

const char* EventCategoryName(EventCategory category) {
    if (category < kAllEventCategories || category > kLastEventCategory) return "";
    return kCategoryNames[category];
}

EventCatalogue BuildEventCategory(EventCategory category) {
    if (category == kAllEventCategories) return BuildEventCatalogue();
    if (category == kKeyboardEventCategory) return BuildKeyboardEvents();
    EventCatalogue events;
    for (const SimulatorEvent& event : kSimulatorEvents) {
        if (event.category == category) events[event.id] = event.description;
    }
    return events;
}

EventCatalogue BuildEventCatalogue() {
    return MergeEventCategories(BuildEventCategory);
}

EventCatalogue MergeEventCategories(const std::function<EventCatalogue(EventCategory)>& buildCategory) {
    EventCatalogue all;
    for (EventCategory category : kMergeOrder) {
        for (auto& [id, description] : buildCategory(category)) all[id] = std::move(description);
    }
    return all;
}

const std::string& EventDescription(const EventCatalogue& catalogue, EventId id) {
    static const std::string kNoDescription;
    const auto found = catalogue.find(id);
    return found == catalogue.end() ? kNoDescription : found->second;
}
