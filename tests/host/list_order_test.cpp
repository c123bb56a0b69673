// The portable list order against the platform: the real sorted list box and combo box, and
// the sort keys Windows' default table gives.
#include "catalogue/event_catalogue.h"
#include "ui/event_picker_model.h"
#include "ui/list_sort_key.h"
#include "ui/sorted_list.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Adds the texts to a sorted control of the class (LB_ADDSTRING or CB_ADDSTRING) and to a
// SortedList in the same order, then compares the two, item data included.
void ExpectSameOrder(const char* controlClass, DWORD style, UINT add, UINT setData, UINT getText, UINT getData,
                     const std::vector<std::pair<std::string, uint32_t>>& texts) {
    HWND control = CreateWindowExA(0, controlClass, "", WS_POPUP | style, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    SortedList model;
    for (const auto& [text, data] : texts) {
        const LRESULT index = SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(control, setData, index, data);
        model.Add(text, data);
    }
    ASSERT_EQ(model.Count(), static_cast<int>(texts.size()));
    for (int i = 0; i < model.Count(); ++i) {
        char text[600] = {};
        SendMessageA(control, getText, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(model.Text(i), text) << i;
        EXPECT_EQ(model.Data(i), static_cast<uint32_t>(SendMessageA(control, getData, i, 0))) << i;
    }
    DestroyWindow(control);
}

void ExpectListBoxOrder(const std::vector<std::pair<std::string, uint32_t>>& texts) {
    ExpectSameOrder("LISTBOX", LBS_SORT | LBS_HASSTRINGS, LB_ADDSTRING, LB_SETITEMDATA, LB_GETTEXT, LB_GETITEMDATA, texts);
}

TEST(ListOrder, EveryGroupOfTheCatalogueAsASortedListBoxHasIt) {
    for (EventCategory category = kAllEventCategories; category <= kLastEventCategory; ++category) {
        SCOPED_TRACE(EventCategoryName(category));
        std::vector<std::pair<std::string, uint32_t>> texts;
        for (const auto& [id, text] : BuildEventCategory(category)) texts.push_back({text, id});
        ExpectListBoxOrder(texts);
    }
}

TEST(ListOrder, GroupNamesAsASortedComboBoxHasThem) {
    std::vector<std::pair<std::string, uint32_t>> names;
    for (EventCategory category = kAllEventCategories; category <= kLastEventCategory; ++category)
        names.push_back({EventCategoryName(category), static_cast<uint32_t>(category)});
    ExpectSameOrder("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, CB_ADDSTRING, CB_SETITEMDATA, CB_GETLBTEXT, CB_GETITEMDATA,
                    names);
}

// Texts of one and two characters from letters, accents, ligatures, blanks, hyphen-like marks,
// digits and superscripts: the levels of the sort and the ties between equal texts.
TEST(ListOrder, ShortTextsOfEveryKindAsASortedListBoxHasThem) {
    const std::string alphabet = "aAe\xE9\xC9\xE6-'\x96 \xA0\x92" "1\xB2\x01";
    std::vector<std::pair<std::string, uint32_t>> texts;
    for (char first : alphabet) {
        texts.push_back({std::string(1, first), static_cast<uint32_t>(texts.size())});
        for (char second : alphabet) texts.push_back({std::string{first, second}, static_cast<uint32_t>(texts.size())});
    }
    ExpectListBoxOrder(texts);
}

std::string PlatformSortKey(const std::string& text) {
    wchar_t wide[16] = {};
    const int length = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), wide, 16);
    char key[256] = {};
    const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, wide, length,
                                  reinterpret_cast<LPWSTR>(key), sizeof key);
    return std::string(key, size > 0 ? size : 0);
}

TEST(ListOrder, SortKeysAreThePlatformsForEveryByte) {
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        for (const std::string& text : {std::string(1, c), std::string{'x', c, c, 'y'}})
            EXPECT_EQ(ListSortKey(text), PlatformSortKey(text)) << "byte " << byte;
    }
}

}  // namespace
