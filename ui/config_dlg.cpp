#include "ui/config_dlg.h"

#include <commctrl.h>

#include <cstdio>

#include "config/file_access.h"
#include "log/log.h"
#include "os/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "ui/config_layout.h"
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
    iniPath = SiblingPath(ModuleFilePath(), "Tarnell_MFP.ini");
    picture.SetResource(IDR_BANNER_JPEG);
    picture.SetLink(std::string());
    picture.Subclass(GetDlgItem(Window(), IDC_CONFIG_BANNER));

    int i = 0;
    for (const auto& entry : boards) {
        auto page = std::make_unique<CConfigPageMFP>();
        page->SetIniPath(iniPath);
        page->SetBoard(entry.second);
        page->SetIndex(i);
        page->SetConfigDlg(this);
        char caption[260];
        std::snprintf(caption, sizeof caption, "Halvard MFP - %d", i + 1);
        page->SetCaption(caption);
        sheet.AddPage(page.get());
        pages.push_back(std::move(page));
        ++i;
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

void CConfigDlg::OnOK() {
    pickers.Close();
    std::string problem;
    if (!BackUpFile(iniPath, problem))
        theLog.Write(0, kModuleName, "No backup of the configuration (%s); saving all the same\n", problem.c_str());
    for (const auto& page : pages) {
        page->ApplyPickedInputs();
        page->SaveInputs();
    }
    ModalDialog::OnOK();
}

bool CConfigDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) OnDestroy();
    return ModalDialog::OnMessage(message, wParam, lParam);
}

void CConfigDlg::OnDestroy() {
    // A picker still open would keep its board's thread, and so this one, waiting.
    pickers.Close();
    for (const auto& entry : boards) entry.second->SetKeyMatrixCallback(false, nullptr, nullptr);
}

int ModuleConfigurationDialog::Run(const std::map<std::string, CTarnellController*>& boards) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    CConfigDlg dialog(nullptr);
    dialog.SetBoards(boards);
    const INT_PTR result = dialog.DoModal();
    if (result == -1) theLog.Write(2, kModuleName, "The configuration dialog could not be shown (%lu)\n", GetLastError());
    return static_cast<int>(result);
}
