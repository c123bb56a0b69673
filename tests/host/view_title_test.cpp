// The view window's title as the update thread reads it: never by a message to the window's
// thread, which may itself be waiting for the update thread (UnloadMFPs during a reload or in
// module_deinit), and as narrow text as the ANSI window functions give it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "iokit/iokit.h"
#include "os/host_windows.h"
#include "os/profile_file.h"
#include "os/sim_board.h"
#include "os/sim_host.h"
#include "os/user_message.h"
#include "panels/mfp.h"

namespace {

constexpr DWORD kPatienceMs = 10000;

// The simulator's main window and its cockpit view, owned by the thread that makes them.
class SimulatorWindows {
public:
    SimulatorWindows() {
        // A Unicode view keeps any title as it was set, whatever the ANSI code page.
        for (const wchar_t* name : {L"FS98MAIN", L"FS98CHILD"}) {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &DefWindowProcW;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = name;
            RegisterClassW(&windowClass);
        }
        main = CreateWindowExA(0, kMainWindowClass, "stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        view = CreateWindowExA(0, kViewWindowClass, "COCKPIT - View 00", WS_CHILD, 0, 0, 100, 100, main,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~SimulatorWindows() { DestroyWindow(main); }
    HWND main = nullptr;
    HWND view = nullptr;
};

// The real windows, but the first title read waits at the gate until the window thread has
// gone into UnloadMFPs. The main window is the test's own, whatever else runs on the desktop.
class GatedWindows : public HostWindows {
public:
    explicit GatedWindows(HWND mainWindow) : mainWindow(mainWindow) {}
    ~GatedWindows() override {
        CloseHandle(entered);
        CloseHandle(unloading);
    }
    WindowHandle FindTopWindow(const char*) override { return reinterpret_cast<WindowHandle>(mainWindow); }
    WindowHandle FindChildWindow(WindowHandle parent, const char* className, const char* title) override {
        return PlatformHostWindows().FindChildWindow(parent, className, title);
    }
    bool IsWindow(WindowHandle window) override { return PlatformHostWindows().IsWindow(window); }
    bool GetWindowTitle(WindowHandle window, std::string& title) override {
        if (!gatePassed) {
            gatePassed = true;
            SetEvent(entered);
            WaitForSingleObject(unloading, kPatienceMs);
            firstRead = PlatformHostWindows().GetWindowTitle(window, title);
            firstTitle = title;
            return firstRead;
        }
        return PlatformHostWindows().GetWindowTitle(window, title);
    }

    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE unloading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool gatePassed = false;  // the update thread's alone
    bool firstRead = false;
    std::string firstTitle;
    const HWND mainWindow;
};

// Runs fn, ending the process with a failure when it does not return in time: a deadlock must
// fail the test, not hang it.
template <typename Fn>
void WithinPatience(const char* what, Fn fn) {
    const HANDLE over = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread watchdog([&] {
        if (WaitForSingleObject(over, kPatienceMs) == WAIT_OBJECT_0) return;
        std::fprintf(stderr, "FAILED: %s did not return within %lu ms\n", what, kPatienceMs);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    });
    fn();
    SetEvent(over);
    watchdog.join();
    CloseHandle(over);
}

TEST(ViewTitle, IsReadWhileTheWindowThreadWaitsInUnloadMFPs) {
    SimulatorWindows windows;
    ASSERT_NE(windows.view, nullptr);
    SimHidBackend backend;
    backend.AddBoard({0x07C0, 0x1583, "0000A1B2"});
    KitUseBackend(backend);
    SimHost host;
    SimProfileFile profile;
    RecordedUserMessages messages;
    GatedWindows gated(windows.main);
    CMFP panels(PanelServices{host, gated, host, profile, messages, "C:\\no-such-folder\\Tarnell_MFP.ini"});
    ASSERT_EQ(panels.LoadMFPs(), 1);

    // The second pass reads the title of the view the first one found.
    EXPECT_EQ(WaitForSingleObject(gated.entered, kPatienceMs), WAIT_OBJECT_0);
    // From here on this thread, the windows' owner, handles no message until the workers end.
    SetEvent(gated.unloading);
    WithinPatience("UnloadMFPs", [&] { panels.UnloadMFPs(); });
    EXPECT_TRUE(gated.firstRead);
    EXPECT_EQ(gated.firstTitle, "COCKPIT - View 00");
}

// The narrow text is what the ANSI window function gives on the owner's own thread.
TEST(ViewTitle, IsTheAnsiTextCutAt259Characters) {
    SimulatorWindows windows;
    const struct { const char* name; std::wstring title; } cases[] = {
        {"cockpit", L"COCKPIT - View 00"},
        {"accented", L"Cockpit \u00e9l\u00e8ve - View 00"},
        {"not in the code page", L"View \u4e2d"},
        {"long", std::wstring(300, L'x')},
        {"empty", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetWindowTextW(windows.view, c.title.c_str()));
        char expected[MAX_PATH] = {};
        const int length = GetWindowTextA(windows.view, expected, MAX_PATH);
        std::string title = "unchanged";
        const bool read = PlatformHostWindows().GetWindowTitle(reinterpret_cast<WindowHandle>(windows.view), title);
        EXPECT_EQ(read, length > 0);
        if (read) {
            EXPECT_EQ(title, std::string(expected, static_cast<size_t>(length)));
        }
    }
}

}  // namespace
