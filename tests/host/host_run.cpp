#include "tests/host/host_run.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

std::string Quote(const std::string& argument) { return "\"" + argument + "\""; }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Under Wine on a display without a window manager (Xvfb), every closed window waits up to two
// seconds for a manager to withdraw it; unmanaged windows skip that. Harmless on Windows.
void UseUnmanagedWineWindows() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
}

}  // namespace

std::string BesideTestProgram(const char* fileName) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string text = path;
    return text.substr(0, text.rfind('\\') + 1) + fileName;
}

ModuleFolder::ModuleFolder(const char* iniText) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    folder = std::string(temp) + "mfp_host_test_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++counter);
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(BesideTestProgram("Tarnell_MFP.dll").c_str(), ModulePath().c_str(), FALSE);
    if (iniText) std::ofstream(folder + "\\Tarnell_MFP.ini") << iniText;
}

ModuleFolder::~ModuleFolder() {
    for (const char* name : {"Tarnell_MFP.dll", "Tarnell_MFP.ini", "Tarnell_MFP.log", "Tarnell_MFP.ini.bak", "setup.ini"})
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

HostRun RunHost(const ModuleFolder& folder, const std::vector<std::string>& arguments, const char* host) {
    std::vector<std::string> all = {"--module", folder.ModulePath()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunHostProgram(all, host);
}

HostRun RunHostWithBoards(const ModuleFolder& folder, const std::string& boards,
                          const std::vector<std::string>& arguments) {
    SetEnvironmentVariableA("MFP_SIM_BOARDS", boards.c_str());
    return RunHost(folder, arguments, "standin\\fs9host.exe");
}

HostRun RunHostProgram(const std::vector<std::string>& arguments, const char* host) {
    UseUnmanagedWineWindows();
    return RunProgram(BesideTestProgram(host), arguments);
}

HostRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::string commandLine = Quote(program);
    for (const std::string& argument : arguments) commandLine += " " + Quote(argument);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    HostRun run;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string text;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        run.exitCode = static_cast<int>(exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    run.output = SplitLines(text);
    return run;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return SplitLines(text.str());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> LogMessages(const ModuleFolder& folder) {
    std::vector<std::string> messages;
    for (const std::string& line : ReadLines(folder.LogPath())) {
        const size_t bracket = line.find("] ");
        if (bracket != std::string::npos) messages.push_back(line.substr(bracket + 2));
    }
    return messages;
}

size_t Count(const std::vector<std::string>& lines, const std::string& wanted) {
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), wanted));
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}
