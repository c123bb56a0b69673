// The output and identity side of a controller board: LED matrix, seven-segment text, port
// lines, I2C sub-module identity, and the mapping of the kit's error codes.
#include "board/tarnell_controller.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "board/segment_pattern.h"
#include "log/log.h"

namespace {

constexpr std::uint32_t kPortReportLength = 5;
constexpr std::uint32_t kPinsUnknown = 0xFFFFFFFF;

constexpr std::uint8_t kIicEnable = 0x01;
constexpr std::uint8_t kIicWrite = 0x02;
constexpr std::uint8_t kIicRead = 0x03;
constexpr std::uint8_t kLedMatrixEnable = 0x14;
constexpr std::uint8_t kLedMatrixRow = 0x15;
constexpr std::uint8_t kPinState = 0xFF;
constexpr std::uint8_t kIicErrorBit = 0x80;
constexpr std::uint8_t kIicStartTwoBytes = 0x82;  // start condition, no stop, 2 bytes
constexpr int kIdentityRegister = 0x80;            // type at 0x80, version at 0x81
constexpr int kNotAnswered = 255;

std::uint8_t LowByte(std::uint32_t word) { return static_cast<std::uint8_t>(word & 0xFF); }

void SetOrClear(std::uint32_t& word, std::uint32_t mask, bool set) {
    word = set ? word | mask : word & ~mask;
}

// The text as it fills the field: padded or cut to length on the side the alignment gives,
// upper-cased; any other alignment gives an empty field.
std::string BuildField(const std::string& text, int length, int alignment) {
    const std::size_t size = static_cast<std::size_t>(std::max(length, 0));
    std::string field;
    if (alignment == 0) {
        field = size > text.size() ? text + std::string(size - text.size(), ' ')
                                   : text.substr(0, size);
    } else if (alignment == 1) {
        field = size > text.size() ? std::string(size - text.size(), ' ') + text
                                   : text.substr(text.size() - size);
    }
    for (char& c : field) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return field;
}

}  // namespace

CTarnellController::CTarnellController(KitHandle handle, bool shared, ThreadStarter& threads)
    : IOWarrior(handle, shared), threads(threads) {
    portCache.fill(kPinsUnknown);
}

// A running std::thread cannot be destroyed, so a board deleted without Shutdown still
// stops its key-matrix thread here.
CTarnellController::~CTarnellController() {
    if (keyMatrixThread.joinable()) StopKeyMatrixThread();
}

// A board that took no report within the kit's write timeout is given up: waiting out the
// timeout again at every write would hold each writer, the simulator's thread among them.
std::uint32_t CTarnellController::WriteReport(int pipe, const std::uint8_t* bytes,
                                              std::uint32_t length) {
    if (givenUp) {
        KitSetLastError(kKitTimeout);
        return 0;
    }
    const std::uint32_t written = KitWritePipe(handle, pipe, bytes, length);
    if (written < length && KitGetLastError() == kKitTimeout && !givenUp.exchange(true))
        theLog.Write(2, "MFP", "%s took no report for %u ms: it is given up until the panels are loaded again\n",
                     GetSerialNumber(false).c_str(), static_cast<unsigned>(kKitWriteTimeoutMs));
    return written;
}

std::uint32_t CTarnellController::ReadReport(int pipe, std::uint8_t* buffer, std::uint32_t length) {
    const std::uint32_t read = KitReadPipe(handle, pipe, buffer, length);
    if (read < length) MapReadError();
    return read;
}

bool CTarnellController::IsConnected() const { return KitHandleValid(handle); }

std::uint32_t CTarnellController::MapWriteError() {
    std::uint32_t code = KitGetLastError();
    if (code == kKitInvalidParameter) code = kKitDeviceGone;
    KitSetLastError(code);
    return code;
}

// A pulled board stays known to the kit until it is closed; only a handle the kit no longer
// knows means the device is gone.
std::uint32_t CTarnellController::MapReadError() {
    std::uint32_t code = KitGetLastError();
    if (code == kKitInvalidParameter && !IsConnected()) code = kKitDeviceGone;
    KitSetLastError(code);
    return code;
}

bool CTarnellController::SwitchFunction(std::uint8_t reportId, bool on) {
    const std::uint8_t report[kReportLength] = {reportId, static_cast<std::uint8_t>(on ? 1 : 0)};
    if (WriteReport(1, report, kReportLength) < kReportLength) {
        MapWriteError();
        return false;
    }
    return true;
}

bool CTarnellController::EnableLedMatrix(bool on) {
    if (on == ledMatrixOn) return true;
    if (!SwitchFunction(kLedMatrixEnable, on)) return false;
    // The chip starts from a dark matrix either way.
    for (auto& row : rowCache) row.fill(0);
    ledMatrixOn = on;
    return true;
}

int CTarnellController::WriteLedMatrixRow(int row, int c0, int c1, int c2, int c3) {
    if (!ledMatrixOn) return kNotEnabled;
    if (row < 0 || row > 7) return kFailed;
    const std::array<std::uint32_t, 4>& cached = rowCache[static_cast<std::size_t>(row)];
    const int given[4] = {c0, c1, c2, c3};
    std::array<std::uint32_t, 4> words;
    for (std::size_t j = 0; j < 4; ++j)
        words[j] = given[j] == kKeep ? cached[j] : static_cast<std::uint32_t>(given[j]);
    return WriteRowWords(row, words);
}

int CTarnellController::WriteRowWords(int row, const std::array<std::uint32_t, 4>& words) {
    std::array<std::uint32_t, 4>& cached = rowCache[static_cast<std::size_t>(row)];
    if (words == cached) return kSuccess;
    const std::uint8_t report[kReportLength] = {kLedMatrixRow, static_cast<std::uint8_t>(row),
                                                LowByte(words[0]), LowByte(words[1]),
                                                LowByte(words[2]), LowByte(words[3])};
    if (WriteReport(1, report, kReportLength) < kReportLength) {
        MapWriteError();
        return kFailed;
    }
    cached = words;
    return kSuccess;
}

int CTarnellController::SetMatrixLed(int led, int state) {
    if (led < 1 || led > 256) return kFailed;
    if (!ledMatrixOn) return kNotEnabled;
    const int row = (led - 1) % 8;
    const int column = (led - 1) / 8;
    std::array<std::uint32_t, 4> words = rowCache[static_cast<std::size_t>(row)];
    if (state == 0 || state == 1)
        SetOrClear(words[static_cast<std::size_t>(column / 8)], 1u << (column % 8), state == 1);
    return WriteRowWords(row, words);
}

int CTarnellController::WriteDisplay(int position, const std::string& text, int width,
                                     int alignment) {
    if (!ledMatrixOn) return kNotEnabled;
    // The points merge into their digits, so a field of width digits holds that many more
    // characters; the first point always counts.
    int points = 0;
    for (char c : text) {
        if (c == '.') ++points;
        if (width != -1 && points >= width) break;
    }
    const int length = width == -1 ? static_cast<int>(text.size()) : width + points;
    const std::vector<int> patterns = DigitPatterns(BuildField(text, length, alignment));

    for (int row = 0; row < 8; ++row) {
        std::array<std::uint32_t, 4> words = rowCache[static_cast<std::size_t>(row)];
        int column = position - 1;
        for (int pattern : patterns) {
            if (column >= 0 && column <= 31) {
                SetOrClear(words[static_cast<std::size_t>(column / 8)], 1u << (column % 8),
                           (pattern >> row & 1) != 0);
            }
            ++column;
        }
        if (WriteRowWords(row, words) != kSuccess) return kFailed;
    }
    return kSuccess;
}

bool CTarnellController::SetPortBit(int port, int bit, int state) {
    if (port < 0 || port > 3 || bit < 0 || bit > 7) return false;
    if (std::all_of(portCache.begin(), portCache.end(),
                    [](std::uint32_t word) { return word == kPinsUnknown; })) {
        // Unread pins stay 0xFFFFFFFF, which then counts as all lines high.
        std::uint8_t pins[4];
        if (ReadPins(pins[0], &pins[1], &pins[2], &pins[3]))
            std::copy(pins, pins + 4, portCache.begin());
    }
    std::uint32_t& word = portCache[static_cast<std::size_t>(port)];
    const std::uint32_t mask = 1u << bit;
    const bool low = state == 1;
    if (low == ((word & mask) == 0)) return true;
    SetOrClear(word, mask, !low);
    const std::uint8_t report[kPortReportLength] = {0x00, LowByte(portCache[0]),
                                                    LowByte(portCache[1]), LowByte(portCache[2]),
                                                    LowByte(portCache[3])};
    return WriteReport(0, report, kPortReportLength) == kPortReportLength;
}

bool CTarnellController::EnableIic(bool on) {
    if (on && iicOn) return true;
    if (!SwitchFunction(kIicEnable, on)) return false;
    iicOn = on;
    return true;
}

std::unique_lock<std::recursive_mutex> CTarnellController::LockForExchange() {
    ++exchangesWaiting;
    // A key-matrix read waiting for a report would hold the lock up to its timeout; its report,
    // if one comes, stays queued for the next cycle.
    if (keyReportWait) KitInterruptRead(handle, 1);
    std::unique_lock<std::recursive_mutex> hold(deviceLock);
    --exchangesWaiting;
    return hold;
}

bool CTarnellController::ReadPins(std::uint8_t& p0, std::uint8_t* p1, std::uint8_t* p2,
                                  std::uint8_t* p3) {
    const auto hold = LockForExchange();
    const std::uint8_t request[kReportLength] = {kPinState};
    if (WriteReport(1, request, kReportLength) < kReportLength) {
        MapWriteError();
        return false;
    }
    std::uint8_t answer[kReportLength] = {};
    if (ReadReport(1, answer, kReportLength) < kReportLength) return false;
    if (answer[0] != kPinState) return BadAnswer();
    p0 = answer[1];
    if (p1 != nullptr) *p1 = answer[2];
    if (p2 != nullptr) *p2 = answer[3];
    if (p3 != nullptr) *p3 = answer[4];
    return true;
}

// A whole report of the wrong kind, or an I2C answer with its error bit, counts as an invalid
// parameter (the device gone once the kit no longer knows it).
bool CTarnellController::BadAnswer() {
    KitSetLastError(kKitInvalidParameter);
    MapReadError();
    return false;
}

bool CTarnellController::IicExchange(const std::uint8_t (&request)[8], std::uint8_t (&answer)[8]) {
    if (WriteReport(1, request, kReportLength) < kReportLength) {
        MapWriteError();
        return false;
    }
    if (ReadReport(1, answer, kReportLength) < kReportLength) {
        MapWriteError();
        return false;
    }
    if (answer[0] != request[0] || (answer[1] & kIicErrorBit) != 0) return BadAnswer();
    return true;
}

bool CTarnellController::ReadModuleRegister(int module, int reg, std::uint8_t& b0,
                                            std::uint8_t* b1, std::uint8_t* b2,
                                            std::uint8_t* b3) {
    if (!iicOn || module < 1 || module > 8) return false;
    const auto hold = LockForExchange();
    const auto address = static_cast<std::uint8_t>(0x9E + 2 * module);  // write address of module
    const std::uint8_t select[kReportLength] = {kIicWrite, kIicStartTwoBytes, address,
                                                static_cast<std::uint8_t>(reg)};
    std::uint8_t answer[kReportLength] = {};
    bool ok = IicExchange(select, answer);
    if (ok) {
        const int count = 1 + (b1 != nullptr) + (b2 != nullptr) + (b3 != nullptr);
        const std::uint8_t read[kReportLength] = {kIicRead, static_cast<std::uint8_t>(count),
                                                  static_cast<std::uint8_t>(address + 1)};
        ok = IicExchange(read, answer);
    }
    if (!ok) std::fill(std::begin(answer), std::end(answer), 0);
    b0 = answer[2];
    if (b1 != nullptr) *b1 = answer[3];
    if (b2 != nullptr) *b2 = answer[4];
    if (b3 != nullptr) *b3 = answer[5];
    return ok;
}

bool CTarnellController::GetModuleId(int& type, int& version, int module, bool refresh) {
    const auto found = moduleIds.find(module);
    std::pair<int, int> entry = found == moduleIds.end() ? std::make_pair(-1, -1) : found->second;
    if (!refresh && entry.first != -1) {
        type = entry.first;
        version = entry.second;
        return true;
    }
    const bool iicWasOn = iicOn;
    if (!iicWasOn) EnableIic(true);
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    const bool answered = ReadModuleRegister(module, kIdentityRegister, a, &b) &&
                          a != kNotAnswered && b != kNotAnswered;
    if (!iicWasOn) EnableIic(false);
    if (answered) entry = {a, b};
    moduleIds[module] = entry;
    if (!answered) return false;
    type = entry.first;
    version = entry.second;
    return true;
}

void CTarnellController::Shutdown() {
    try {
        if (IsConnected()) EnableLedMatrix(false);
        StopKeyMatrixThread();
    } catch (...) {
        // The thread could not be joined, or the board is gone; there is nothing left to undo.
    }
    keyMatrixOn = false;
}
