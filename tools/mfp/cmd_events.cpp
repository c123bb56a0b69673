// mfp events [--category N] [--search TEXT] [--json]: lists the event catalogue, so that users
// editing the configuration file by hand can find the ids of the events they want.
#include "catalogue/code_page_1252.h"
#include "catalogue/event_catalogue.h"
#include "tools/mfp/commands.h"
#include "tools/mfp/output_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct EventsOptions {
    EventCategory category = kAllEventCategories;
    std::string search;  // code page 1252 bytes
    bool json = false;
};

std::optional<EventCategory> ParseCategory(std::string_view text) {
    EventCategory category = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), category);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (category < kAllEventCategories || category > kLastEventCategory) return std::nullopt;
    return category;
}

// Search text from a UTF-8 terminal is matched in the catalogue's own code page, so that a typed
// right single quotation mark finds the 0x92 apostrophe. Text that is not UTF-8 (a Windows
// console passes code page 1252 bytes) is matched as it is.
std::string SearchBytes(const std::string& text) {
    return Utf8ToCp1252(text).value_or(text);
}

EventsOptions ParseOptions(ArgumentReader& reader) {
    EventsOptions options;
    while (reader.Next()) {
        if (reader.Is("--json")) {
            options.json = true;
        } else if (reader.Is("--category")) {
            const std::optional<EventCategory> category = ParseCategory(reader.Value().value_or(""));
            if (category) options.category = *category;
            else reader.Fail("categories are 0 to " + std::to_string(kLastEventCategory));
        } else if (reader.Is("--search")) {
            options.search = SearchBytes(reader.Value().value_or(""));
        } else {
            reader.Unexpected();
        }
    }
    return options;
}

// Letters of the catalogue are plain A to Z, so folding those is enough.
char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return FoldCase(a) == FoldCase(b); }) != text.end();
}

// The categories do not share ids, so each id has exactly one category.
std::map<EventId, EventCategory> CategoryOfEachId() {
    std::map<EventId, EventCategory> categoryOf;
    for (EventCategory category = 1; category <= kLastEventCategory; ++category) {
        for (const auto& entry : BuildEventCategory(category)) categoryOf[entry.first] = category;
    }
    return categoryOf;
}

void PrintJson(const EventCatalogue& events) {
    const std::map<EventId, EventCategory> categoryOf = CategoryOfEachId();
    std::string separator = "\n";
    std::printf("[");
    for (const auto& [id, description] : events) {
        std::printf("%s{\"id\":%lu,\"category\":%d,\"text\":%s}", separator.c_str(),
                    static_cast<unsigned long>(id),
                    categoryOf.at(id),
                    JsonString(description).c_str());
        separator = ",\n";
    }
    std::printf("\n]\n");
}

void PrintLines(const EventCatalogue& events) {
    for (const auto& [id, description] : events) {
        std::printf("0x%lX\t%s\n", static_cast<unsigned long>(id), TerminalText(description).c_str());
    }
}

}  // namespace

int RunEventsCommand(const Arguments& args) {
    ArgumentReader reader("events", args);
    const EventsOptions options = ParseOptions(reader);
    if (const auto status = reader.Finish()) return *status;
    EventCatalogue events = BuildEventCategory(options.category);
    for (auto entry = events.begin(); entry != events.end();) {
        entry = ContainsIgnoringCase(entry->second, options.search) ? std::next(entry) : events.erase(entry);
    }
    if (options.json)
        PrintJson(events);
    else
        PrintLines(events);
    return 0;
}
