#include "ui/subclassed_control.h"

#include "log/log.h"
#include "os/win32/module_instance.h"

#include <string>

namespace {
const char kOwnerProperty[] = "TarnellSubclassedControl";

// A private copy of a system class with our procedure: its windows reach the object from their
// first message on. Plain superclassing rather than a creation hook: no thread-wide state, and
// the system class keeps doing all the work (the copy keeps its extra window bytes).
// Gives the system class's own procedure, for everything the object leaves to the control.
bool RegisterSuperclass(const char* systemClass, const std::string& name, WNDPROC procedure,
                        WNDPROC& systemProcedure) {
    WNDCLASSEXA system{};
    system.cbSize = sizeof system;
    if (!GetClassInfoExA(nullptr, systemClass, &system)) return false;
    systemProcedure = system.lpfnWndProc;
    WNDCLASSEXA registered = system;
    if (GetClassInfoExA(ModuleInstance(), name.c_str(), &registered)) return true;  // done before
    WNDCLASSEXA own = system;
    own.style &= ~CS_GLOBALCLASS;  // private to this module
    own.lpfnWndProc = procedure;
    own.hInstance = ModuleInstance();
    own.lpszClassName = name.c_str();
    return RegisterClassExA(&own) != 0;
}
}  // namespace

SubclassedControl::~SubclassedControl() { Detach(); }

bool SubclassedControl::Subclass(HWND control) {
    if (window || !control) return false;
    Attach(control);
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    return true;
}

bool SubclassedControl::CreateControl(const char* systemClass, DWORD style, const RECT& rect, HWND parent, int id) {
    const std::string superclass = std::string("Tarnell") + systemClass;
    if (window || !RegisterSuperclass(systemClass, superclass, &WindowProc, original)) return false;
    // WindowProc attaches the window on WM_NCCREATE, from the creation parameter. Nothing of
    // the object is touched after a failed creation: a self-deleting one is gone by then.
    return CreateWindowExA(0, superclass.c_str(), "", style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ModuleInstance(), this) != nullptr;
}

void SubclassedControl::Attach(HWND control) {
    window = control;
    SetPropA(control, kOwnerProperty, this);
    PreSubclassWindow();
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
    if (!control && message == WM_NCCREATE) {  // a control made by CreateControl
        control = static_cast<SubclassedControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        control->Attach(window);
    }
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    if (message != WM_NCDESTROY) {
        // Nothing thrown may unwind into the window manager's frames.
        try {
            return control->HandleMessage(message, wParam, lParam);
        } catch (...) {
            theLog.Write(2, "MFP", "Control message 0x%X stopped by an exception\n", message);
            return control->CallDefault(message, wParam, lParam);
        }
    }

    const WNDPROC original = control->original;
    control->Detach();
    const LRESULT result = CallWindowProcA(original, window, message, wParam, lParam);
    control->PostNcDestroy();
    return result;
}
