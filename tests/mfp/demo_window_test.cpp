// mfp.exe demo's window, driven from another process as a user would: clicks and keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Whether the condition holds within the time; it is tried every 50 ms.
bool Within(std::chrono::milliseconds time, const std::function<bool()>& condition) {
    for (const auto deadline = std::chrono::steady_clock::now() + time; !condition();) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string Text(HWND control) {
    char text[512] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, AddWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

// A list box's lines, read from the other process. Asked for as UTF-16: wine hands another
// process's list lines over as UTF-16 whatever was asked.
std::vector<std::string> Lines(HWND list) {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t line[512] = L"";
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 512) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        char text[1024] = "";
        WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
        lines.push_back(text);
    }
    return lines;
}

bool Holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// mfp.exe demo with no standard output (as from a shortcut), ended when the test ends.
class DemoProgram {
public:
    DemoProgram() {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        char command[] = "mfp.exe demo";
        started = CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    }
    ~DemoProgram() {
        if (!started) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    // Its visible top-level window, within 15 s; null otherwise.
    HWND Window() {
        HWND found = nullptr;
        Within(std::chrono::seconds(15), [&] {
            std::vector<HWND> windows;
            EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
            for (HWND window : windows) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == process.dwProcessId && IsWindowVisible(window)) found = window;
            }
            return found != nullptr;
        });
        return found;
    }
    // Its exit status once it ends within 10 s; -1 otherwise.
    long Ended() {
        DWORD status = 0;
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(process.hProcess, &status);
        return static_cast<long>(status);
    }

    bool started = false;

private:
    PROCESS_INFORMATION process{};
};

// The bundled configuration in the window: SW2 is the parking brake, SW7 pause. A click on SW2
// sends its event and lets the flight go; the key 7 pauses it; closing the window ends the
// program.
TEST(DemoWindowTest, AClickOrAKeyPressesASwitch) {
    DemoProgram demo;
    ASSERT_TRUE(demo.started) << "mfp.exe demo did not start: error " << GetLastError();
    const HWND window = demo.Window();
    ASSERT_NE(window, nullptr) << "mfp.exe demo showed no window within 15 s";
    HWND sw2 = nullptr, events = nullptr, flight = nullptr;
    for (HWND child : Children(window)) {
        const std::string text = Text(child), kind = ClassOf(child);
        if (text.rfind("SW2 ", 0) == 0) sw2 = child;
        if (kind == "ListBox" && !events) events = child;  // the first list: what the simulator got
        if (text.rfind("flight ", 0) == 0) flight = child;
    }
    ASSERT_TRUE(sw2 && events && flight);
    EXPECT_EQ(Text(sw2), "SW2 [2]\r\nToggles parking brake on/off");
    EXPECT_EQ(Text(flight).rfind("flight held by the parking brake at 0 s", 0), 0u) << Text(flight);

    PostMessageA(sw2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(sw2, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(Within(std::chrono::seconds(5), [&] {
        return Holds(Lines(events), "event 0x100D8 0  Toggles parking brake on/off");
    })) << "the click on SW2 sent no parking brake event";
    EXPECT_TRUE(Within(std::chrono::seconds(5), [&] { return Text(flight).rfind("flight running", 0) == 0; }))
        << Text(flight);
    // The line run_and_capture.sh takes its screenshot at, once the displays show the flight
    // under way; it moves on meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    std::printf("demo-held\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));

    PostMessageA(window, WM_CHAR, '7', 0);
    EXPECT_TRUE(Within(std::chrono::seconds(5), [&] { return Holds(Lines(events), "event 0x10019 0  Toggles pause on/off"); }))
        << "the key 7 sent no pause event";
    EXPECT_TRUE(Within(std::chrono::seconds(5), [&] { return Text(flight).rfind("flight paused", 0) == 0; }))
        << Text(flight);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.Ended(), 0);
}

}  // namespace
