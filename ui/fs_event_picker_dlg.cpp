#include "ui/fs_event_picker_dlg.h"

#include "os/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "ui/setup_file_dialog.h"
#include "ui/window_placement.h"

namespace {

// The message map: a control's notification and its handler.
struct Notification {
    int controlId;
    int code;
    void (CFSEventPickerDlg::*handler)();
};

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

constexpr UINT kEnableOwner = WM_APP + 0x3E2;

}  // namespace

CFSEventPickerDlg::CFSEventPickerDlg(HWND parent) : ModalDialog(IDD_EVENT_PICKER, parent, NoParent::StandAlone) {}

CFSEventPickerDlg::~CFSEventPickerDlg() {
    if (findNextIcon) DestroyIcon(findNextIcon);
}

BOOL CFSEventPickerDlg::OnInitDialog() {
    ModalDialog::OnInitDialog();
    groups = GetDlgItem(Window(), IDC_EVENT_GROUPS);
    events = GetDlgItem(Window(), IDC_EVENT_LIST);
    // Each item goes to the model's index (an insert, which a sorted control does not sort
    // again), so the controls and the model never disagree, whatever the user's locale.
    for (int i = 0; i < model.Groups().Count(); ++i) {
        SendMessageA(groups, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(model.Groups().Text(i).c_str()));
        SendMessageA(groups, CB_SETITEMDATA, i, model.Groups().Data(i));
    }
    findNextIcon = static_cast<HICON>(LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(IDI_PANEL), IMAGE_ICON, 16, 16, 0));
    SendDlgItemMessageA(Window(), IDC_FIND_NEXT, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(findNextIcon));
    if (GetWindow(Window(), GW_OWNER)) CentreOverOwner(Window());
    // The modal loop disables the owner after this returns; once it runs, the owner is enabled.
    if (ownerUsable) PostMessageA(Window(), kEnableOwner, 0, 0);
    return TRUE;
}

bool CFSEventPickerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kEnableOwner) return ModalDialog::OnMessage(message, wParam, lParam);
    EnableWindow(GetWindow(Window(), GW_OWNER), TRUE);
    return true;
}

bool CFSEventPickerDlg::OnCommand(int controlId, int notification) {
    static constexpr Notification kMessageMap[] = {
        {IDC_EVENT_LIST, LBN_SELCHANGE, &CFSEventPickerDlg::OnEventSelected},
        {IDC_EVENT_GROUPS, CBN_SELCHANGE, &CFSEventPickerDlg::OnGroupChanged},
        {IDC_EVENT_LIST, LBN_DBLCLK, &CFSEventPickerDlg::OnEventDoubleClicked},
        {IDC_IMPORT_EVENT, BN_CLICKED, &CFSEventPickerDlg::OnImport},
        {IDC_SEARCH_TEXT, EN_CHANGE, &CFSEventPickerDlg::OnSearchChanged},
        {IDC_FIND_NEXT, BN_CLICKED, &CFSEventPickerDlg::OnFindNext},
    };
    for (const Notification& entry : kMessageMap) {
        if (entry.controlId == controlId && entry.code == notification) {
            (this->*entry.handler)();
            return true;
        }
    }
    return false;
}

void CFSEventPickerDlg::OnEventSelected() { model.OnEventSelected(ListSelection()); }

void CFSEventPickerDlg::OnGroupChanged() {
    model.OnGroupChanged(static_cast<int>(SendMessageA(groups, CB_GETCURSEL, 0, 0)));
    ShowEvents();
}

void CFSEventPickerDlg::OnEventDoubleClicked() {
    OnEventSelected();
    OnOK();
}

void CFSEventPickerDlg::OnOK() {
    model.OnEventSelected(ListSelection());
    ModalDialog::OnOK();
}

void CFSEventPickerDlg::OnImport() {
    if (model.Import(PlatformProfileFile(), ChooseSetupFile(true, Window(), kEventImportFileFlags)))
        ModalDialog::OnOK();  // the imported choice stands, whatever the list shows
}

void CFSEventPickerDlg::OnSearchChanged() {
    model.OnSearchChanged(WindowText(GetDlgItem(Window(), IDC_SEARCH_TEXT)));
    ShowSelection();
}

void CFSEventPickerDlg::OnFindNext() {
    model.OnFindNext();
    ShowSelection();
}

void CFSEventPickerDlg::ShowEvents() {
    SendMessageA(events, WM_SETREDRAW, FALSE, 0);
    SendMessageA(events, LB_RESETCONTENT, 0, 0);
    const SortedList& items = model.Events();
    for (int i = 0; i < items.Count(); ++i) {
        SendMessageA(events, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(items.Text(i).c_str()));
        SendMessageA(events, LB_SETITEMDATA, i, items.Data(i));
    }
    SendMessageA(events, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(events, nullptr, TRUE);
    ShowSelection();
    for (int id : {IDC_SEARCH_LABEL, IDC_SEARCH_TEXT, IDC_FIND_NEXT})
        EnableWindow(GetDlgItem(Window(), id), model.SearchEnabled());
}

void CFSEventPickerDlg::ShowSelection() { SendMessageA(events, LB_SETCURSEL, model.Selection(), 0); }

int CFSEventPickerDlg::ListSelection() const { return static_cast<int>(SendMessageA(events, LB_GETCURSEL, 0, 0)); }
