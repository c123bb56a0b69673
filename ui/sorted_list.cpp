#include "ui/sorted_list.h"

#include "ui/list_sort_key.h"

int SortedList::Add(const std::string& text, uint32_t data) {
    std::string key = ListSortKey(text);
    int low = 0;
    int high = Count() - 1;
    int position = -1;
    while (low <= high && position < 0) {
        const int middle = (low + high) / 2;
        const int order = items[middle].key.compare(key);
        if (order == 0) position = middle;
        else if (order > 0) high = middle - 1;
        else low = middle + 1;
    }
    if (position < 0) position = low;
    items.insert(items.begin() + position, Item{text, data, std::move(key)});
    return position;
}

void SortedList::Clear() { items.clear(); }
