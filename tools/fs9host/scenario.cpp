#include "tools/fs9host/scenario.h"

#include "tools/fs9host/host_windows.h"
#include "tools/fs9host/observations.h"

#include <windows.h>
#include <dbt.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

struct StepShape {
    const char* kind;
    size_t arguments;  // a PATH argument keeps any further colons
};
const StepShape kShapes[] = {
    {"ncpaint", 0}, {"menu", 0},        {"rebuild-menu", 0}, {"command", 1},
    {"device", 3},  {"device-null", 1}, {"wait", 1},         {"show-menu", 1},
};

unsigned long Number(const std::string& text) { return std::strtoul(text.c_str(), nullptr, 0); }

void SendDeviceChange(HWND window, const Step& step) {
    const std::string& path = step.arguments[2];
    std::vector<char> record(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + path.size(), 0);
    auto* header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(record.data());
    header->dbcc_size = static_cast<DWORD>(record.size());
    header->dbcc_devicetype = static_cast<DWORD>(Number(step.arguments[1]));
    std::memcpy(header->dbcc_name, path.c_str(), path.size() + 1);
    SendMessageA(window, WM_DEVICECHANGE, Number(step.arguments[0]),
                 reinterpret_cast<LPARAM>(record.data()));
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

}  // namespace

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool ParseStep(const std::string& text, Step& step) {
    step = Step{text, {}, {}};
    const size_t colon = text.find(':');
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

void RunScenario(const std::vector<Step>& steps, HostWindows& windows) {
    for (const Step& step : steps) {
        Observe("step %s", step.text.c_str());
        HWND main = windows.Main();
        if (step.kind == "ncpaint") SendMessageA(main, WM_NCPAINT, 1, 0);
        else if (step.kind == "menu") windows.PrintMenuBar();
        else if (step.kind == "rebuild-menu") windows.RebuildMenuBar();
        else if (step.kind == "command") SendMessageA(main, WM_COMMAND, Number(step.arguments[0]), 0);
        else if (step.kind == "device") SendDeviceChange(main, step);
        else if (step.kind == "device-null") SendMessageA(main, WM_DEVICECHANGE, Number(step.arguments[0]), 0);
        else if (step.kind == "show-menu") windows.ShowMenu("&Tarnell", static_cast<DWORD>(Number(step.arguments[0])));
        else if (step.kind == "wait") Wait(static_cast<DWORD>(Number(step.arguments[0])));
        PumpMessages();
    }
}
