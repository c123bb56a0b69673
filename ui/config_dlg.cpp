#include "ui/config_dlg.h"

#include <commctrl.h>

#include <cstdio>

#include "config/file_access.h"
#include "log/log.h"
#include "os/profile_file.h"
#include "os/user_message.h"
#include "os/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "ui/config_layout.h"
#include "ui/file_problem.h"
#include "ui/fs_event_picker_dlg.h"
#include "ui/window_placement.h"

namespace {

const char kModuleName[] = "MFP";

LayoutRect ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Moves a child to a rectangle given in screen coordinates.
void MoveChild(HWND dialog, HWND child, const LayoutRect& rect) {
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(nullptr, dialog, corners, 2);
    MoveWindow(child, corners[0].x, corners[0].y, corners[1].x - corners[0].x, corners[1].y - corners[0].y, TRUE);
}

}  // namespace

CConfigDlg::CConfigDlg(HWND parent) : ModalDialog(IDD_CONFIG, parent) {}

CConfigDlg::~CConfigDlg() = default;

BOOL CConfigDlg::OnInitDialog() {
    ModalDialog::OnInitDialog();
    iniPath = SiblingPath(ModuleFilePath(), kConfigurationFileName);
    picture.SetResource(IDR_BANNER_JPEG);
    picture.SetLink(std::string());
    picture.Subclass(GetDlgItem(Window(), IDC_CONFIG_BANNER));

    for (const auto& [serial, board] : boards) {
        const int index = flow.AddPage(PlatformProfileFile(), iniPath, serial, PlatformUserMessages());
        auto page = std::make_unique<CConfigPageMFP>(flow, index, board, Window());
        char caption[260];
        std::snprintf(caption, sizeof caption, "Halvard MFP - %d", index + 1);
        page->SetCaption(caption);
        sheet.AddPage(page.get());
        pages.push_back(std::move(page));
    }
    if (!sheet.Create(Window(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CONTROLPARENT))
        theLog.Write(2, kModuleName, "The configuration's tabs could not be made\n");
    LayOut();
    // Each page reads its board's bindings and starts listening as it is first activated.
    for (int page = static_cast<int>(pages.size()) - 1; page >= 0; --page) sheet.SetActivePage(page);
    return TRUE;
}

void CConfigDlg::LayOut() {
    HWND banner = GetDlgItem(Window(), IDC_CONFIG_BANNER);
    HWND save = GetDlgItem(Window(), IDOK);
    HWND cancel = GetDlgItem(Window(), IDCANCEL);
    ConfigLayoutStart start;
    start.banner = ScreenRect(banner);
    start.save = ScreenRect(save);
    start.sheet = ScreenRect(sheet.Window());
    start.dialog = ScreenRect(Window());
    const SIZE pictureSize = picture.GetPictureSize();
    start.pictureWidth = pictureSize.cx;
    start.pictureHeight = pictureSize.cy;
    start.frameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    const ConfigLayout layout = LayOutConfigDialog(start);

    MoveWindow(Window(), layout.dialog.left, layout.dialog.top, layout.dialog.right - layout.dialog.left,
               layout.dialog.bottom - layout.dialog.top, TRUE);
    MoveChild(Window(), save, layout.save);
    MoveChild(Window(), cancel, layout.cancel);
    MoveChild(Window(), sheet.Window(), layout.sheet);
    MoveChild(Window(), banner, layout.banner);
    CentreOverOwner(Window());
}

void CConfigDlg::PauseInputs(bool paused) {
    for (const auto& entry : boards) entry.second->SetPaused(paused);
}

// The picker runs here, owned by this dialog, which stays usable: closing the dialog ends the
// picker on this same thread.
void CConfigDlg::RunPickers() {
    while (const std::optional<PickRequest> request = flow.NextPick()) {
        sheet.SetActivePage(request->page);
        CFSEventPickerDlg picker(Window());
        picker.KeepOwnerUsable();
        const bool chosen = picker.DoModal() == IDOK;
        const int row = flow.PickEnded(chosen ? std::optional<EventChoice>(picker.Choice()) : std::nullopt);
        if (row >= 0) pages[static_cast<std::size_t>(request->page)]->ShowRow(row);
    }
}

bool CConfigDlg::Save() {
    const std::vector<std::string> changed = flow.ChangedOnDisk(PlatformProfileFile(), iniPath);
    if (!changed.empty()) {
        std::string sections;
        for (const std::string& section : changed) sections += "\n\t[" + section + "]";
        if (!AskYesNo(Window(), iniPath + " was changed while this window was open, for the switches of:" + sections +
                                    "\n\nOverwrite them with the switches shown here?\n\n"
                                    "No keeps the file as it is and discards what was changed here."))
            return true;
    }
    std::string problem;
    if (!BackUpFile(iniPath, problem) &&
        !AskYesNo(Window(), "No backup of the configuration could be made:\n" + problem + "\n\nSave all the same?"))
        return false;
    const std::vector<std::string> failed = flow.Save(PlatformProfileFile(), SimProfileFile(), iniPath);
    if (failed.empty()) return true;
    std::string sections;
    for (const std::string& section : failed) sections += " [" + section + "]";
    const std::string reason = WriteProblem(iniPath);
    theLog.Write(2, kModuleName, "The inputs of%s could not be written to %s\n", sections.c_str(), iniPath.c_str());
    ShowFileProblem(Window(), "The switches of" + sections + " could not be saved in " + iniPath +
                                  (reason.empty() ? std::string(".") : ": " + reason + ".") +
                                  "\n\nNothing chosen here is lost: the window stays open.");
    return false;
}

// With a picker open, Save saves what the rows show and ends the picker unchosen.
void CConfigDlg::OnOK() {
    if (!Save()) return;
    StopListening();
    ModalDialog::OnOK();
}

void CConfigDlg::OnCancel() {
    StopListening();
    ModalDialog::OnCancel();
}

void CConfigDlg::CloseNow() {
    StopListening();
    EndDialog(Window(), IDCANCEL);
}

bool CConfigDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kSwitchPressed) {
        RunPickers();
        return true;
    }
    if (message == WM_DESTROY) StopListening();
    return ModalDialog::OnMessage(message, wParam, lParam);
}

// A picker still open, and a file dialog it opened, end with Cancel; then the boards' key-matrix
// threads stop. They never wait for a window, so the stop is as short as one of their cycles.
void CConfigDlg::StopListening() {
    flow.Close();
    CancelOwnedWindows(Window());
    for (const auto& entry : boards) entry.second->SetKeyMatrixCallback(false, nullptr, nullptr);
    boards.clear();
}

int ModuleConfigurationDialog::Run(const std::map<std::string, CTarnellController*>& boards) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    CConfigDlg dialog(owner);
    dialog.SetBoards(boards);
    shown = &dialog;
    const INT_PTR result = dialog.DoModal();
    shown = nullptr;
    if (result == -1) theLog.Write(2, kModuleName, "The configuration dialog could not be shown (%lu)\n", GetLastError());
    return static_cast<int>(result);
}

void ModuleConfigurationDialog::Close() {
    if (shown) shown->CloseNow();
}
