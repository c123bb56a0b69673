#include "ui/modal_dialog.h"

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
                           reinterpret_cast<LPARAM>(static_cast<DialogWindow*>(this)));
}

BOOL ModalDialog::OnInitDialog() {
    if (!parent && noParent == NoParent::StandAlone) {
        CentreOnScreen(Window());
        PostMessageA(Window(), kComeToFront, 0, 0);
    }
    return TRUE;
}

bool ModalDialog::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message != kComeToFront) return false;
    BringToFront(Window());
    return true;
}
