// Text the tool prints that came from files, the catalogue or the user: as JSON strings and as
// terminal text, UTF-8 either way.
#pragma once

#include <string>
#include <string_view>

// A JSON string literal, quotes included: valid UTF-8 JSON for any bytes.
std::string JsonString(std::string_view cp1252);

// UTF-8 with every control character written as \xNN, so that no byte of a file can move the
// cursor or change the terminal's state.
std::string TerminalText(std::string_view cp1252);

// Text the user typed (arguments, standard input) as TerminalText: taken as UTF-8 when it is UTF-8
// that the code page can hold, else as code page 1252 bytes (what a Windows console passes).
std::string UserText(std::string_view text);
