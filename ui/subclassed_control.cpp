#include "ui/subclassed_control.h"

namespace {
const char kOwnerProperty[] = "TarnellSubclassedControl";
}

SubclassedControl::~SubclassedControl() { Detach(); }

bool SubclassedControl::Subclass(HWND control) {
    if (window || !control) return false;
    window = control;
    SetPropA(control, kOwnerProperty, this);
    PreSubclassWindow();
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    return true;
}

void SubclassedControl::Detach() {
    if (!window) return;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(window, kOwnerProperty);
    window = nullptr;
}

LRESULT SubclassedControl::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* control = static_cast<SubclassedControl*>(GetPropA(window, kOwnerProperty));
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    if (message != WM_NCDESTROY) return control->HandleMessage(message, wParam, lParam);

    const WNDPROC original = control->original;
    control->Detach();
    const LRESULT result = CallWindowProcA(original, window, message, wParam, lParam);
    control->PostNcDestroy();
    return result;
}
