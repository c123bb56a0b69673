#include "testbed/fs9host/dialog_closer.h"

#include "testbed/fs9host/observations.h"

#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMilliseconds = 20;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && ClassOf(window) == "#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND control, LPARAM texts) {
    const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    if (ClassOf(control) == "Static" && type != SS_ICON && type != SS_BITMAP) {
        const std::string text = TextOf(control);
        if (!text.empty()) reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
    }
    return TRUE;
}

}  // namespace

DialogCloser::DialogCloser(DWORD watchedThread, DWORD holdMilliseconds)
    : watchedThread(watchedThread), holdMilliseconds(holdMilliseconds), watcher([this] { Watch(); }) {}

DialogCloser::~DialogCloser() {
    stop = true;
    watcher.join();
}

void DialogCloser::Watch() {
    HWND handled = nullptr;
    while (!stop) {
        Sleep(kPollMilliseconds);
        if (held) {
            handled = nullptr;
            continue;
        }
        HWND dialog = nullptr;
        EnumThreadWindows(watchedThread, &FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) handled = nullptr;
        if (!dialog || dialog == handled) continue;
        handled = dialog;

        std::vector<std::string> texts;
        EnumChildWindows(dialog, &CollectStaticText, reinterpret_cast<LPARAM>(&texts));
        const std::string caption = TextOf(dialog);
        Observe("dialog %s", caption.c_str());
        for (const std::string& text : texts) Observe("dialog-text %s", text.c_str());
        if (holdMilliseconds) {
            Observe("dialog-held %s", caption.c_str());
            Sleep(holdMilliseconds);
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        Observe("dialog-closed %s", caption.c_str());
    }
}
