// The view window's title as the update thread reads it: never by a message to the window's
// thread, which may itself be waiting for the update thread (UnloadMFPs during a reload or in
// module_deinit), and as narrow text as the ANSI window functions give it.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
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
        WNDCLASSA mainClass{};
        mainClass.lpfnWndProc = &DefWindowProcA;
        mainClass.hInstance = GetModuleHandleA(nullptr);
        mainClass.lpszClassName = kMainWindowClass;
        RegisterClassA(&mainClass);
        // A Unicode view keeps any title as it was set, whatever the ANSI code page.
        WNDCLASSW viewClass{};
        viewClass.lpfnWndProc = &DefWindowProcW;
        viewClass.hInstance = GetModuleHandleA(nullptr);
        viewClass.lpszClassName = L"FS98CHILD";
        RegisterClassW(&viewClass);
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

private:
    const HWND mainWindow;
};

// Ends the process with a failure when the guarded wait is not over in time: a deadlock must
// fail the test, not hang it.
class Watchdog {
public:
    explicit Watchdog(const char* what) {
        thread = std::thread([this, what] {
            std::unique_lock<std::mutex> hold(lock);
            if (changed.wait_for(hold, std::chrono::milliseconds(kPatienceMs), [this] { return over; })) return;
            std::fprintf(stderr, "FAILED: %s did not return within %lu ms\n", what, kPatienceMs);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> hold(lock);
            over = true;
        }
        changed.notify_all();
        thread.join();
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    bool over = false;
    std::thread thread;
};

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
    {
        Watchdog watchdog("UnloadMFPs");
        // From here on this thread, the windows' owner, handles no message until the workers end.
        SetEvent(gated.unloading);
        panels.UnloadMFPs();
    }
    EXPECT_TRUE(gated.firstRead);
    EXPECT_EQ(gated.firstTitle, "COCKPIT - View 00");
}

// The narrow text is what the ANSI window function gives on the owner's own thread.
TEST(ViewTitle, IsTheAnsiTextCutAt259Characters) {
    SimulatorWindows windows;
    const struct {
        const char* name;
        std::wstring title;
    } cases[] = {
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
