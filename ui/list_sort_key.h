// The order of a sorted Windows list box or combo box (LBS_SORT, CBS_SORT) for code page 1252
// text. Such a control compares its strings with CompareStringW(NORM_IGNORECASE) of the user's
// locale, Windows' default table in its "word sort": case does not count, accents count only
// between otherwise equal texts, and hyphens, apostrophes and control characters count only
// after everything else (so "co-op" sorts right after "coop").
#pragma once

#include <string>
#include <string_view>

// The sort key Windows' default table gives the text (LCMapStringW with LCMAP_SORTKEY and
// NORM_IGNORECASE, of the text's code page 1252 characters): two texts compare as the list box
// compares them when their keys are compared byte for byte.
std::string ListSortKey(std::string_view text);
