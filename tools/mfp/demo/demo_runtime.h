// The panel simulator's world: simulated panels behind the kit, a simulated simulator host with
// a cockpit view, and the real panel runtime (CMFP, workers, boards) between them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "os/profile_file.h"
#include "os/sim_board.h"
#include "os/sim_host.h"
#include "os/user_message.h"
#include "panels/mfp.h"

// Problems the user must see go to standard error.
class StderrUserMessages : public UserMessages {
public:
    void Show(const std::string& text, MessageIcon icon) override;
};

struct DemoPanel {
    std::string serial;
    std::shared_ptr<SimBoard> board;
};

class DemoRuntime {
public:
    // With an empty iniPath every panel gets the bundled configuration (in a temporary file).
    DemoRuntime(const std::vector<std::string>& serials, const std::string& iniPath);
    ~DemoRuntime();
    DemoRuntime(const DemoRuntime&) = delete;
    DemoRuntime& operator=(const DemoRuntime&) = delete;

    int Start();  // LoadMFPs; the number of panels started
    void Stop();  // UnloadMFPs
    // What the module does on a device change: unload and load again.
    void Reload();

    // The 1-based panel in --sim order, or null.
    DemoPanel* Panel(int index);
    const std::vector<DemoPanel>& Panels() const { return panels; }
    // The worker serving the panel, or null (unplugged, corrupt section, not loaded).
    CMFPWorker* Worker(const DemoPanel& panel);

    // Switch n (1..15) of the panel closed or open; returns once the worker has seen the
    // new state (or at once when no worker reads the switches).
    void SetSwitch(DemoPanel& panel, int n, bool closed);
    // Waits until every worker has run an output pass that began after this call.
    void AwaitFreshPass();
    void SetView(bool open);

    SimHost host;

private:
    SimHidBackend backend;
    SimProfileFile profile;
    StderrUserMessages messages;
    std::vector<DemoPanel> panels;
    std::string iniPath;
    bool temporaryIni = false;
    WindowHandle view = 0;
    std::unique_ptr<CMFP> panelSet;
};

// The bundled configuration's section body.
const char* DemoConfiguration();
