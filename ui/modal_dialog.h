// A modal dialog from a template in the module's own resources, on plain Win32: the few
// framework services the module's dialogs need (initialisation, colouring, OK and Cancel).
#pragma once

#include "ui/dialog_window.h"

// What a dialog made without a parent does: be owned by the calling thread's active top-level
// window (the simulator's), or stand alone, as a dialog opened on a thread that has no windows
// must: then it opens centred on the screen and in front of every window, the keyboard in it.
enum class NoParent { OwnedByActiveWindow, StandAlone };

class ModalDialog : public DialogWindow {
public:
    ModalDialog(int templateId, HWND parent, NoParent noParent = NoParent::OwnedByActiveWindow);

    // Shows the dialog and returns the id of the button that closed it (IDOK, IDCANCEL), or -1.
    INT_PTR DoModal();

protected:
    // Derived dialogs call this first.
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(Window(), IDOK); }
    void OnCancel() override { EndDialog(Window(), IDCANCEL); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int templateId;
    HWND parent;
    NoParent noParent;
};
