// Simulated boards written as text as `mfp panels --sim` and the stand-in HID libraries take them:
// PID:SERIAL[:TYPE:VERSION], numbers hexadecimal: product id 4 digits, sub-module 1 type and
// version 2 digits each (without TYPE:VERSION the board carries one panel module, 02:01).
// SERIAL is 8 hexadecimal digits, as a chip's; written as -NAME (NAME 1 to 8 letters and digits)
// it is a chip without a serial string, which answers the serial request with its language list;
// the tools still call that board "-NAME".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "os/sim_board.h"

// Nothing for text that is not a board text; problem, when given, then says which part is wrong.
std::optional<SimBoardSetup> ParseSimBoardText(std::string_view text, std::string* problem = nullptr);
