// CTarnellController: one IO-Warrior controller board as the panel runtime uses it.
//
// Pipe 0 is the chip's I/O port (32 lines); pipe 1 its special functions: the LED matrix
// (8 rows x 32 columns, single LEDs and seven-segment digits), the key matrix (64 keys in
// 8 bytes) and an I2C master that asks the board's sub-modules for their type and version.
//
// Outputs are cheap when nothing changes: LED-matrix rows, port lines and function switches
// are sent only when they change (I2C off is always sent).
//
// Results: the int operations return 0 on success, -1 when a report was not written whole or an
// argument is out of range, -3 when the LED-matrix function is off; the bool operations return
// false on any failure. Failures also set the calling thread's kit error code (KitSetLastError,
// read with KitGetLastError): 55 the device no longer exists, 87 invalid parameter, 1460
// timeout. A failed write always reports 55 where the kit said 87.
//
// Threads: the output operations, the function switches, GetModuleId and Shutdown are called
// by one thread at a time (the panel worker's, or the registry's before and after the worker
// runs); they keep their caches without a lock. `deviceLock` serialises every exchange that
// waits for an answer on pipe 1: a key-matrix cycle, ReadPins and ReadModuleRegister. The
// key-matrix side (SetKeyMatrixCallback, SetPaused, the key-matrix thread) may be driven from
// any thread, but StopKeyMatrixThread and Shutdown never from the key-matrix thread itself.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "board/io_warrior.h"
#include "os/mutexes.h"
#include "os/thread_starter.h"

// Called on the board's key-matrix thread with the board's serial number and its 8 key bytes
// (byte k bit b is one key; null once, when the callback is registered). Returning 0 stops
// the key-matrix thread. The call holds the board's deviceLock; the callback may pause boards
// and ask its board for pins or identity, but must not shut it down or delete it.
using KeyMatrixCallback = int (*)(const std::string& serial, const std::uint8_t* keys,
                                  void* context);

class CTarnellController : public IOWarrior {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kFailed = -1;
    static constexpr int kNotEnabled = -3;
    static constexpr int kKeep = -1;  // WriteLedMatrixRow: keep the cached column byte
    // The length of every report on the special-function interface (pipe 1).
    static constexpr std::uint32_t kReportLength = 8;

    // The key-matrix thread starts through `threads`, which must outlive the board.
    CTarnellController(KitHandle handle, bool shared,
                       ThreadStarter& threads = StandardThreadStarter());
    // Closes the kit when not shared. Call Shutdown first.
    virtual ~CTarnellController();

    // --- Reports
    std::uint32_t WriteReport(int pipe, const std::uint8_t* bytes, std::uint32_t length);
    std::uint32_t ReadReport(int pipe, std::uint8_t* buffer, std::uint32_t length);
    bool IsConnected() const;

    // --- Outputs
    // Sent only when the state changes; the chip starts a dark matrix either way, and so does
    // the row cache.
    bool EnableLedMatrix(bool on);
    // Row 0..7; each column byte (columns 8j..8j+7) a value or kKeep.
    int WriteLedMatrixRow(int row, int c0, int c1, int c2, int c3);
    // LED 1..256 is row (n-1) mod 8, column (n-1) div 8. State 0 off, 1 on, others no change.
    int SetMatrixLed(int led, int state);
    // Seven-segment text from digit position 1..32 (column position-1): width -1 = the whole
    // text, otherwise width digits plus the points merged into them; alignment 0 left, 1 right.
    int WriteDisplay(int position, const std::string& text, int width, int alignment);
    // Port 0..3, bit 0..7; state 1 drives the line low (a lit LED), any other state high.
    bool SetPortBit(int port, int bit, int state);

    // --- Inputs and identity
    // On is sent only when I2C is off; off is always sent.
    bool EnableIic(bool on);
    // The pin state of ports 0..3; false (outputs untouched) when no pin-state answer came.
    bool ReadPins(std::uint8_t& p0, std::uint8_t* p1 = nullptr, std::uint8_t* p2 = nullptr,
                  std::uint8_t* p3 = nullptr);
    bool ReadModuleRegister(int module, int reg, std::uint8_t& b0, std::uint8_t* b1 = nullptr,
                            std::uint8_t* b2 = nullptr, std::uint8_t* b3 = nullptr);
    // Type and version of sub-module 1..8, asked over I2C unless known and refresh is false.
    // A module that does not answer, or answers 255, is asked again at the next call.
    bool GetModuleId(int& type, int& version, int module, bool refresh = false);

    // --- Key matrix (key_matrix.cpp)
    // Registers (enable true) or removes the one callback; switches the key-matrix function and
    // starts or stops the key-matrix thread with it. False when a callback is already
    // registered, the callback is null, none is registered, the switch was not written, or the
    // thread could not be started (the function is then switched off again).
    bool SetKeyMatrixCallback(bool enable, KeyMatrixCallback callback, void* context);
    // A paused key-matrix thread idles without touching the device. Pausing waits 100 ms so
    // that a cycle under way can end.
    void SetPaused(bool pause);
    // True while a key-matrix thread loops; false once it ended (callback result 0, device
    // gone) or was stopped.
    bool IsKeyMatrixRunning() const { return running.load(); }

    // LED matrix off (while connected), key-matrix thread stopped, key-matrix flag cleared.
    void Shutdown();

    std::uint32_t MapWriteError();
    std::uint32_t MapReadError();

private:
    struct KeyMatrixThreadParameters;

    bool StartKeyMatrixThread(KeyMatrixCallback callback, void* context);
    void StopKeyMatrixThread();
    void KeyMatrixThread(const KeyMatrixThreadParameters& parameters);
    // One request-and-answer cycle of the key-matrix thread; true when a report was read.
    bool PollKeyMatrix(const KeyMatrixThreadParameters& parameters, bool& requestSent,
                       std::array<std::uint8_t, 8>& keys);
    // One request on pipe 1 and its answer with the expected ID and no error bit.
    bool IicExchange(const std::uint8_t (&request)[8], std::uint8_t (&answer)[8]);
    bool SwitchFunction(std::uint8_t reportId, bool on);
    bool BadAnswer();
    // Steps of WriteLedMatrixRow after the kept bytes are filled in: send only a change.
    int WriteRowWords(int row, const std::array<std::uint32_t, 4>& words);
    // deviceLock for an exchange other than a key-matrix cycle; the key-matrix thread lets
    // such waiters go first, since the lock itself does not queue them fairly.
    std::unique_lock<std::recursive_mutex> LockForExchange();

    // Plain flags polled by the key-matrix thread once per cycle; atomic so that other
    // threads may set them without a lock.
    std::atomic<bool> running{false};
    ThreadStarter& threads;
    std::thread keyMatrixThread;
    std::array<std::uint32_t, 4> portCache;
    // Recursive: the callback runs under the lock and may ask the board for its pins or
    // identity (ReadPins, ReadModuleRegister take the lock again on the same thread). Its own
    // type, so that the board's deletion also frees what the platform made for the lock.
    RecursiveMutex deviceLock;
    std::atomic<int> exchangesWaiting{0};
    std::atomic<bool> keyReportWait{false};  // the key-matrix thread waits for a report under deviceLock
    std::map<int, std::pair<int, int>> moduleIds;
    std::atomic<bool> paused{false};
    std::atomic<bool> givenUp{false};  // a write timed out: no more writes are tried
    bool keyMatrixOn = false;
    bool ledMatrixOn = false;
    bool iicOn = false;
    std::array<std::array<std::uint32_t, 4>, 8> rowCache{};
};
