// The in-memory records of one panel's configuration: its input table and its output list,
// built from the board's section of "Tarnell_MFP.ini" by BuildMFPData.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Event id that does nothing.
constexpr uint32_t kNoActionEvent = 0x10000;

// One configured switch.
struct MFPInput {
    uint32_t eventId = kNoActionEvent;
    int32_t value = 0;
    int32_t state = 0;       // not read by the runtime
    int32_t lastValue = -1;  // not read by the runtime
};

// Output flag bits. The kind is the first of display, port LED, matrix LED found set.
constexpr uint32_t kOutputDisplay = 4;
constexpr uint32_t kOutputPortLed = 1;
constexpr uint32_t kOutputMatrixLed = 2;
constexpr uint32_t kOutputOnUnlessOff = 8;   // any result other than the off value switches on
constexpr uint32_t kOutputOffUnlessOn = 16;  // any result other than the on value switches off

enum class OutputKind { None, Display, PortLed, MatrixLed };
OutputKind KindOfFlags(uint32_t flags);

// One configured output. Fields of another kind than the record's stay zero.
struct MFPOutput {
    uint32_t flags = 0;
    int32_t startDigit = 0;
    int32_t gaugeVariable = 0;
    std::string format;
    bool decimalPoint = false;
    int32_t width = 0;
    int32_t displayReserved = 0;
    int32_t matrixLed = 0;
    int32_t onValue = 0;
    int32_t offValue = 0;
    int32_t port = 0;
    int32_t bit = 0;

    OutputKind Kind() const { return KindOfFlags(flags); }
};

// Input key text "%02d%02d" of a switch's key byte (port) and bit -> its record.
using MFPInputTable = std::map<std::string, MFPInput>;
// Outputs in file order.
using MFPOutputList = std::vector<MFPOutput>;

// The 15 configured switches in their fixed order ("SW1" to "SW15").
constexpr int kInputCount = 15;
const std::array<std::string, kInputCount>& InputKeys();

std::string InputKey(int port, int bit);
