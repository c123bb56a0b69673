// Simulated controller boards: a software model of the IO-Warrior based panel board behind the
// HID seam, for the tests, the tools and the panel simulator.
//
// A board has the chip's two HID interfaces: interface 0 (the I/O port, 5-byte reports) and
// interface 1 (the special functions, 8-byte reports). It answers the special-function reports
// the board layer sends: I2C on/off, I2C write and read exchanges with its sub-modules (which
// tell their type and version at registers 0x80 and 0x81), the LED matrix and its rows, the key
// matrix (after a read request it reports the key state, then every change), and the pin-state
// request; a port report sets its 32 lines.
//
// Every operation is thread-safe: a test thread may press keys while the kit's reader threads
// wait for reports and another thread writes.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "os/hid.h"

struct SimBoardSetup {
    std::uint16_t vendorId = 0x07C0;
    std::uint16_t productId = 0x1583;
    // The chip's serial, at most 8 characters; without a serial string only the board's name.
    std::string serial = "00000001";
    // false: the chip has no serial string and answers the request with its language list.
    bool hasSerial = true;
    // 1: only the I/O port interface is present (a chip the kit must not list).
    int interfaceCount = 2;
    // Sub-modules by number 1..8, each (type, version); by default one panel module.
    std::map<int, std::pair<std::uint8_t, std::uint8_t>> subModules{{1, {0x02, 0x01}}};
};

// One report that reached the board, exactly as it was sent.
struct SimReport {
    int pipe = 0;
    std::vector<std::uint8_t> bytes;
};

class SimInputListener;

class SimBoard {
public:
    static constexpr std::size_t kPortReportLength = 5;
    static constexpr std::size_t kSpecialReportLength = 8;

    explicit SimBoard(SimBoardSetup setup);
    SimBoard(const SimBoard&) = delete;
    SimBoard& operator=(const SimBoard&) = delete;

    const SimBoardSetup& Setup() const { return setup; }

    // --- Switches: key k of byte b is bit b of key byte k; 1 = closed (pressed).
    void PressKey(int byte, int bit);
    void ReleaseKey(int byte, int bit);
    void SetKeys(const std::array<std::uint8_t, 8>& keys);
    std::array<std::uint8_t, 8> Keys() const;

    // --- Sub-modules on the I2C bus; a removed module does not answer.
    void SetSubModule(int number, std::uint8_t type, std::uint8_t version);
    void RemoveSubModule(int number);

    // --- What the board shows. Bit c of row r is column c (0..31) of LED-matrix row r (0..7);
    // all dark while the LED-matrix function is off.
    std::array<std::uint32_t, 8> LedRows() const;
    bool LedLit(int row, int column) const;
    // Line levels of ports 0..3 (bit = line level; 0 = driven low). All high at power-up.
    std::array<std::uint8_t, 4> PortLines() const;
    bool IicOn() const;
    bool LedMatrixOn() const;
    bool KeyMatrixOn() const;
    // The host has switched the key matrix on and asked for its state: every change is reported.
    bool KeyReportsArmed() const;

    // --- The cable. A pulled board fails every open read and write for good; plugged back it
    // powers up afresh (functions off, LEDs dark, lines high) and is found by the next scan.
    void Pull();
    void Plug();
    bool IsPlugged() const;

    // --- Faults of a board still plugged in, for the tests of the module's recovery: the next
    // `count` output reports are refused; the next `count` reads that a report would complete
    // end instead with no bytes or with an error, the report staying for the read after.
    enum class ReadFault { Empty, Error };
    void FailNextWrites(int count) { writeFaults = count; }
    void FailNextReads(int count, ReadFault fault);
    // A read that is to fail: takes one of the faults asked for (the simulated read streams).
    bool TakeReadFault(ReadFault& fault);
    // A chip that hangs: it takes every report and answers none on the special-function
    // interface until told to answer again.
    void StopAnswering(bool stop) { silent = stop; }
    // A chip that stays plugged in but takes no report: every write waits out its timeout (all
    // along when it has none) until told to take reports again.
    void StopTakingReports(bool stop);
    // The simulated write streams: true once the board takes reports, false when the timeout
    // (milliseconds, or none for kHidWaitForever) ran out first.
    bool AwaitTakingReports(std::uint32_t timeoutMs);

    // Every report that reached the board, in order.
    std::vector<SimReport> ReceivedReports() const;
    void ClearReceivedReports();

    // Sends an input report on an interface (0 or 1) as the chip would. Dropped while pulled.
    void SendInputReport(int pipe, const std::vector<std::uint8_t>& report);
    // Input reports sent that the host has not yet taken: still buffered by the platform, or
    // taken by a read whose reader has not started its next read yet.
    std::size_t PendingInputReports() const;

    // --- The USB side, used by the simulated HID backend.
    // The board's interfaces as the platform would list them; none while pulled.
    std::vector<HidInterfaceInfo> Interfaces(std::uint64_t physicalDevice) const;
    // A report sent to the board; false (nothing sent) while pulled or when the length is not
    // the interface's report length.
    bool ReceiveOutputReport(int pipe, const std::uint8_t* report, std::size_t length);
    // Listeners get every input report of their interface; false when the board is pulled.
    bool AddListener(int pipe, SimInputListener* listener);
    void RemoveListener(SimInputListener* listener);

private:
    void PowerUp();
    void HandleSpecialFunction(const std::uint8_t* report);
    void HandleIicWrite(const std::uint8_t* report);
    void HandleIicRead(const std::uint8_t* report);
    void SendKeyState();
    void KeysChanged(const std::array<std::uint8_t, 8>& before);
    void Deliver(int pipe, const std::vector<std::uint8_t>& report);

    const SimBoardSetup setup;
    mutable std::mutex lock;
    bool plugged = true;
    std::vector<std::pair<int, SimInputListener*>> listeners;
    std::vector<SimReport> received;
    std::array<std::uint8_t, 8> keys{};
    std::map<int, std::pair<std::uint8_t, std::uint8_t>> subModules;
    // Chip state, reset at power-up.
    std::array<std::uint8_t, 4> ports{};
    std::array<std::uint32_t, 8> ledRows{};
    bool iicOn = false;
    bool ledMatrixOn = false;
    bool keyMatrixOn = false;
    bool keyReportsArmed = false;
    int iicModule = 0;        // the sub-module last addressed by an I2C write; 0 = none
    // Atomic: the read streams ask while holding their own lock, which the board's lock precedes.
    std::atomic<int> writeFaults{0};
    std::atomic<int> readFaults{0};
    std::atomic<bool> silent{false};
    std::mutex takingLock;
    std::condition_variable takingAgain;
    bool takesNoReports = false;
    std::atomic<ReadFault> readFault{ReadFault::Empty};
    std::uint8_t iicRegister = 0;
};

// Receives a board's input reports (the simulated backend's read streams).
class SimInputListener {
public:
    virtual ~SimInputListener() = default;
    // Called with the board's lock held: must not call back into the board.
    virtual void OnInputReport(const std::vector<std::uint8_t>& report) = 0;
    virtual void OnPulled() = 0;
    virtual std::size_t PendingReports() = 0;
};

// The simulated HID services: the boards currently attached, any number of them.
class SimHidBackend : public HidBackend {
public:
    std::shared_ptr<SimBoard> AddBoard(SimBoardSetup setup = {});
    void RemoveBoard(const std::shared_ptr<SimBoard>& board);
    std::vector<std::shared_ptr<SimBoard>> Boards() const;
    // Makes Load fail with the given platform error code (0: Load succeeds again).
    void FailLoad(std::uint32_t errorCode);

    bool Load(std::uint32_t& errorCode) override;
    void Unload() override {}
    std::vector<HidInterfaceInfo> EnumerateInterfaces(const HidDeviceFilter& wanted) override;
    // Interfaces of the board described so far (capabilities and strings asked for), over
    // every enumeration: the platform asks only for the attributes of unwanted devices.
    int Described(const std::shared_ptr<SimBoard>& board) const;
    std::unique_ptr<HidReadStream> OpenForReading(const std::string& path) override;
    std::shared_ptr<HidWriteStream> OpenForWriting(const std::string& path) override;

private:
    struct Attached {
        std::uint64_t physicalDevice;
        std::shared_ptr<SimBoard> board;
        int described = 0;
    };
    // The board and interface of a path this backend listed.
    std::pair<std::shared_ptr<SimBoard>, int> Find(const std::string& path) const;

    mutable std::mutex lock;
    std::vector<Attached> boards;
    std::uint64_t nextPhysicalDevice = 1;
    std::uint32_t loadError = 0;
};
