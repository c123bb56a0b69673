// The script language of `mfp demo --script FILE`: one command per line; # starts a comment
// that runs to the end of the line. PANEL is a 1-based index in --sim order, 1 when left out.
//   press SWn [PANEL] | release SWn [PANEL]      n 1..15
//   gauge ID VALUE [TYPE]                        ID a number or FS2004 name; TYPE 33 (default), 2 or 14
//   wait MS | view off | view on | unplug [PANEL] | plug [PANEL] | show
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

struct DemoCommand {
    enum class Verb { Press, Release, Gauge, Wait, ViewOff, ViewOn, Unplug, Plug, Show };
    Verb verb = Verb::Show;
    int panel = 1;       // Press, Release, Unplug, Plug
    int switchNumber = 0;  // Press, Release
    uint32_t gauge = 0;  // Gauge
    double value = 0;    // Gauge
    uint32_t typeCode = 33;
    int milliseconds = 0;  // Wait
};

// The script's commands, or nothing with `error` saying which line is wrong and why.
std::optional<std::vector<DemoCommand>> ParseDemoScript(std::istream& text, int panelCount,
                                                        std::string& error);
