// The portable list order against the platform: a real sorted list box, and the sort keys of
// Windows' default table.
#include "catalogue/event_catalogue.h"
#include "ui/list_sort_key.h"
#include "ui/sorted_list.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Adds the texts to a sorted list box and to a SortedList in the same order (as the picker
// adds a group's events: by ascending id), then compares the two, item data included.
void ExpectListBoxOrder(const std::vector<std::pair<std::string, uint32_t>>& texts) {
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
    SortedList model;
    for (const auto& [text, data] : texts) {
        SendMessageA(list, LB_SETITEMDATA, SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())), data);
        model.Add(text, data);
    }
    ASSERT_EQ(model.Count(), static_cast<int>(texts.size()));
    for (int i = 0; i < model.Count(); ++i) {
        char text[600] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(model.Text(i), text) << i;
        EXPECT_EQ(model.Data(i), static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, i, 0))) << i;
    }
    DestroyWindow(list);
}

TEST(ListOrder, EveryGroupOfTheCatalogueAsASortedListBoxHasIt) {
    for (EventCategory category = kAllEventCategories; category <= kLastEventCategory; ++category) {
        SCOPED_TRACE(EventCategoryName(category));
        std::vector<std::pair<std::string, uint32_t>> texts;
        for (const auto& [id, text] : BuildEventCategory(category)) texts.push_back({text, id});
        ExpectListBoxOrder(texts);
    }
}

// Texts of one and two characters from letters, accents, ligatures, blanks, hyphen-like marks,
// digits and superscripts: every level of the sort, and the ties between equal texts.
TEST(ListOrder, ShortTextsOfEveryKindAsASortedListBoxHasThem) {
    const std::string alphabet = "aAe\xE9\xC9\xE6-'\x96 \xA0\x92" "1\xB2\x01";
    std::vector<std::pair<std::string, uint32_t>> texts;
    for (char first : alphabet) {
        texts.push_back({std::string(1, first), static_cast<uint32_t>(texts.size())});
        for (char second : alphabet) texts.push_back({std::string{first, second}, static_cast<uint32_t>(texts.size())});
    }
    ExpectListBoxOrder(texts);
}

TEST(ListOrder, SortKeysAreThePlatformsForEveryByte) {
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        for (const std::string& text : {std::string(1, c), std::string{'x', c, c, 'y'}}) {
            wchar_t wide[8] = {};
            const int length = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), wide, 8);
            char key[64] = {};
            const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, wide, length,
                                          reinterpret_cast<LPWSTR>(key), sizeof key);
            EXPECT_EQ(ListSortKey(text), std::string(key, size > 0 ? size : 0)) << "byte " << byte;
        }
    }
}

}  // namespace
