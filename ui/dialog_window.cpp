#include "ui/dialog_window.h"

#include "log/log.h"
#include "os/win32/module_instance.h"

#include <cstring>
#include <vector>

namespace {

// Where the styles sit: DIALOGEX templates begin with version 1 and signature 0xFFFF, then the
// help id, the extended style and the style; plain ones with the style and the extended style.
constexpr WORD kExtendedTemplateSignature = 0xFFFF;
constexpr DWORD kFontStyles = DS_SETFONT | DS_FIXEDSYS;
constexpr DWORD kTemplateHeaderSize = 26;

bool IsExtended(const std::vector<DWORD>& copy) {
    return reinterpret_cast<const WORD*>(copy.data())[1] == kExtendedTemplateSignature;
}

}  // namespace

HBRUSH DialogWindow::OnCtlColor(UINT message, HDC dc, HWND control) {
    if (message != WM_CTLCOLORSTATIC) return nullptr;
    return reinterpret_cast<HBRUSH>(
        SendMessageA(control, kReflectedCtlColorStatic, reinterpret_cast<WPARAM>(dc), 0));
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing thrown may unwind into the window manager's frames.
    try {
        return HandleDialogMessage(window, message, wParam, lParam);
    } catch (...) {
        theLog.Write(2, "MFP", "Dialog message 0x%X stopped by an exception\n", message);
        return FALSE;
    }
}

INT_PTR DialogWindow::HandleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window = window;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(window, DWLP_USER));
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
    case WM_NCDESTROY:
        dialog->OnMessage(message, wParam, lParam);
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->window = nullptr;
        return FALSE;
    default:
        return dialog->OnMessage(message, wParam, lParam);
    }
}

std::vector<DWORD> DialogWindow::TemplateCopy(int templateId) {
    HRSRC resource = FindResourceA(ModuleInstance(), MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    const DWORD size = resource ? SizeofResource(ModuleInstance(), resource) : 0;
    HGLOBAL loaded = size ? LoadResource(ModuleInstance(), resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size < kTemplateHeaderSize) return {};
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(copy.data(), bytes, size);
    return copy;
}

SIZE DialogWindow::TemplateSize(int templateId) {
    const std::vector<DWORD> copy = TemplateCopy(templateId);
    if (copy.empty()) return SIZE{0, 0};
    const auto* words = reinterpret_cast<const short*>(copy.data());
    const int cx = IsExtended(copy) ? 11 : 7;  // in 16-bit words, after the item count, x and y
    return SIZE{words[cx], words[cx + 1]};
}

bool DialogWindow::CreateModeless(int templateId, HWND parent, DWORD style, DWORD exStyle) {
    std::vector<DWORD> copy = TemplateCopy(templateId);
    if (copy.empty()) return false;
    const bool extended = IsExtended(copy);
    DWORD& templateStyle = copy[extended ? 3 : 0];
    copy[extended ? 2 : 1] = exStyle;
    templateStyle = style | (templateStyle & kFontStyles);
    return CreateDialogIndirectParamA(ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(copy.data()), parent,
                                      &DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}
