#include "board/io_warrior.h"

#include <algorithm>
#include <iterator>

IOWarrior::IOWarrior(KitHandle handle, bool shared) : handle(handle), shared(shared) {}

IOWarrior::~IOWarrior() {
    if (handle != 0 && !shared) {
        KitCloseAll(handle);
        handle = 0;
    }
}

std::uint32_t IOWarrior::ProductId() {
    if (productId == 0) productId = KitProductIdOf(handle);
    return productId;
}

std::string IOWarrior::GetSerialNumber(bool refresh) {
    if (refresh || serial[0] == L'\0') {
        wchar_t fetched[9] = {};
        KitSerialOf(handle, fetched);
        std::copy(std::begin(fetched), std::end(fetched), std::begin(serial));
    }
    // Serials are hexadecimal digits; anything outside ASCII would not name an INI section.
    std::string text;
    for (const wchar_t* c = serial; *c != L'\0'; ++c)
        text += *c < 0x80 ? static_cast<char>(*c) : '?';
    return text;
}
