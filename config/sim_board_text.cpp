#include "config/sim_board_text.h"

#include <string>
#include <vector>

#include "config/parse_hex_text.h"

std::optional<SimBoardSetup> ParseSimBoardText(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t colon = text.find(':', from);
        parts.push_back(text.substr(from, colon == std::string_view::npos ? colon : colon - from));
        if (colon == std::string_view::npos) break;
        from = colon + 1;
    }
    if (parts.size() != 2 && parts.size() != 4) return std::nullopt;
    const std::string_view serial = parts[1];
    const bool hasSerial = serial.empty() || serial[0] != '-';
    const std::size_t nameLength = serial.size() - (hasSerial ? 0 : 1);
    if (nameLength == 0 || nameLength > 8) return std::nullopt;
    SimBoardSetup setup;
    setup.productId = static_cast<std::uint16_t>(ParseHexText(parts[0]));
    setup.serial = std::string(serial);
    setup.hasSerial = hasSerial;
    if (parts.size() == 4) {
        setup.subModules = {{1, {static_cast<std::uint8_t>(ParseHexText(parts[2])),
                                 static_cast<std::uint8_t>(ParseHexText(parts[3]))}}};
    }
    return setup;
}
