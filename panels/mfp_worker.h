// CMFPWorker: serves one panel. Its own thread runs the start-up (InitInstance) and then waits
// for its update thread, which switches the board on, registers for its switch reports and
// refreshes its outputs in passes 250 ms apart until the run flag is cleared; it then clears
// the outputs and shuts the board down. The panel set starts the worker's thread and joins it;
// the worker's thread joins the update thread. No thread is ever left running on its own.
//
// Threads: the worker's thread (InitInstance only), the update thread (ReloadIfFileChanged,
// UpdateOutputs, ClearAllOutputs, FindSimulatorView), the board's key-matrix thread (OnInputsChanged,
// DispatchInput, SendKeystroke), and the host's thread (StartInputs, StopInputs,
// ReloadMFPData, through the panel set once start-up is over). `outputsLock` keeps a reload
// from overlapping an output pass, `inputsLock` from overlapping a dispatch. Lock order: a pass
// holds outputsLock and then the board's deviceLock; a dispatch runs under the deviceLock and
// takes inputsLock; a reload builds its tables first and then takes each lock on its own.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board/tarnell_controller.h"
#include "config/file_stamp.h"
#include "config/mfp_data.h"
#include "os/mutexes.h"
#include "panels/panel_services.h"
#include "panels/run_flag.h"

// One changed bit of the board's key bytes.
struct InputChange {
    std::string serial;
    int32_t port = 0;
    int32_t bit = 0;
    int32_t released = 0;
    int32_t pressed = 0;
    std::array<uint8_t, 8> keys{};
};

// The Windows virtual-key code a keyboard event id (0x1000001 to 0x1000039) presses; 0 for an
// id without a key.
uint8_t KeystrokeVirtualKey(uint32_t eventId);

class CMFPWorker {
public:
    static constexpr auto kUpdatePause = std::chrono::milliseconds(250);
    static constexpr auto kEmptyTitlePause = std::chrono::milliseconds(500);
    static constexpr auto kKeyPressTime = std::chrono::milliseconds(10);

    explicit CMFPWorker(const PanelServices& services);
    // Joins the worker's thread if it is still joinable (Join normally did).
    virtual ~CMFPWorker();
    CMFPWorker(const CMFPWorker&) = delete;
    CMFPWorker& operator=(const CMFPWorker&) = delete;

    // Set before Start; neither is owned.
    void SetBoard(CTarnellController* newBoard) { board = newBoard; }
    void SetRunFlag(const RunFlag* flag) { runFlag = flag; }

    // Starts the worker's thread; false when it could not be created.
    bool Start();
    // Waits until the worker's thread has ended.
    void Join();
    // Waits until start-up is decided: true when the worker serves its panel, false when it
    // ended during start-up (its tables were corrupt), so nobody may call into it any more.
    bool AwaitStartUp();

    // Start-up on the worker's thread: LoadPanelData, then the update thread.
    bool InitInstance();
    // The start-up's first part: the board's identity and section, the simulator's main window
    // and the panel's tables; false when the tables are corrupt. Tests call it on their own
    // thread to drive UpdateOutputs and the dispatch directly.
    bool LoadPanelData();
    int UpdateThreadProc();
    void StartInputs();
    void StopInputs();
    void ReloadMFPData();
    // Between two passes: when the configuration file changed since it was last read, builds
    // the tables again in place. A section now corrupt is reported once per change and the
    // panel keeps what it had.
    void ReloadIfFileChanged();
    // The file's stamp now becomes the one read; false when it is the one read already.
    bool TakeStamp();

    // Input dispatch (input_dispatch.cpp).
    static int OnInputsChanged(const std::string& serial, const uint8_t* keys, void* context);
    void DispatchInput(const InputChange& change);
    int SendKeystroke(uint32_t eventId, int32_t value);
    WindowHandle FindSimulatorView();

    // Output update (output_update.cpp).
    void UpdateOutputs();
    void ClearAllOutputs();

    const std::string& SectionName() const { return sectionName; }
    // Progress marks for tools that wait for the runtime: the key bytes of the last switch
    // report handled (byte k in bits 8k to 8k+7) and the output passes completed.
    uint64_t InputsSeen() const { return inputsSeen.load(); }
    uint64_t PassesDone() const { return passesDone.load(); }
    // Reloads made because the configuration file changed on disk.
    uint64_t FileReloads() const { return fileReloads.load(); }
    // Passes begun: one begun after a change has read it once PassesDone reaches its number.
    uint64_t PassesStarted() const { return passesStarted.load(); }
    // Starts the next pass of every worker of the set without its pause.
    void RequestPass() const {
        if (runFlag) runFlag->Wake();
    }
    MFPInputTable Inputs() const;

private:
    enum class StartUp { Pending, Serving, Ended };

    void Run();
    void InputsChanged(const std::string& serial, const uint8_t* keys);
    void DecideStartUp(StartUp result);
    void ReplaceTables(MFPInputTable& newInputs, MFPOutputList& newOutputs);
    // ClearAllOutputs with outputsLock held.
    void ClearOutputs();
    // One output of a pass; false ends the pass.
    bool UpdateOutput(std::size_t index, class FormulaEvaluator& evaluator, std::string& text);
    // Drives the board with an output's evaluated text; false when the board refused it.
    bool WriteOutput(const MFPOutput& output, const std::string& text);

    const PanelServices services;
    std::string sectionName;
    WindowHandle viewWindow = 0;
    WindowHandle lastViewWindow = 0;
    WindowHandle mainWindow = 0;
    std::string iniPath;
    MFPInputTable inputs;
    MFPOutputList outputs;
    // Per output: the failure last logged, empty while it succeeds; cleared by a reload.
    std::vector<std::string> loggedFailures;
    // Per output: whether its variable's missing value was logged, once per load.
    std::vector<bool> loggedNoValue;
    bool simulatorFound = false;
    std::array<uint8_t, 8> lastInputs{};
    CTarnellController* board = nullptr;
    const RunFlag* runFlag = nullptr;

    mutable Mutex inputsLock;
    Mutex outputsLock;
    std::thread workerThread;
    std::thread updateThread;
    Mutex startUpLock;
    std::condition_variable startUpDecided;
    StartUp startUp = StartUp::Pending;
    std::atomic<uint64_t> inputsSeen{0};
    std::atomic<uint64_t> passesStarted{0};
    std::atomic<uint64_t> fileReloads{0};
    Mutex stampLock;
    FileStamp readStamp;  // the file as the tables were last built from it
    std::atomic<uint64_t> passesDone{0};
};
