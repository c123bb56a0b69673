#include "tools/mfp/output_places.h"

#include <algorithm>
#include <array>

#include "tools/mfp/check_report.h"

std::string DigitsText(int first, int last) {
    return first == last ? "digit " + std::to_string(first + 1)
                         : "digits " + std::to_string(first + 1) + " to " + std::to_string(last + 1);
}

std::vector<Place> PlacesOf(const MFPOutputList& outputs) {
    std::vector<Place> places;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const MFPOutput& o = outputs[i];
        if (o.Kind() == OutputKind::Display && o.startDigit >= 1 && o.startDigit <= 32) {
            const int first = o.startDigit - 1, last = std::min(31, first + std::max(o.width, 1) - 1);
            places.push_back({i, false, first, last, -1, DigitsText(first, last)});
        } else if (o.Kind() == OutputKind::MatrixLed && o.matrixLed >= 1 && o.matrixLed <= 256) {
            const int column = (o.matrixLed - 1) / 8;
            places.push_back({i, false, column, column, (o.matrixLed - 1) % 8,
                              "led " + std::to_string(o.matrixLed) + ", in " + DigitsText(column, column) + "'s column"});
        } else if (o.Kind() == OutputKind::PortLed && o.port >= 0 && o.port <= 3 && o.bit >= 0 && o.bit <= 7) {
            const int line = o.port * 8 + o.bit;
            places.push_back({i, true, line, line, -1, "port " + std::to_string(o.port) + " line " + std::to_string(o.bit)});
        }
    }
    return places;
}

namespace {

constexpr char kFree = '.';
constexpr char kOverlap = '#';

char MarkOf(std::size_t output) {
    if (output < 9) return static_cast<char>('1' + output);
    if (output < 35) return static_cast<char>('A' + output - 9);
    return '+';
}

void Mark(char& cell, char mark) { cell = cell == kFree || cell == mark ? mark : kOverlap; }

// A row of 32 cells in groups of 8, as the header numbers them.
std::string Grouped(const std::string& cells) {
    std::string text;
    for (std::size_t i = 0; i < cells.size(); ++i) text += (i && i % 8 == 0 ? " " : "") + std::string(1, cells[i]);
    return text;
}

}  // namespace

std::vector<std::string> PanelMap(const MFPOutputList& outputs) {
    std::array<std::string, 8> matrix;
    matrix.fill(std::string(32, kFree));
    std::string ports(32, kFree);
    const std::vector<Place> places = PlacesOf(outputs);
    for (const Place& place : places) {
        const char mark = MarkOf(place.output);
        for (int cell = place.first; cell <= place.last; ++cell) {
            if (place.portLine) Mark(ports[static_cast<std::size_t>(cell)], mark);
            for (int row = 0; row < 8 && !place.portLine; ++row)
                if (place.row < 0 || place.row == row) Mark(matrix[static_cast<std::size_t>(row)][static_cast<std::size_t>(cell)], mark);
        }
    }
    static const char* const rowNames[] = {"a", "b", "c", "d", "e", "f", "g", "point"};
    std::vector<std::string> lines = {"LED matrix: a column per digit, a row per segment (LED n: row (n-1) mod 8 + 1)",
                                      "  digit    1        9        17       25",
                                      "  led      1        65       129      193"};
    for (std::size_t row = 0; row < 8; ++row) {
        std::string label = "  " + std::to_string(row + 1) + " " + rowNames[row];
        lines.push_back(label + std::string(11 - label.size(), ' ') + Grouped(matrix[row]));
    }
    lines.push_back("ports: lines 0 to 7");
    for (std::size_t port = 0; port < 4; ++port)
        lines.push_back("  port " + std::to_string(port) + "     " + ports.substr(port * 8, 8));
    for (const Place& place : places)
        lines.push_back(std::string("  ") + MarkOf(place.output) + " output " + std::to_string(place.output + 1) + ": " +
                        KindName(outputs[place.output].Kind()) + ", " + place.text);
    return lines;
}
