#include "ui/modal_dialog.h"

#include "log/log.h"
#include "os/win32/module_instance.h"
#include "ui/window_placement.h"

namespace {
// Posted to a stand-alone dialog from its initialisation: once its modal loop runs, it is
// shown, and only a shown window can be brought to the front.
constexpr UINT kComeToFront = WM_APP + 0x3F0;
}  // namespace

ModalDialog::ModalDialog(int templateId, HWND parent, NoParent noParent)
    : templateId(templateId), parent(parent), noParent(noParent) {}

INT_PTR ModalDialog::DoModal() {
    HWND owner = parent;
    if (!owner && noParent == NoParent::OwnedByActiveWindow) {
        HWND active = GetActiveWindow();
        owner = active ? GetAncestor(active, GA_ROOT) : nullptr;
    }
    return DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId), owner, &DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HBRUSH ModalDialog::OnCtlColor(UINT message, HDC dc, HWND control) {
    if (message != WM_CTLCOLORSTATIC) return nullptr;
    return reinterpret_cast<HBRUSH>(
        SendMessageA(control, kReflectedCtlColorStatic, reinterpret_cast<WPARAM>(dc), 0));
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing thrown may unwind into the window manager's frames.
    try {
        return HandleDialogMessage(window, message, wParam, lParam);
    } catch (...) {
        theLog.Write(2, "MFP", "Dialog message 0x%X stopped by an exception\n", message);
        return FALSE;
    }
}

INT_PTR ModalDialog::HandleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window = window;
        const BOOL systemFocus = dialog->OnInitDialog();
        if (!dialog->parent && dialog->noParent == NoParent::StandAlone) {
            CentreOnScreen(window);
            PostMessageA(window, kComeToFront, 0, 0);
        }
        return systemFocus;
    }
    auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog) return FALSE;
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // A dialog procedure returns a brush directly for these messages.
        return reinterpret_cast<INT_PTR>(dialog->OnCtlColor(message, reinterpret_cast<HDC>(wParam),
                                                            reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) dialog->OnOK();
        else if (LOWORD(wParam) == IDCANCEL) dialog->OnCancel();
        else return dialog->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case kComeToFront:
        BringToFront(window);
        return TRUE;
    case WM_NCDESTROY:
        dialog->window = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
