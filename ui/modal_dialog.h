// A modal dialog from a template in the module's own resources, on plain Win32: the few
// framework services the module's dialogs need (initialisation, colouring, OK and Cancel).
#pragma once

#include <windows.h>

// Sent by a dialog to a static control it is about to colour, so that a control that colours
// itself (a link) can select its font and colours; the control returns its brush or 0.
constexpr UINT kReflectedCtlColorStatic = 0xBC00 + WM_CTLCOLORSTATIC;

// What a dialog made without a parent does: be owned by the calling thread's active top-level
// window (the simulator's), or stand alone, as a dialog opened on a thread that has no windows
// must: then it opens centred on the screen and in front of every window, the keyboard in it.
enum class NoParent { OwnedByActiveWindow, StandAlone };

class ModalDialog {
public:
    ModalDialog(int templateId, HWND parent, NoParent noParent = NoParent::OwnedByActiveWindow);
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog and returns the id of the button that closed it (IDOK, IDCANCEL), or -1.
    INT_PTR DoModal();
    HWND Window() const { return window; }

protected:
    // Returns TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // The brush for a control (or, for WM_CTLCOLORDLG, the dialog) about to be painted; the
    // default lets a self-colouring static colour itself.
    virtual HBRUSH OnCtlColor(UINT message, HDC dc, HWND control);
    virtual void OnOK() { EndDialog(window, IDOK); }
    virtual void OnCancel() { EndDialog(window, IDCANCEL); }
    // A command of a control other than OK and Cancel (WM_COMMAND); true when handled.
    virtual bool OnCommand(int /*controlId*/, int /*notification*/) { return false; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR HandleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId;
    HWND parent;
    NoParent noParent;
    HWND window = nullptr;
};
