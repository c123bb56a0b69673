#include "config/sim_board_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "config/parse_hex_text.h"

std::optional<SimBoardSetup> ParseSimBoardText(std::string_view text, std::string* problem) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t colon = text.find(':', from);
        parts.push_back(text.substr(from, colon == std::string_view::npos ? colon : colon - from));
        if (colon == std::string_view::npos) break;
        from = colon + 1;
    }
    // "serial XYZ: 8 hexadecimal digits ... expected"
    const auto fail = [&](std::string what, std::string_view part, const char* expected) {
        if (!part.empty()) what += " " + std::string(part);
        if (problem) *problem = (what.empty() ? "" : what + ": ") + expected + " expected";
        return std::nullopt;
    };
    if (parts.size() != 2 && parts.size() != 4) return fail("", "", "PID:SERIAL[:TYPE:VERSION]");
    if (!IsHexDigits(parts[0], 4)) return fail("product id", parts[0], "4 hexadecimal digits");
    const std::string_view serial = parts[1];
    const bool hasSerial = serial.empty() || serial[0] != '-';
    const std::string_view name = serial.substr(hasSerial ? 0 : 1);
    const bool lettersAndDigits = std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0;
    });
    if (hasSerial ? !IsHexDigits(serial, 8) : name.empty() || name.size() > 8 || !lettersAndDigits)
        return fail("serial", serial, "8 hexadecimal digits, or -NAME of up to 8 letters and digits,");
    SimBoardSetup setup;
    setup.productId = static_cast<std::uint16_t>(ParseHexText(parts[0]));
    setup.serial = std::string(serial);
    setup.hasSerial = hasSerial;
    if (parts.size() == 4) {
        if (!IsHexDigits(parts[2], 2)) return fail("type", parts[2], "2 hexadecimal digits");
        if (!IsHexDigits(parts[3], 2)) return fail("version", parts[3], "2 hexadecimal digits");
        setup.subModules = {{1, {static_cast<std::uint8_t>(ParseHexText(parts[2])),
                                 static_cast<std::uint8_t>(ParseHexText(parts[3]))}}};
    }
    return setup;
}
