// The simulated board's chip: what it does with every report it receives.
#include <cstdio>
#include <cstring>

#include "os/sim_board.h"

namespace {

// Special-function report IDs. Written out here rather than shared with the board layer, so
// that a wrong ID on either side shows up in the tests instead of agreeing with itself.
constexpr std::uint8_t kIicEnable = 0x01;
constexpr std::uint8_t kIicWrite = 0x02;
constexpr std::uint8_t kIicRead = 0x03;
constexpr std::uint8_t kLedMatrixEnable = 0x14;
constexpr std::uint8_t kLedMatrixRow = 0x15;
constexpr std::uint8_t kKeyMatrixEnable = 0x18;
constexpr std::uint8_t kKeyMatrixLow = 0x19;  // out: read request; in: key bytes 0..3
constexpr std::uint8_t kKeyMatrixHigh = 0x1A;  // in: key bytes 4..7
constexpr std::uint8_t kPinState = 0xFF;

constexpr std::uint8_t kIicError = 0x80;
constexpr std::uint8_t kTypeRegister = 0x80;
constexpr std::uint8_t kVersionRegister = 0x81;

// Sub-module n answers at write address 0xA0 + 2(n-1) and read address 0xA1 + 2(n-1).
int ModuleOfAddress(std::uint8_t address) {
    const int n = ((address & 0xFE) - 0xA0) / 2 + 1;
    return (address & 0xFE) >= 0xA0 && n >= 1 && n <= 8 ? n : 0;
}

}  // namespace

SimBoard::SimBoard(SimBoardSetup setupIn) : setup(std::move(setupIn)), subModules(setup.subModules) {
    PowerUp();
}

void SimBoard::PowerUp() {
    ports.fill(0xFF);
    ledRows.fill(0);
    iicOn = ledMatrixOn = keyMatrixOn = keyReportsArmed = false;
    iicModule = 0;
    iicRegister = 0;
}

void SimBoard::PressKey(int byte, int bit) {
    std::lock_guard<std::mutex> hold(lock);
    const auto before = keys;
    keys.at(byte) |= static_cast<std::uint8_t>(1u << bit);
    KeysChanged(before);
}

void SimBoard::ReleaseKey(int byte, int bit) {
    std::lock_guard<std::mutex> hold(lock);
    const auto before = keys;
    keys.at(byte) &= static_cast<std::uint8_t>(~(1u << bit));
    KeysChanged(before);
}

void SimBoard::SetKeys(const std::array<std::uint8_t, 8>& newKeys) {
    std::lock_guard<std::mutex> hold(lock);
    const auto before = keys;
    keys = newKeys;
    KeysChanged(before);
}

std::array<std::uint8_t, 8> SimBoard::Keys() const {
    std::lock_guard<std::mutex> hold(lock);
    return keys;
}

void SimBoard::SetSubModule(int number, std::uint8_t type, std::uint8_t version) {
    std::lock_guard<std::mutex> hold(lock);
    subModules[number] = {type, version};
}

void SimBoard::RemoveSubModule(int number) {
    std::lock_guard<std::mutex> hold(lock);
    subModules.erase(number);
}

std::array<std::uint32_t, 8> SimBoard::LedRows() const {
    std::lock_guard<std::mutex> hold(lock);
    return ledMatrixOn ? ledRows : std::array<std::uint32_t, 8>{};
}

bool SimBoard::LedLit(int row, int column) const {
    if (row < 0 || row > 7 || column < 0 || column > 31) return false;
    return (LedRows()[row] >> column) & 1u;
}

std::array<std::uint8_t, 4> SimBoard::PortLines() const {
    std::lock_guard<std::mutex> hold(lock);
    return ports;
}

bool SimBoard::IicOn() const {
    std::lock_guard<std::mutex> hold(lock);
    return iicOn;
}

bool SimBoard::LedMatrixOn() const {
    std::lock_guard<std::mutex> hold(lock);
    return ledMatrixOn;
}

bool SimBoard::KeyMatrixOn() const {
    std::lock_guard<std::mutex> hold(lock);
    return keyMatrixOn;
}

bool SimBoard::KeyReportsArmed() const {
    std::lock_guard<std::mutex> hold(lock);
    return keyReportsArmed;
}

void SimBoard::Pull() {
    std::lock_guard<std::mutex> hold(lock);
    if (!plugged) return;
    plugged = false;
    for (auto& [pipe, listener] : listeners) listener->OnPulled();
    listeners.clear();
}

void SimBoard::Plug() {
    std::lock_guard<std::mutex> hold(lock);
    if (plugged) return;
    plugged = true;
    PowerUp();
}

bool SimBoard::IsPlugged() const {
    std::lock_guard<std::mutex> hold(lock);
    return plugged;
}

std::vector<SimReport> SimBoard::ReceivedReports() const {
    std::lock_guard<std::mutex> hold(lock);
    return received;
}

void SimBoard::ClearReceivedReports() {
    std::lock_guard<std::mutex> hold(lock);
    received.clear();
}

void SimBoard::SendInputReport(int pipe, const std::vector<std::uint8_t>& report) {
    std::lock_guard<std::mutex> hold(lock);
    if (plugged) Deliver(pipe, report);
}

std::size_t SimBoard::PendingInputReports() const {
    std::lock_guard<std::mutex> hold(lock);
    std::size_t pending = 0;
    for (auto& [pipe, listener] : listeners) pending += listener->PendingReports();
    return pending;
}

std::vector<HidInterfaceInfo> SimBoard::Interfaces(std::uint64_t physicalDevice) const {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<HidInterfaceInfo> interfaces;
    if (!plugged) return interfaces;
    // Language list: one language, US English (0x0409).
    const HidSerialText languageList{0x0409};
    for (int pipe = 0; pipe < setup.interfaceCount && pipe < 2; ++pipe) {
        HidInterfaceInfo info;
        char path[160];
        std::snprintf(path, sizeof path,
                      "\\\\?\\hid#vid_%04x&pid_%04x&mi_%02d#sim&%llx#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                      setup.vendorId, setup.productId, pipe,
                      static_cast<unsigned long long>(physicalDevice));
        info.path = path;
        info.physicalDevice = physicalDevice;
        info.attributes = {setup.vendorId, setup.productId, 0x1000};
        const auto length = static_cast<std::uint16_t>(pipe == 0 ? kPortReportLength : kSpecialReportLength);
        info.caps = {length, length};
        info.hasSerial = true;
        info.languageList = languageList;
        if (setup.hasSerial) {
            for (std::size_t i = 0; i < 8 && i < setup.serial.size(); ++i) {
                info.serial[i] = static_cast<char16_t>(setup.serial[i]);
            }
        } else {
            info.serial = languageList;
        }
        interfaces.push_back(info);
    }
    return interfaces;
}

bool SimBoard::ReceiveOutputReport(int pipe, const std::uint8_t* report, std::size_t length) {
    std::lock_guard<std::mutex> hold(lock);
    const std::size_t expected = pipe == 0 ? kPortReportLength : kSpecialReportLength;
    if (!plugged || length != expected || (pipe != 0 && pipe != 1)) return false;
    for (int faults = writeFaults.load(); faults > 0;)
        if (writeFaults.compare_exchange_weak(faults, faults - 1)) return false;
    received.push_back({pipe, std::vector<std::uint8_t>(report, report + length)});
    if (pipe == 0) {
        // The port report: report ID 0x00, then the levels of ports 0..3.
        if (report[0] == 0x00) std::memcpy(ports.data(), report + 1, 4);
    } else {
        HandleSpecialFunction(report);
    }
    return true;
}

bool SimBoard::AddListener(int pipe, SimInputListener* listener) {
    std::lock_guard<std::mutex> hold(lock);
    if (!plugged) return false;
    listeners.emplace_back(pipe, listener);
    return true;
}

void SimBoard::RemoveListener(SimInputListener* listener) {
    std::lock_guard<std::mutex> hold(lock);
    for (auto it = listeners.begin(); it != listeners.end();) {
        it = it->second == listener ? listeners.erase(it) : it + 1;
    }
}

void SimBoard::HandleSpecialFunction(const std::uint8_t* report) {
    const bool on = report[1] != 0;
    switch (report[0]) {
    case kIicEnable:
        iicOn = on;
        iicModule = 0;
        break;
    case kIicWrite:
        if (iicOn) HandleIicWrite(report);
        break;
    case kIicRead:
        if (iicOn) HandleIicRead(report);
        break;
    case kLedMatrixEnable:
        // Switching the function either way starts from a dark matrix.
        ledMatrixOn = on;
        ledRows.fill(0);
        break;
    case kLedMatrixRow:
        if (ledMatrixOn && report[1] < 8) {
            // Bit k of data byte j is column 8j + k.
            ledRows[report[1]] = std::uint32_t{report[2]} | std::uint32_t{report[3]} << 8 |
                                 std::uint32_t{report[4]} << 16 | std::uint32_t{report[5]} << 24;
        }
        break;
    case kKeyMatrixEnable:
        keyMatrixOn = on;
        keyReportsArmed = false;
        break;
    case kKeyMatrixLow:
        if (keyMatrixOn) {
            keyReportsArmed = true;
            SendKeyState();
        }
        break;
    case kPinState:
        Deliver(1, {kPinState, ports[0], ports[1], ports[2], ports[3], 0, 0, 0});
        break;
    default:
        break;  // the chip ignores reports of functions it does not have
    }
}

// Byte 1: bit 7 start, bit 6 stop, bits 0..2 the byte count; bytes 2.. the address, then the
// register pointer (further bytes would be register data, which the sub-modules ignore).
void SimBoard::HandleIicWrite(const std::uint8_t* report) {
    const int count = report[1] & 0x07;
    const int module = count >= 1 ? ModuleOfAddress(report[2]) : 0;
    if (module == 0 || (report[2] & 1) != 0 || subModules.count(module) == 0) {
        Deliver(1, {kIicWrite, kIicError, 0, 0, 0, 0, 0, 0});
        return;
    }
    iicModule = module;
    if (count >= 2) iicRegister = report[3];
    Deliver(1, {kIicWrite, 0, 0, 0, 0, 0, 0, 0});
}

// Byte 1: the byte count 1..6; byte 2: the read address. The answer carries the count, then
// the registers from the register pointer on.
void SimBoard::HandleIicRead(const std::uint8_t* report) {
    const int count = report[1];
    const int module = ModuleOfAddress(report[2]);
    const auto found = subModules.find(module);
    if (count < 1 || count > 6 || module == 0 || (report[2] & 1) == 0 || found == subModules.end() ||
        module != iicModule) {
        Deliver(1, {kIicRead, kIicError, 0, 0, 0, 0, 0, 0});
        return;
    }
    std::vector<std::uint8_t> answer{kIicRead, static_cast<std::uint8_t>(count), 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const std::uint8_t reg = iicRegister++;
        answer[2 + i] = reg == kTypeRegister      ? found->second.first
                        : reg == kVersionRegister ? found->second.second
                                                  : 0;
    }
    Deliver(1, answer);
}

// The upper half first, so that the 0x19 report, on which readers act, ends a whole state.
void SimBoard::SendKeyState() {
    Deliver(1, {kKeyMatrixHigh, keys[4], keys[5], keys[6], keys[7], 0, 0, 0});
    Deliver(1, {kKeyMatrixLow, keys[0], keys[1], keys[2], keys[3], 0, 0, 0});
}

void SimBoard::KeysChanged(const std::array<std::uint8_t, 8>& before) {
    if (plugged && keyReportsArmed && keys != before) SendKeyState();
}

void SimBoard::Deliver(int pipe, const std::vector<std::uint8_t>& report) {
    if (silent && pipe == 1) return;
    for (auto& [listenerPipe, listener] : listeners) {
        if (listenerPipe == pipe) listener->OnInputReport(report);
    }
}

void SimBoard::FailNextReads(int count, ReadFault fault) {
    readFault = fault;
    readFaults = count;
}

bool SimBoard::TakeReadFault(ReadFault& fault) {
    for (int faults = readFaults.load(); faults > 0;) {
        if (readFaults.compare_exchange_weak(faults, faults - 1)) {
            fault = readFault;
            return true;
        }
    }
    return false;
}

void SimBoard::StopTakingReports(bool stop) {
    {
        std::lock_guard<std::mutex> hold(takingLock);
        takesNoReports = stop;
    }
    takingAgain.notify_all();
}

bool SimBoard::AwaitTakingReports(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> hold(takingLock);
    const auto taking = [this] { return !takesNoReports; };
    if (timeoutMs == kHidWaitForever) {
        takingAgain.wait(hold, taking);
        return true;
    }
    return takingAgain.wait_for(hold, std::chrono::milliseconds(timeoutMs), taking);
}
