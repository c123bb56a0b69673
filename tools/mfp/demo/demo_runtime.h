// The panel simulator's world: simulated panels behind the kit, a simulated simulator host with
// a cockpit view, and the real panel runtime (CMFP, workers, boards) between them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/profile_file.h"
#include "os/sim_board.h"
#include "os/sim_host.h"
#include "os/user_message.h"
#include "panels/mfp.h"

// Problems the user must see, each on one line: kept for the interactive screen, which
// covers standard error, and written there while echo is on (turning it on writes those
// kept meanwhile).
class DemoMessages : public UserMessages {
public:
    void Show(const std::string& text, MessageIcon icon) override;
    void Echo(bool on);
    std::vector<std::string> Shown() const;

private:
    void Write();

    mutable std::mutex lock;
    bool echo = true;
    std::vector<std::string> shown;
    std::size_t written = 0;
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

    // LoadMFPs; the number of panels started. The first start tells of panels whose serial
    // has no section in the file.
    int Start();
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
    // "reloaded FILE at HH:MM:SS" for each change of the configuration file the panels read
    // again since the last call (one line per change, however many panels read it).
    std::vector<std::string> TakeFileReloads();

    SimHost host;
    DemoMessages messages;

private:
    SimHidBackend backend;
    SimProfileFile profile;
    bool sectionsChecked = false;
    std::vector<DemoPanel> panels;
    std::string iniPath;
    bool temporaryIni = false;
    WindowHandle view = 0;
    std::unique_ptr<CMFP> panelSet;
    uint64_t reportedReloads = 0;  // of the workers loaded now
};

// The bundled configuration's section body.
const char* DemoConfiguration();

// The bundled flight: the script tools/mfp/demo/flight.txt.
const char* BundledFlight();

// One moment of the aircraft, in what its cockpit displays show.
struct FlightMoment {
    double altitudeFeet = 0;
    double headingDegrees = 0;
    double airspeedKnots = 0;
    double climbFeetPerMinute = 0;
    double gearDown = 1;  // 0 up to 1 down
    bool gearHandleDown = true;
    bool parkingBrakeSet = false;
};

// Sets the moment as FS2004's gauge variables, with the values and scales of the bundled flight
// (flight.txt says which and why), and the radios it tunes.
void SetFlightGauges(SimHost& host, const FlightMoment& moment);

// The digits a panel shows: the first kDemoDigits matrix columns (the bundled configuration's),
// each column's rows the segments a (row 0) to g and the point (row 7).
constexpr int kDemoDigits = 12;
std::uint8_t DigitPattern(const std::array<std::uint32_t, 8>& rows, int column);
// The digits read as a person reads them: a digit's pattern as the digit ("0", not "O"), a
// pattern that shows no character as "?", a lit point as a "." after its digit.
std::string DigitText(const std::array<std::uint32_t, 8>& rows);
