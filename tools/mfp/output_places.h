// Where each output lights a panel, for mfp check's overlap warnings and its map: the LED
// matrix's columns (a digit is a whole column, its segments a to g and point the column's rows
// 1 to 8; LED n is row (n-1) mod 8 of column (n-1) div 8), or a port line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/mfp_data.h"

struct Place {
    std::size_t output = 0;   // index in the list
    bool portLine = false;
    int first = 0, last = 0;  // matrix columns 0 to 31, or port * 8 + line
    int row = -1;             // a matrix LED's row 0 to 7; -1 for the whole columns of a display
    std::string text;         // "digits 1 to 4", "led 9, in digit 2's column", "port 0 line 3"
};

// Every output's place on the panel; parts off the panel are left out. A display takes the
// columns of its width, at least one: what a longer result spills, the spill trial finds.
std::vector<Place> PlacesOf(const MFPOutputList& outputs);

// "digit 3", "digits 1 to 4", from columns counted from 0.
std::string DigitsText(int first, int last);

// The panel drawn as text: the LED matrix's 8 rows by 32 columns and the 4 ports' 8 lines, each
// cell the output that owns it (1 to 9, then A to Z; "+" past output 35), "#" where outputs
// overlap, "." where none is; then which mark is which output.
std::vector<std::string> PanelMap(const MFPOutputList& outputs);
