// The items of a sorted list box or combo box, in the order the control keeps them, so that a
// portable dialog model knows the index of every item it shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SortedList {
public:
    // Inserts as the control's LB_ADDSTRING and CB_ADDSTRING do: a binary search over the
    // items in list order (ListSortKey); a text equal in that order to an item the search meets
    // goes before that item. Returns the new item's index.
    int Add(const std::string& text, uint32_t data);
    void Clear();

    int Count() const { return static_cast<int>(items.size()); }
    // index must lie in 0 .. Count() - 1.
    const std::string& Text(int index) const { return items[index].text; }
    uint32_t Data(int index) const { return items[index].data; }

private:
    struct Item {
        std::string text;
        uint32_t data;
        std::string key;
    };
    std::vector<Item> items;
};
