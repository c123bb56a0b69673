#include "board/segment_pattern.h"

namespace {

// Characters 0x20..0x5F; lower case is upper-cased by the callers before it gets here.
constexpr std::uint8_t kPatterns[64] = {
    // space  !     "     #     $     %     &     '
    0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40,
    // (     )     *     +     ,     -     .     /
    0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x80, 0x00,
    // 0     1     2     3     4     5     6     7
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,
    // 8     9     :     ;     <     =     >     ?
    0x7F, 0x67, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    // @     A     B     C     D     E     F     G
    0x00, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71, 0x7D,
    // H     I     J     K     L     M     N     O
    0x76, 0x30, 0x0E, 0x00, 0x38, 0x00, 0x54, 0x3F,
    // P     Q     R     S     T     U     V     W
    0x73, 0x00, 0x50, 0x6D, 0x07, 0x3E, 0x00, 0x00,
    // X     Y     Z     [     \     ]     ^     _
    0x00, 0x00, 0x5B, 0x00, 0x00, 0x00, 0x00, 0x08,
};

}  // namespace

std::uint8_t SegmentPattern(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 0x20 && code <= 0x5F ? kPatterns[code - 0x20] : 0;
}

std::vector<int> DigitPatterns(const std::string& text) {
    std::vector<int> patterns;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int pattern = SegmentPattern(text[i]);
        if (i + 1 < text.size() && text[i + 1] == '.') {
            pattern += 0x80;
            ++i;
        }
        patterns.push_back(pattern);
    }
    return patterns;
}
