#include "testbed/fs9host/user_steps.h"

#include "testbed/fs9host/dialog_closer.h"
#include "testbed/fs9host/dialog_driver.h"
#include "testbed/fs9host/host_windows.h"
#include "testbed/fs9host/observations.h"
#include "testbed/fs9host/sim_boards.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

const char kConfigurationCaption[] = "Tarnell MFP Configuration";
constexpr DWORD kDialogWaitMs = 20000;
// As long as the host's switch steps give the module; the user thread has no windows to pump.
constexpr DWORD kBoardSettleMs = 300;

int Number(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 0)); }

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) joined += (i ? "|" : "") + texts[i];
    return joined;
}

bool IsClass(HWND window, const char* name) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

// After a board step, time for the module to act on it.
std::string Board(bool worked) {
    if (!worked) return "the board step failed";
    Sleep(kBoardSettleMs);
    return "";
}

std::string WaitUntilGone(const std::string& caption) {
    const DWORD start = GetTickCount();
    while (WaitForDialog(0, caption, nullptr, 0)) {
        if (GetTickCount() - start >= kDialogWaitMs) return "dialog " + caption + " still open";
        Sleep(20);
    }
    Observe("user gone %s after %lu ms", caption.c_str(), static_cast<unsigned long>(GetTickCount() - start));
    return "";
}

std::string Choose(HWND dialog, const std::string& caption, int id, const std::string& text) {
    HWND control = FindControl(dialog, id);
    if (!control) return "no control " + std::to_string(id) + " in " + caption;
    bool chosen = false;
    if (IsClass(control, "ComboBox")) chosen = ChooseComboItem(GetParent(control), id, text);
    else if (IsClass(control, "ListBox")) chosen = ChooseListItem(GetParent(control), id, text);
    else return "control " + std::to_string(id) + " of " + caption + " is no combo box or list box";
    return chosen ? "" : "no item " + text + " in control " + std::to_string(id) + " of " + caption;
}

std::string Click(HWND dialog, const std::string& caption, int id) {
    HWND button = FindControl(dialog, id);
    if (!button) return "no button " + std::to_string(id) + " in " + caption;
    if (!IsWindowEnabled(button)) return "button " + std::to_string(id) + " of " + caption + " is disabled";
    PostClick(button);
    return "";
}

// The texts a message box shows, its lines joined by spaces.
std::string PrintTexts(HWND dialog) {
    std::string texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[1024] = {};
        if (!IsClass(child, "Static") || GetWindowTextA(child, text, sizeof text) == 0) continue;
        for (char& c : text)
            if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        texts += (texts.empty() ? "" : "|") + std::string(text);
    }
    Observe("user-text %s", texts.c_str());
    return "";
}

std::string PrintTabs(HWND dialog) {
    HWND tab = FindVisibleDescendant(dialog, WC_TABCONTROLA);
    if (!tab) return std::string("no tabs in ") + kConfigurationCaption;
    int active = -1;
    const std::vector<std::string> texts = TabTexts(tab, active);
    const bool known = active >= 0 && active < static_cast<int>(texts.size());
    Observe("config-tabs %s active=%s", Joined(texts).c_str(), known ? texts[static_cast<size_t>(active)].c_str() : "");
    return "";
}

std::string PrintRows(HWND dialog) {
    HWND list = FindVisibleDescendant(dialog, WC_LISTVIEWA);
    if (!list) return std::string("no visible list in ") + kConfigurationCaption;
    for (const std::vector<std::string>& row : ListViewRows(list)) Observe("config-row %s", Joined(row).c_str());
    return "";
}

// Does what the step says; an empty answer when it did, else why not.
std::string Act(const Step& step, HWND main) {
    const std::string kind = step.kind.substr(step.kind.find(':') + 1);
    const std::vector<std::string>& arguments = step.arguments;
    if (kind == "hold" || kind == "sleep") {
        if (kind == "hold") Observe("user-held");
        Sleep(static_cast<DWORD>(Number(arguments[0])));
        return "";
    }
    if (kind == "press" || kind == "release") return Board(SimSwitch(arguments[0], arguments[1], kind == "press"));
    if (kind == "unplug") return Board(SimUnplug(main, arguments[0]));
    if (kind == "plug") return Board(SimPlug(main, arguments[0]));
    if (kind == "gone") return WaitUntilGone(arguments[0]);
    if (kind == "deinit") return PostMessageA(main, kDeinitRequest, 0, 0) ? "" : "cannot post to the main window";
    if (kind == "command")
        return PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(Number(arguments[0])), 0) ? "" : "cannot post to the main window";
    if (kind == "file") {
        HWND fileDialog = WaitForDialog(0, arguments[0], nullptr, kDialogWaitMs);
        if (!fileDialog) return "no dialog " + arguments[0];
        ChooseInFileDialog(fileDialog, arguments[1]);
        // A person looks again only once the file dialog has closed and the choice has been used.
        return WaitUntilGone(arguments[0]);
    }

    // The rest act on a dialog that is open now, as a person acts on what they see.
    const bool configuration = kind == "tabs" || kind == "rows";
    const std::string caption = configuration ? kConfigurationCaption : arguments[0];
    HWND dialog = WaitForDialog(0, caption, nullptr, kind == "wait" ? kDialogWaitMs : 0);
    if (!dialog) return "no dialog " + caption;
    if (kind == "tabs") return PrintTabs(dialog);
    if (kind == "rows") return PrintRows(dialog);
    if (kind == "text") return PrintTexts(dialog);
    if (kind == "choose") return Choose(dialog, caption, Number(arguments[1]), arguments[2]);
    if (kind == "click") return Click(dialog, caption, Number(arguments[1]));
    if (kind == "type") {
        HWND edit = FindControl(dialog, Number(arguments[1]));
        if (!edit) return "no control " + arguments[1] + " in " + caption;
        for (const char c : arguments[2]) TypeCharacter(edit, c);
        return "";
    }
    if (kind == "close") PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return "";
}

}  // namespace

bool IsUserStep(const Step& step) { return step.kind.rfind("user:", 0) == 0; }

UserScript::UserScript(std::vector<Step> steps, HWND main, DialogCloser& closer)
    : steps(std::move(steps)), main(main), closer(closer) {
    closer.HoldOff(true);
    player = std::thread([this] { Play(); });
}

UserScript::~UserScript() { player.join(); }

void UserScript::Finish() {
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
}

void UserScript::Play() {
    for (const Step& step : steps) {
        Observe("step %s", step.text.c_str());
        const std::string failure = Act(step, main);
        if (failure.empty()) continue;
        Observe("user-error %s", failure.c_str());
        break;
    }
    // The host thread may still sit in a modal loop the user left open: the closer ends it.
    closer.HoldOff(false);
    done = true;
}
