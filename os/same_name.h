// Names that Windows compares without regard to letter case (profile sections and keys, device
// serials), compared the same way: ASCII letters fold, everything else must match exactly.
#pragma once

#include <cctype>
#include <string_view>

inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}
