#include "testbed/fs9host/host_windows.h"

#include "testbed/fs9host/observations.h"

#include <dbt.h>

#include <string>

namespace {

const char kMainClass[] = "FS98MAIN";
const char kViewClass[] = "FS98CHILD";
constexpr UINT kExitCommand = 40001;
constexpr UINT kPauseCommand = 40002;

std::function<void()>& DeinitAction() {
    static std::function<void()> action;
    return action;
}

// Reports the messages the module hooks once they reach the host's own procedure, and the keys
// that reach it.
LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kDeinitRequest:
        Observe("hostproc deinit request");
        if (DeinitAction()) DeinitAction()();
        return 0;
    case WM_NCPAINT: Observe("hostproc ncpaint"); break;
    case WM_COMMAND: Observe("hostproc command %u", static_cast<unsigned>(LOWORD(wParam))); break;
    case WM_DEVICECHANGE: Observe("hostproc devicechange 0x%X", static_cast<unsigned>(wParam)); break;
    // A keystroke the module injected for a switch: the virtual key, as mfp demo prints it.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: Observe("hostproc key 0x%02X", static_cast<unsigned>(wParam)); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HMENU BuildMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kExitCommand, "E&xit");
    HMENU flight = CreatePopupMenu();
    AppendMenuA(flight, MF_STRING, kPauseCommand, "&Pause");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(flight), "F&light");
    return bar;
}

void PrintMenu(HMENU menu, const std::string& path) {
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char text[MAX_PATH] = {};
        GetMenuStringA(menu, position, text, MAX_PATH, MF_BYPOSITION);
        const std::string itemPath = path + "/" + text;
        if (HMENU popup = GetSubMenu(menu, position)) {
            Observe("menu %s popup", itemPath.c_str());
            PrintMenu(popup, itemPath);
        } else if (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) {
            Observe("menu %s separator", itemPath.c_str());
        } else {
            Observe("menu %s id=%u", itemPath.c_str(), GetMenuItemID(menu, position));
        }
    }
}

constexpr UINT_PTR kMenuShownTimer = 1;
constexpr UINT_PTR kMenuCloseTimer = 2;
constexpr UINT kMenuSettleMilliseconds = 300;
DWORD menuHoldMilliseconds = 0;  // how long the popup of ShowMenu stays up

// Timers keep running inside the popup's own message loop.
void CALLBACK OnMenuTimer(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (timer == kMenuShownTimer) {
        Observe("menu-shown");
        SetTimer(window, kMenuCloseTimer, menuHoldMilliseconds, &OnMenuTimer);
    } else {
        EndMenu();
    }
}

}  // namespace

WNDPROC HostWindows::OwnProcedure() { return &MainProcedure; }

bool HostWindows::Create(HINSTANCE instance) {
    WNDCLASSA mainClass{};
    mainClass.lpfnWndProc = &MainProcedure;
    mainClass.hInstance = instance;
    mainClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    mainClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    mainClass.lpszClassName = kMainClass;
    WNDCLASSA viewClass = mainClass;
    viewClass.lpfnWndProc = &DefWindowProcA;
    viewClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    viewClass.lpszClassName = kViewClass;
    if (!RegisterClassA(&mainClass) || !RegisterClassA(&viewClass)) return false;

    main = CreateWindowExA(0, kMainClass, "Microsoft Flight Simulator 2004 (stand-in host)",
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 800, 560, nullptr,
                           BuildMenuBar(), instance, nullptr);
    if (!main) return false;
    if (!OpenView()) return false;
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    return true;
}

HostWindows::~HostWindows() {
    if (main) DestroyWindow(main);
}

bool HostWindows::OpenView() {
    if (!view) {
        view = CreateWindowExA(0, kViewClass, "COCKPIT - View 00", WS_CHILD | WS_VISIBLE | WS_CAPTION, 20, 20,
                               420, 300, main, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return view != nullptr;
}

void HostWindows::CloseView() {
    if (view) DestroyWindow(view);
    view = nullptr;
}

void HostWindows::RebuildMenuBar() {
    HMENU old = GetMenu(main);
    SetMenu(main, BuildMenuBar());
    if (old) DestroyMenu(old);
}

bool HostWindows::ShowMenu(const char* barText, DWORD milliseconds) {
    HMENU bar = GetMenu(main);
    for (int position = 0; bar && position < GetMenuItemCount(bar); ++position) {
        char text[MAX_PATH] = {};
        GetMenuStringA(bar, position, text, MAX_PATH, MF_BYPOSITION);
        HMENU item = GetSubMenu(bar, position);
        HMENU popup = item && std::string(text) == barText ? GetSubMenu(item, 0) : nullptr;
        if (!popup) continue;
        RECT under{};
        GetMenuItemRect(main, bar, position, &under);
        SetForegroundWindow(main);
        menuHoldMilliseconds = milliseconds;
        SetTimer(main, kMenuShownTimer, kMenuSettleMilliseconds, &OnMenuTimer);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, under.left, under.bottom, 0, main, nullptr);
        return true;
    }
    Observe("error no popup under %s", barText);
    return false;
}

void HostWindows::PrintMenuBar() const {
    if (HMENU bar = GetMenu(main)) PrintMenu(bar, "");
}

void HostWindows::OnDeinitRequest(std::function<void()> action) { DeinitAction() = std::move(action); }
