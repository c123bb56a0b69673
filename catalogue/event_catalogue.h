// The event catalogue: every event id a user may bind a switch to, with its description,
// sorted into fifteen categories. The rows are constant data compiled into the module; every
// Build call returns a fresh map that the caller owns, so the catalogue has no state and may
// be built from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

// Event ids: kDoNothingEvent does nothing, kFirstKeyboardEvent to kLastKeyboardEvent press one
// key each, every other id is a simulator event sent to the host unchanged.
using EventId = uint32_t;
constexpr EventId kDoNothingEvent = 0x10000;
constexpr EventId kFirstKeyboardEvent = 0x1000001;
constexpr EventId kLastKeyboardEvent = 0x1000039;

// Event id to description, in ascending id order. Descriptions are code page 1252 bytes (a few
// hold 0x92 apostrophes or end in a 0xA0 no-break space). Two ids may share a description.
using EventCatalogue = std::map<EventId, std::string>;

// Categories 1 to 15 each name one group of events; 0 stands for all of them.
using EventCategory = int;
constexpr EventCategory kAllEventCategories = 0;
constexpr EventCategory kKeyboardEventCategory = 15;
constexpr EventCategory kLastEventCategory = 15;

// The group name the event picker shows for a category ("*** All ***" for 0); empty text for
// a number that names no category.
const char* EventCategoryName(EventCategory category);

// The entries of one category 1 to 15; for 0 the full catalogue. A number that names no
// category gives an empty map.
EventCatalogue BuildEventCategory(EventCategory category);

// All entries of all categories (902).
EventCatalogue BuildEventCatalogue();

// Merges categories 1 to 15 built by buildCategory into one map, in the order 14, 13, 12, 11,
// 10, 9, 8, 7, 6, 5, 4, 3, 1, 2, 15: should an id ever sit in two categories, the category
// merged later gives its description. BuildEventCatalogue is this over BuildEventCategory.
EventCatalogue MergeEventCategories(const std::function<EventCatalogue(EventCategory)>& buildCategory);

// The description of an id, or the empty text when the catalogue does not hold it.
const std::string& EventDescription(const EventCatalogue& catalogue, EventId id);
