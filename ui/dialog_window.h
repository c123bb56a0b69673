// A dialog window made from a template in the module's own resources, on plain Win32: the
// dispatch of its messages to virtual handlers. ModalDialog shows one modally; CPropertyPage
// and CPropertySheet make modeless child dialogs of one.
#pragma once

#include <windows.h>

#include <vector>

// Sent by a dialog to a static control it is about to colour, so that a control that colours
// itself (a link) can select its font and colours; the control returns its brush or 0.
constexpr UINT kReflectedCtlColorStatic = 0xBC00 + WM_CTLCOLORSTATIC;

class DialogWindow {
public:
    DialogWindow() = default;
    virtual ~DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND Window() const { return window; }

protected:
    // Returns TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // The brush for a control (or, for WM_CTLCOLORDLG, the dialog) about to be painted; the
    // default lets a self-colouring static colour itself.
    virtual HBRUSH OnCtlColor(UINT message, HDC dc, HWND control);
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // A command of a control other than OK and Cancel (WM_COMMAND); true when handled.
    virtual bool OnCommand(int /*controlId*/, int /*notification*/) { return false; }
    // Any other message; true when handled.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }

    // The procedure to make the dialog with; the creation parameter is the DialogWindow.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the dialog a modeless window of parent from the template, with the template's own
    // window styles replaced by style and exStyle (its font stays): a child made from a
    // template written for a window of its own. False when the template or window could not be
    // made.
    bool CreateModeless(int templateId, HWND parent, DWORD style, DWORD exStyle);
    // The size the template gives its dialog, in dialog units; (0, 0) without the template.
    static SIZE TemplateSize(int templateId);

private:
    // A writable copy of the template; empty when the module holds none of that id.
    static std::vector<DWORD> TemplateCopy(int templateId);
    static INT_PTR HandleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
};
