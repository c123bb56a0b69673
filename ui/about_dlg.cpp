#include "ui/about_dlg.h"

#include "os/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "ui/module_version.h"

CAboutDlg::CAboutDlg(HWND parent)
    : ModalDialog(IDD_ABOUTBOX, parent), white(CreateSolidBrush(RGB(255, 255, 255))) {}

CAboutDlg::~CAboutDlg() { DeleteObject(white); }

BOOL CAboutDlg::OnInitDialog() {
    ModalDialog::OnInitDialog();
    const std::string version = "Version " + FileVersionText(ModuleFilePath());
    SetDlgItemTextA(Window(), IDC_VERSION_TEXT, version.c_str());
    const struct {
        CStaticLink& link;
        int controlId;
    } links[] = {{makerLink, IDC_MAKER_LINK}, {partnerLink, IDC_PARTNER_LINK}};
    for (const auto& entry : links) {
        CStaticLink::SetLinkCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
        entry.link.SetLink(std::string());
        entry.link.Subclass(GetDlgItem(Window(), entry.controlId));
    }
    return TRUE;
}

HBRUSH CAboutDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    // Links select their own font and colour first; their brush is not wanted here.
    ModalDialog::OnCtlColor(message, dc, control);
    SetBkMode(dc, TRANSPARENT);
    return white;
}
