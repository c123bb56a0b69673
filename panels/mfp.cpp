#include "panels/mfp.h"

#include "log/log.h"

namespace {
const char kModuleName[] = "MFP";
}

CMFP::CMFP(const PanelServices& given)
    : controllers(given.threads),
      messages(given.messages),
      services{given.host,    given.windows, given.keyboard,
               given.profile, messages,      given.iniPath, given.threads} {}

CMFP::~CMFP() {
    running.Clear();
    workers.clear();  // each joins its thread
}

int CMFP::LoadMFPs() {
    running.Set();
    if (loaded) return 0;
    const int started = controllers.LoadControllers() ? LoadMFPType("02", "01") : 0;
    loaded = true;
    return started;
}

int CMFP::LoadMFPType(const std::string& type, const std::string& version) {
    theLog.Write(0, kModuleName, "LoadMFPType\n");
    typeText = type;
    versionText = version;
    boards = controllers.SelectControllers(typeText, versionText);
    int count = 0;
    for (const auto& entry : boards) {
        ++count;
        theLog.Write(0, kModuleName, "Device %s has a handle of %X\n", entry.first.c_str(),
                     static_cast<unsigned>(entry.second->Handle()));
        if (auto worker = StartWorker(&running, entry.second))
            workers.emplace(nextWorkerId++, std::move(worker));
    }
    return count;
}

std::unique_ptr<CMFPWorker> CMFP::StartWorker(const RunFlag* runFlag, CTarnellController* board) {
    auto worker = std::make_unique<CMFPWorker>(services);
    worker->SetBoard(board);
    worker->SetRunFlag(runFlag);
    if (!worker->Start()) return nullptr;
    return worker;
}

void CMFP::UnloadMFPs() {
    theLog.Write(0, kModuleName, "UnloadMFPs\n");
    running.Clear();
    for (auto& entry : workers) entry.second->Join();
    workers.clear();
    controllers.CloseAll();
    boards.clear();  // the registry deleted them
    loaded = false;
}

template <typename Operation>
void CMFP::ForEachServingWorker(Operation operation) {
    for (auto& entry : workers)
        if (entry.second->AwaitStartUp()) operation(*entry.second);
}

std::map<std::string, CMFPWorker*> CMFP::ServingWorkers() {
    std::map<std::string, CMFPWorker*> serving;
    ForEachServingWorker([&](CMFPWorker& worker) { serving[worker.SectionName()] = &worker; });
    return serving;
}

void CMFP::StopAllInputs() {
    theLog.Write(0, kModuleName, "StopAllInputs\n");
    ForEachServingWorker([](CMFPWorker& worker) { worker.StopInputs(); });
}

void CMFP::StartAllInputs() {
    theLog.Write(0, kModuleName, "StartAllInputs\n");
    ForEachServingWorker([](CMFPWorker& worker) { worker.StartInputs(); });
}

void CMFP::ReloadDataFromINI() {
    theLog.Write(0, kModuleName, "ReloadDataFromINI\n");
    ForEachServingWorker([](CMFPWorker& worker) { worker.ReloadMFPData(); });
}

void CMFP::RunConfiguration(ConfigurationDialog& dialog) {
    StopAllInputs();
    running.HoldFileReloads(true);  // Save reloads; other changes of the file wait for the close
    try {
        if (dialog.Run(boards) == ConfigurationDialog::kSaved) ReloadDataFromINI();
    } catch (...) {
        services.messages.Show("An error occured during the Multi Function Panel configuration.", MessageIcon::Error);
    }
    running.HoldFileReloads(false);
    StartAllInputs();
}
