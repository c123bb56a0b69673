// Simulated boards written as text as `mfp panels --sim` and the stand-in HID libraries take them:
// PID:SERIAL[:TYPE:VERSION], numbers hexadecimal (product id, sub-module 1 type and version;
// without TYPE:VERSION the board carries one panel module, 02:01). SERIAL is 1 to 8 characters;
// written as -NAME (NAME 1 to 8 characters) it is a chip without a serial string, which answers
// the serial request with its language list; the tools still call that board "-NAME".
#pragma once

#include <optional>
#include <string_view>

#include "os/sim_board.h"

std::optional<SimBoardSetup> ParseSimBoardText(std::string_view text);
