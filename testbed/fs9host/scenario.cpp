#include "testbed/fs9host/scenario.h"

#include "testbed/fs9host/host_windows.h"
#include "testbed/fs9host/observations.h"
#include "testbed/fs9host/panels_table.h"
#include "testbed/fs9host/sim_boards.h"
#include "testbed/fs9host/user_steps.h"

#include <windows.h>
#include <dbt.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <fstream>

namespace {

struct StepShape {
    const char* kind;
    size_t arguments;  // a PATH argument keeps any further colons
};
const StepShape kShapes[] = {
    {"ncpaint", 0}, {"menu", 0},        {"rebuild-menu", 0}, {"command", 1},
    {"device", 3},  {"device-null", 1}, {"wait", 1},         {"show-menu", 1},
    {"press", 2},   {"release", 2},     {"unplug", 1},       {"plug", 1},
    {"show", 1},    {"gauge", 1},       {"view-close", 0},   {"view-open", 0},
    {"counts", 0},      {"exit", 1},        {"ini", 3},
    {"user:wait", 1},   {"user:gone", 1},    {"user:tabs", 0},   {"user:rows", 0},
    {"user:choose", 3}, {"user:click", 2},   {"user:close", 1},  {"user:file", 2},
    {"user:press", 2},  {"user:release", 2}, {"user:unplug", 1}, {"user:plug", 1},
    {"user:hold", 1},   {"user:sleep", 1},   {"user:type", 3},   {"user:text", 1},
    {"user:deinit", 0}, {"user:command", 1},
};

// Time for the module to act on what a step did, with messages pumped: a key report reaches
// the dispatch within one key-matrix read, an output pass runs every 250 ms (the one under way
// may have read the old values), and a reload loads the panels and runs their first pass.
constexpr DWORD kSwitchSettleMs = 300;
constexpr DWORD kTwoPassesMs = 600;
constexpr DWORD kReloadSettleMs = 1600;  // the module reloads a second after the change

unsigned long Number(const std::string& text) { return std::strtoul(text.c_str(), nullptr, 0); }

}  // namespace

void SendDeviceChange(HWND window, WPARAM event, DWORD deviceType, const std::string& path) {
    std::vector<char> record(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + path.size(), 0);
    auto* header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(record.data());
    header->dbcc_size = static_cast<DWORD>(record.size());
    header->dbcc_devicetype = deviceType;
    std::memcpy(header->dbcc_name, path.c_str(), path.size() + 1);
    SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()));
}

void Wait(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        PumpMessages();
    }
}

namespace {

struct ProcessCounts {
    int threads = 0;
    unsigned long handles = 0;
    int standInThreads = 0;
    int standInHandles = 0;
    bool operator==(const ProcessCounts& other) const {
        return threads == other.threads && handles == other.handles && standInThreads == other.standInThreads &&
               standInHandles == other.standInHandles;
    }
};

// Whether a thread of this process was started through the C runtime, as every std::thread of
// the module, the stand-ins and this host is: Wine's own worker threads, which come and go as
// it pleases, start elsewhere.
bool StartedByTheRuntime(DWORD threadId) {
    static const auto query = reinterpret_cast<LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    const auto runtime = reinterpret_cast<const unsigned char*>(GetModuleHandleA("msvcrt.dll"));
    const HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId);
    if (!query || !runtime || !thread) {
        if (thread) CloseHandle(thread);
        return false;
    }
    const unsigned char* start = nullptr;
    constexpr int kThreadStartAddress = 9;
    const bool known = query(thread, kThreadStartAddress, &start, sizeof start, nullptr) == 0;
    CloseHandle(thread);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(runtime);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(runtime + dos->e_lfanew);
    return known && start >= runtime && start < runtime + nt->OptionalHeader.SizeOfImage;
}

ProcessCounts CountNow() {
    ProcessCounts counts;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId() && StartedByTheRuntime(entry.th32ThreadID))
            ++counts.threads;
    CloseHandle(snapshot);
    // Wine's GetProcessHandleCount answers 0: every handle value that names an open handle is
    // counted instead (kernel handles are multiples of 4).
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x40000; value += 4)
        counts.handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    // The stand-in hid.dll's pipe threads are not the module's: they are counted apart.
    const HMODULE hid = GetModuleHandleA("hid.dll");
    const auto standIn = [hid](const char* name) {
        const auto count = hid ? reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(hid, name))) : nullptr;
        return count ? count() : 0;
    };
    counts.standInThreads = standIn("SimBoardThreads");
    counts.standInHandles = standIn("SimBoardHandles");
    return counts;
}

}  // namespace

void PrintCounts() {
    // A joined thread can stay listed for a moment while Wine tears it down: the counts are
    // taken once two looks 50 ms apart agree (at most a second).
    ProcessCounts counts = CountNow();
    for (int look = 0; look < 20; ++look) {
        Wait(50);
        const ProcessCounts again = CountNow();
        if (again == counts) break;
        counts = again;
    }
    Observe("counts threads=%d handles=%lu stand-in-threads=%d stand-in-handles=%d", counts.threads, counts.handles,
            counts.standInThreads, counts.standInHandles);
}

namespace {

double longestDispatchMs = 0;  // the host thread's alone

double NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        const double start = NowMs();
        DispatchMessageA(&message);
        longestDispatchMs = std::max(longestDispatchMs, NowMs() - start);
    }
}

double TakeLongestDispatchMs() {
    const double longest = longestDispatchMs;
    longestDispatchMs = 0;
    return longest;
}

bool ParseStep(const std::string& text, Step& step) {
    step = Step{text, {}, {}};
    size_t colon = text.find(':');
    if (colon != std::string::npos && text.compare(0, colon, "user") == 0) colon = text.find(':', colon + 1);
    step.kind = text.substr(0, colon);
    for (const StepShape& shape : kShapes) {
        if (step.kind != shape.kind) continue;
        size_t from = colon;
        for (size_t i = 0; i < shape.arguments; ++i) {
            if (from == std::string::npos) return false;
            const bool last = i + 1 == shape.arguments;
            const size_t next = last ? std::string::npos : text.find(':', from + 1);
            step.arguments.push_back(text.substr(from + 1, next == std::string::npos ? next : next - from - 1));
            from = next;
        }
        return shape.arguments > 0 || colon == std::string::npos;
    }
    return false;
}

bool ReadScenarioFile(const std::string& path, std::vector<Step>& steps) {
    std::ifstream file(path);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Step step;
        if (!ParseStep(line, step)) return false;
        steps.push_back(step);
    }
    return true;
}

namespace {

void RunStep(const Step& step, HostWindows& windows, PanelsTable& panels) {
    HWND main = windows.Main();
    const std::vector<std::string>& arguments = step.arguments;
    if (step.kind == "ncpaint") SendMessageA(main, WM_NCPAINT, 1, 0);
    else if (step.kind == "menu") windows.PrintMenuBar();
    else if (step.kind == "rebuild-menu") windows.RebuildMenuBar();
    else if (step.kind == "command") SendMessageA(main, WM_COMMAND, Number(arguments[0]), 0);
    else if (step.kind == "device")
        SendDeviceChange(main, Number(arguments[0]), static_cast<DWORD>(Number(arguments[1])), arguments[2]);
    else if (step.kind == "device-null") SendMessageA(main, WM_DEVICECHANGE, Number(arguments[0]), 0);
    else if (step.kind == "show-menu") windows.ShowMenu("&Tarnell", static_cast<DWORD>(Number(arguments[0])));
    else if (step.kind == "wait") Wait(static_cast<DWORD>(Number(arguments[0])));
    else if (step.kind == "press" || step.kind == "release") {
        if (SimSwitch(arguments[0], arguments[1], step.kind == "press")) Wait(kSwitchSettleMs);
    } else if (step.kind == "unplug" || step.kind == "plug") {
        // The longest the module held the window thread: the notification or a message after it.
        TakeLongestDispatchMs();
        const double start = NowMs();
        const bool done = step.kind == "unplug" ? SimUnplug(main, arguments[0]) : SimPlug(main, arguments[0]);
        const double notification = NowMs() - start;
        if (done) Wait(kReloadSettleMs);
        Observe("hold-ms %.0f", std::max(notification, TakeLongestDispatchMs()));
    } else if (step.kind == "show") {
        Wait(kTwoPassesMs);
        SimShow(arguments[0]);
    } else if (step.kind == "gauge") {
        uint32_t token = 0;
        GaugeValue value{};
        if (ParseGaugeValue(arguments[0], token, value)) panels.SetGauge(token, value);
        else Observe("error bad gauge value %s (want TOKEN=TYPE:VALUE)", arguments[0].c_str());
    } else if (step.kind == "view-close") windows.CloseView();
    else if (step.kind == "view-open") windows.OpenView();
    else if (step.kind == "counts") PrintCounts();
    else if (step.kind == "exit") ExitProcess(static_cast<UINT>(Number(arguments[0])));  // no module_deinit
    else if (step.kind == "ini") {
        // As an editor saves the module's configuration beside it: no notification of any kind.
        const std::string path = ConfigurationPath();
        if (!WritePrivateProfileStringA(arguments[0].c_str(), arguments[1].c_str(), arguments[2].c_str(), path.c_str()))
            Observe("error cannot write %s (error %lu)", path.c_str(), GetLastError());
    }
}

}  // namespace

namespace {
std::string configurationPath;  // the host thread's alone
}  // namespace

void SetConfigurationPath(const std::string& path) { configurationPath = path; }
std::string ConfigurationPath() { return configurationPath; }

void RunScenario(const std::vector<Step>& steps, HostWindows& windows, PanelsTable& panels, DialogCloser& closer) {
    for (size_t next = 0; next < steps.size();) {
        const Step* step = IsUserStep(steps[next]) ? nullptr : &steps[next++];
        size_t end = next;
        while (end < steps.size() && IsUserStep(steps[end])) ++end;
        const std::vector<Step> userSteps(steps.begin() + static_cast<std::ptrdiff_t>(next),
                                          steps.begin() + static_cast<std::ptrdiff_t>(end));
        next = end;
        if (step) Observe("step %s", step->text.c_str());
        if (userSteps.empty()) {
            RunStep(*step, windows, panels);
        } else {
            // The user starts first: the step may open a modal dialog and return only once the
            // user has closed it.
            UserScript user(userSteps, windows.Main(), closer);
            if (step) RunStep(*step, windows, panels);
            user.Finish();
        }
        PumpMessages();
    }
}
