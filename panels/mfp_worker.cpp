#include "panels/mfp_worker.h"


#include "config/build_mfp_data.h"
#include "log/log.h"

namespace {
const char kModuleName[] = "MFPWorker";
}

CMFPWorker::CMFPWorker(const PanelServices& services) : services(services) {}

CMFPWorker::~CMFPWorker() { Join(); }

bool CMFPWorker::Start() {
    return services.threads.Start(workerThread, "Worker", [this] { Run(); });
}

void CMFPWorker::Join() {
    if (workerThread.joinable()) workerThread.join();
}

bool CMFPWorker::AwaitStartUp() {
    std::unique_lock<std::mutex> guard(startUpLock);
    startUpDecided.wait(guard, [this] { return startUp != StartUp::Pending; });
    return startUp == StartUp::Serving;
}

void CMFPWorker::DecideStartUp(StartUp result) {
    {
        std::lock_guard<std::mutex> guard(startUpLock);
        startUp = result;
    }
    startUpDecided.notify_all();
}

// The worker's thread: start-up, then waiting for the update thread instead of a message loop.
void CMFPWorker::Run() {
    bool serving = false;
    try {
        serving = InitInstance();
    } catch (...) {
        theLog.Write(2, kModuleName, "Start-up stopped by an exception\n");
    }
    if (updateThread.joinable()) updateThread.join();
    // The panel set waits for the decision, so it is made whatever happened.
    if (!serving) DecideStartUp(StartUp::Ended);
}

bool CMFPWorker::InitInstance() {
    if (!LoadPanelData()) return false;
    theLog.Write(0, kModuleName, "Starting worker thread\n");
    if (services.threads.Start(updateThread, "Update", [this] { UpdateThreadProc(); })) return true;
    theLog.Write(2, kModuleName, "Update thread of %s not started\n", sectionName.c_str());
    return false;
}

bool CMFPWorker::LoadPanelData() {
    theLog.Write(0, kModuleName, "InitInstance\n");
    lastInputs.fill(0);
    iniPath = services.iniPath;
    int type = 0, version = 0;
    board->GetModuleId(type, version, 1, false);
    sectionName = board->GetSerialNumber(false);
    mainWindow = services.windows.FindTopWindow(kMainWindowClass);
    simulatorFound = mainWindow != 0;
    MFPInputTable newInputs;
    MFPOutputList newOutputs;
    TakeStamp();  // before reading: a change made meanwhile is read at the next pass
    if (!BuildMFPData(services.profile, iniPath, sectionName, newInputs, newOutputs,
                      services.messages))
        return false;
    ReplaceTables(newInputs, newOutputs);
    return true;
}

bool CMFPWorker::TakeStamp() {
    const FileStamp stamp = StampOf(iniPath);
    std::lock_guard<std::mutex> guard(stampLock);
    if (stamp == readStamp) return false;
    readStamp = stamp;
    return true;
}

int CMFPWorker::UpdateThreadProc() {
    CTarnellController* servedBoard = board;
    if (servedBoard) {
        try {
            theLog.Write(0, kModuleName, "Enabling features\n");
            servedBoard->EnableLedMatrix(true);
            StartInputs();
        } catch (...) {
            servedBoard = nullptr;
        }
    }
    DecideStartUp(StartUp::Serving);
    uint64_t seenWakes = runFlag->Wakes();
    // A pass that throws is lost; the panel goes on with the next one and always winds down.
    while (runFlag->IsSet()) {
        ++passesStarted;
        try {
            ReloadIfFileChanged();
            UpdateOutputs();
        } catch (...) {
            theLog.Write(2, kModuleName, "Output pass stopped by an exception\n");
        }
        ++passesDone;
        runFlag->SleepWhileSet(kUpdatePause, seenWakes);
    }
    try {
        ClearAllOutputs();
    } catch (...) {
        theLog.Write(2, kModuleName, "Clearing the outputs stopped by an exception\n");
    }
    if (servedBoard) {
        try {
            servedBoard->Shutdown();
        } catch (...) {
        }
    }
    return 0;
}

void CMFPWorker::StartInputs() {
    board->SetKeyMatrixCallback(true, &CMFPWorker::OnInputsChanged, this);
}

void CMFPWorker::StopInputs() { board->SetKeyMatrixCallback(false, nullptr, nullptr); }

void CMFPWorker::ReloadMFPData() {
    MFPInputTable newInputs;
    MFPOutputList newOutputs;
    TakeStamp();  // the change that asked for this reload is read now, not once more
    ::ReloadMFPData(services.profile, iniPath, sectionName, newInputs, newOutputs,
                    services.messages);
    ReplaceTables(newInputs, newOutputs);
}

void CMFPWorker::ReloadIfFileChanged() {
    if (runFlag->FileReloadsHeld() || !TakeStamp()) return;
    MFPInputTable newInputs;
    MFPOutputList newOutputs;
    if (!BuildMFPData(services.profile, iniPath, sectionName, newInputs, newOutputs, services.messages)) {
        theLog.Write(2, kModuleName, "[%s] %s changed and is corrupt now: the panel keeps its last configuration\n",
                     sectionName.c_str(), iniPath.c_str());
        return;
    }
    ReplaceTables(newInputs, newOutputs);
    ++fileReloads;
    theLog.Write(0, kModuleName, "[%s] %s changed: reloaded\n", sectionName.c_str(), iniPath.c_str());
}

// The tables are built outside the locks and swapped in one lock at a time, so a reload never
// holds one lock while it waits for the other.
void CMFPWorker::ReplaceTables(MFPInputTable& newInputs, MFPOutputList& newOutputs) {
    {
        std::lock_guard<std::mutex> guard(inputsLock);
        inputs.swap(newInputs);
    }
    std::lock_guard<std::mutex> guard(outputsLock);
    outputs.swap(newOutputs);
    loggedFailures.assign(outputs.size(), std::string());
    loggedNoValue.assign(outputs.size(), false);
}

MFPInputTable CMFPWorker::Inputs() const {
    std::lock_guard<std::mutex> guard(inputsLock);
    return inputs;
}
