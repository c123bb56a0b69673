#include "board/device_path.h"

#include "config/parse_hex_text.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace {

// The hexadecimal number after the first occurrence of tag, read up to the terminator;
// 0 when the tag is missing.
uint32_t NumberAfter(const std::string& text, std::string_view tag, char terminator) {
    const size_t start = text.find(tag);
    if (start == std::string::npos) return 0;
    const size_t from = start + tag.size();
    const size_t end = text.find(terminator, from);
    return ParseHexText(std::string_view(text).substr(from, end == std::string::npos ? std::string::npos : end - from));
}

}  // namespace

bool IsOurDevicePath(std::string_view path, unsigned interfaceNumber) {
    std::string upper(path);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    const uint32_t vendor = NumberAfter(upper, "VID_", '&');
    const uint32_t product = NumberAfter(upper, "PID_", '&');
    const uint32_t interface = NumberAfter(upper, "MI_", '#');
    const bool ourVendor = vendor == 0x1FD1 || vendor == 0x07C0;
    // 0x1500 here, not the 0x1583 the kit opens: the notification names the chip's own product id.
    const bool ourProduct = product == 0x03E8 || product == 0x03EA || product == 0x1500;
    return ourVendor && ourProduct && interface == interfaceNumber;
}
