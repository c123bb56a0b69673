#include "tools/mfp/demo/demo_runtime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "board/segment_pattern.h"
#include "catalogue/gauge_variables.h"
#include "config/mfp_data.h"
#include "iokit/iokit.h"
#include "os/same_name.h"

namespace {

const char kCockpitView[] = "COCKPIT - View 00";
constexpr auto kProgressTimeout = std::chrono::seconds(3);

bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kProgressTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

const char* DemoConfiguration() {
    return
#include "tools/mfp/demo/demo_config.inc"
        ;
}

const char* BundledFlight() {
    return
#include "tools/mfp/demo/flight.inc"
        ;
}

namespace {

uint32_t Token(const char* name) { return static_cast<uint32_t>(GaugeVariableNumber(name).value_or(0)); }

}  // namespace

void SetFlightGauges(SimHost& host, const FlightMoment& moment) {
    constexpr double kGearDown = 16383;       // lever and gear positions, 0 up
    constexpr double kBrakeFull = 32768;      // 0 off
    constexpr double kUnitsPerFootPerMinute = 256 * 0.3048 / 60;  // vertical speed in 1/256 m/s
    host.SetGauge(Token("PLANE_ALTITUDE"), moment.altitudeFeet);
    host.SetGauge(Token("PLANE_HEADING_DEGREES_MAGNETIC"), moment.headingDegrees);
    host.SetGauge(Token("AIRSPEED"), moment.airspeedKnots);
    host.SetGauge(Token("VERTICAL_SPEED"), std::round(moment.climbFeetPerMinute * kUnitsPerFootPerMinute));
    host.SetGauge(Token("GEAR_HANDLE_POS"), moment.gearHandleDown ? kGearDown : 0);
    host.SetGauge(Token("GEAR_POS_NOSE"), std::round(moment.gearDown * kGearDown));
    host.SetGauge(Token("PARKING_BRAKE_POS"), moment.parkingBrakeSet ? kBrakeFull : 0);
    host.SetGauge(Token("COM_FREQUENCY"), 0x1825, kGaugeTypeInt16);   // BCD: 118.25
    host.SetGauge(Token("TRANSPONDER_CODE"), 0x1200, kGaugeTypeInt16);  // 1200
}

// The module's messages are laid out for a message box; here each is one line, its line
// breaks and tabs one blank.
void DemoMessages::Show(const std::string& text, MessageIcon) {
    std::string line;
    for (const char c : text) {
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        if (!control) line += c;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    std::lock_guard<std::mutex> guard(lock);
    shown.push_back(line);
    if (echo) Write();
}

void DemoMessages::Echo(bool on) {
    std::lock_guard<std::mutex> guard(lock);
    echo = on;
    if (echo) Write();
}

void DemoMessages::Write() {
    for (; written < shown.size(); ++written)
        std::fprintf(stderr, "mfp demo: %s\n", shown[written].c_str());
}

std::vector<std::string> DemoMessages::Shown() const {
    std::lock_guard<std::mutex> guard(lock);
    return shown;
}

std::uint8_t DigitPattern(const std::array<std::uint32_t, 8>& rows, int column) {
    std::uint8_t pattern = 0;
    for (int row = 0; row < 8; ++row)
        if (rows[static_cast<std::size_t>(row)] >> column & 1)
            pattern |= static_cast<std::uint8_t>(1u << row);
    return pattern;
}

std::string DigitText(const std::array<std::uint32_t, 8>& rows) {
    // In order of preference: a digit before the letter that looks the same.
    static const std::string readings = "0123456789ABCDEFGHIJLNOPRSTUZ-_";
    std::string text;
    for (int column = 0; column < kDemoDigits; ++column) {
        const std::uint8_t pattern = DigitPattern(rows, column);
        const std::uint8_t segments = pattern & 0x7F;
        char shown = segments == 0 ? ' ' : '?';
        for (const char c : readings) {
            if (SegmentPattern(c) != segments) continue;
            shown = c;
            break;
        }
        text += shown;
        if (pattern & 0x80) text += '.';
    }
    return text;
}

DemoRuntime::DemoRuntime(const std::vector<std::string>& serials, const std::string& givenIni)
    : iniPath(givenIni) {
    for (const std::string& serial : serials) {
        SimBoardSetup setup;
        setup.serial = serial;
        panels.push_back({serial, backend.AddBoard(setup)});
    }
    if (iniPath.empty()) {
        temporaryIni = true;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        iniPath = (std::filesystem::temp_directory_path() /
                   ("mfp_demo_" + std::to_string(stamp) + ".ini")).string();
        std::ofstream file(iniPath);
        for (const std::string& serial : serials)
            file << "[" << serial << "]\n" << DemoConfiguration();
    }
    view = host.OpenView(kCockpitView);
    // The aircraft of the bundled flight stands on the runway: every gauge of the bundled
    // configuration is known from the start, so the first pass drives every output. The values
    // and their scales are the bundled flight's (flight.txt says why).
    FlightMoment onTheRunway;
    onTheRunway.altitudeFeet = 1200;
    onTheRunway.headingDegrees = 270;
    onTheRunway.parkingBrakeSet = true;
    SetFlightGauges(host, onTheRunway);
    KitUseBackend(backend);
    panelSet = std::make_unique<CMFP>(PanelServices{host, host, host, profile, messages, iniPath});
}

DemoRuntime::~DemoRuntime() {
    Stop();
    if (temporaryIni) std::remove(iniPath.c_str());
}

// Returns once every worker has run its first pass: that pass reads each board's port lines
// once (for its first port LED), and a switch report arriving during that exchange would be
// taken for its answer and lost.
int DemoRuntime::Start() {
    if (!sectionsChecked) {
        sectionsChecked = true;
        std::ifstream file(iniPath, std::ios::binary);
        const std::vector<std::string> sections =
            ProfileText(std::string(std::istreambuf_iterator<char>(file), {})).SectionNames();
        for (const DemoPanel& panel : panels) {
            if (std::none_of(sections.begin(), sections.end(),
                             [&](const std::string& name) { return SameName(name, panel.serial); }))
                messages.Show(iniPath + " has no section [" + panel.serial +
                                  "]: that panel gets the default configuration",
                              MessageIcon::Information);
        }
    }
    const int started = panelSet->LoadMFPs();
    for (const DemoPanel& panel : panels)
        if (CMFPWorker* worker = Worker(panel)) WaitFor([&] { return worker->PassesDone() >= 1; });
    return started;
}

void DemoRuntime::Stop() {
    panelSet->UnloadMFPs();
    reportedReloads = 0;  // the next workers count from 0
}

// The module waits a second after a device change for the device to settle; a simulated board
// is ready at once.
void DemoRuntime::Reload() {
    Stop();
    Start();
}

DemoPanel* DemoRuntime::Panel(int index) {
    if (index < 1 || index > static_cast<int>(panels.size())) return nullptr;
    return &panels[static_cast<std::size_t>(index - 1)];
}

CMFPWorker* DemoRuntime::Worker(const DemoPanel& panel) {
    if (!panel.board->IsPlugged() || !panelSet->IsLoaded()) return nullptr;
    const auto workers = panelSet->ServingWorkers();
    const auto found = workers.find(panel.serial);
    return found == workers.end() ? nullptr : found->second;
}

void DemoRuntime::SetSwitch(DemoPanel& panel, int n, bool closed) {
    const std::string& key = InputKeys()[static_cast<std::size_t>(n - 1)];
    const int byte = std::stoi(key.substr(0, 2));
    const int bit = std::stoi(key.substr(2, 2));
    CMFPWorker* worker = Worker(panel);
    if (closed) panel.board->PressKey(byte, bit);
    else panel.board->ReleaseKey(byte, bit);
    uint64_t keys = 0;
    for (int k = 7; k >= 0; --k) keys = keys << 8 | panel.board->Keys()[static_cast<std::size_t>(k)];
    if (worker && panel.board->KeyMatrixOn() &&
        !WaitFor([&] { return worker->InputsSeen() == keys; }))
        messages.Show("panel " + panel.serial + " did not report SW" + std::to_string(n),
                      MessageIcon::Error);
}

void DemoRuntime::AwaitFreshPass() {
    for (const DemoPanel& panel : panels) {
        CMFPWorker* worker = Worker(panel);
        if (!worker) continue;
        // A pass begun from now on reads what the script set; it begins without a pause.
        const uint64_t target = worker->PassesStarted() + 1;
        worker->RequestPass();
        if (!WaitFor([&] { return worker->PassesDone() >= target; }))
            messages.Show("panel " + panel.serial + " ran no output pass", MessageIcon::Error);
    }
}

std::vector<std::string> DemoRuntime::TakeFileReloads() {
    // Every panel reads a change once: the most any of them read is the number of changes.
    uint64_t reloads = 0;
    for (const auto& [serial, worker] : panelSet->ServingWorkers()) reloads = std::max(reloads, worker->FileReloads());
    std::vector<std::string> lines;
    if (reloads <= reportedReloads) return lines;
    const std::time_t now = std::time(nullptr);
    char time[16] = "";
    std::strftime(time, sizeof time, "%H:%M:%S", std::localtime(&now));
    for (; reportedReloads < reloads; ++reportedReloads) lines.push_back("reloaded " + iniPath + " at " + time);
    return lines;
}

void DemoRuntime::SetView(bool open) {
    if (open && view == 0) view = host.OpenView(kCockpitView);
    if (!open && view != 0) {
        host.CloseView(view);
        view = 0;
    }
}
