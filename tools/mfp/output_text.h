// Text the tool prints that came from files or the catalogue (code page 1252 bytes, whatever a
// file holds): as JSON strings and as terminal text, UTF-8 either way.
#pragma once

#include <string>
#include <string_view>

// A JSON string literal, quotes included: valid UTF-8 JSON for any bytes.
std::string JsonString(std::string_view cp1252);

// UTF-8 with every control character written as \xNN, so that no byte of a file can move the
// cursor or change the terminal's state.
std::string TerminalText(std::string_view cp1252);
