#include "catalogue/keyboard_events.h"

#include <cstdio>

namespace {

// Letters and digits are numbered from their own character codes.
constexpr EventId kLetterKeyOffset = 0xFFFFCC;  // 'A' (65) gives 0x100000D
constexpr EventId kDigitKeyOffset = 0xFFFFF7;   // '0' (48) gives 0x1000027

void InsertCharacterKeys(EventCatalogue& keys, char first, char last, EventId offset) {
    for (char c = first; c <= last; ++c) {
        char text[260] = {};
        std::snprintf(text, sizeof text, "%c Key", c);
        keys[static_cast<EventId>(c) + offset] = text;
    }
}

}  // namespace

EventCatalogue BuildKeyboardEvents() {
    EventCatalogue keys;
    for (int n = 1; n <= 12; ++n)
        keys[kFirstKeyboardEvent + n - 1] = "F" + std::to_string(n) + " Key";
    InsertCharacterKeys(keys, 'A', 'Z', kLetterKeyOffset);
    InsertCharacterKeys(keys, '0', '9', kDigitKeyOffset);
    keys[0x1000031] = "Alt (Left) Key";
    keys[0x1000033] = "Alt (Right) Key";
    keys[0x1000032] = "Control (Left) Key";
    keys[0x1000034] = "Control (Right) Key";
    keys[0x1000035] = "Alt Key";
    keys[0x1000036] = "Control Key";
    keys[0x1000037] = "Print Screen Key";
    keys[0x1000038] = "Pause Key";
    keys[0x1000039] = "Tab Key";
    return keys;
}
