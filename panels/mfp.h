// The panel set manager: the set of attached panels and the operations on the whole set. It
// owns the registry of boards, selects the panel boards (sub-module 1 of type "02", version
// "01"), starts one CMFPWorker per panel and stops them again.
//
// Used only from the host's thread. The whole-set operations call into a worker only once its
// start-up is over, and never into one that ended during start-up.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "board/tarnell_controllers.h"
#include "panels/configuration_dialog.h"
#include "panels/mfp_worker.h"
#include "panels/panel_services.h"
#include "panels/run_flag.h"

class CMFP {
public:
    explicit CMFP(const PanelServices& services);
    // Stops any worker still running (UnloadMFPs has normally done so).
    virtual ~CMFP();
    CMFP(const CMFP&) = delete;
    CMFP& operator=(const CMFP&) = delete;

    // Loads once and starts one worker per panel; returns the number of panels started. A second
    // load without UnloadMFPs in between returns 0 and starts nothing.
    int LoadMFPs();
    int LoadMFPType(const std::string& type, const std::string& version);
    // Stops every worker, waits for each, closes all boards. Harmless on an empty set.
    void UnloadMFPs();
    // The configuration dialog with every panel's inputs stopped meanwhile; after Save every
    // panel reloads its data. Whatever the dialog throws ends in a message box, and the inputs
    // start again either way.
    void RunConfiguration(ConfigurationDialog& dialog);
    void StopAllInputs();
    void StartAllInputs();
    void ReloadDataFromINI();

    bool IsLoaded() const { return loaded; }
    bool IsRunning() const { return running.IsSet(); }
    // The selected panel boards by serial number.
    const std::map<std::string, CTarnellController*>& Boards() const { return boards; }
    // The workers that serve their panel (start-up over and not failed), by serial number.
    std::map<std::string, CMFPWorker*> ServingWorkers();

private:
    std::unique_ptr<CMFPWorker> StartWorker(const RunFlag* runFlag, CTarnellController* board);
    template <typename Operation>
    void ForEachServingWorker(Operation operation);

    std::string typeText;
    std::string versionText;
    std::map<std::string, CTarnellController*> boards;
    CTarnellControllers controllers;
    bool loaded = false;
    RunFlag running;
    // Keyed by the order of their start, which stands in for the worker thread's id: the
    // whole-set operations visit the workers in the order they were started.
    std::map<uint32_t, std::unique_ptr<CMFPWorker>> workers;
    uint32_t nextWorkerId = 1;
    SerializedUserMessages messages;
    PanelServices services;
};
