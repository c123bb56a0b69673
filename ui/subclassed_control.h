// A control of a dialog template taken over by an object, or one the object creates itself: its
// messages go to HandleMessage first, everything unhandled goes on to the control's own procedure.
#pragma once

#include <windows.h>

class SubclassedControl {
public:
    SubclassedControl() = default;
    virtual ~SubclassedControl();
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    // Attaches to an existing control; false when already attached or the control is null.
    bool Subclass(HWND control);
    // Creates a child control of the system class systemClass (e.g. "STATIC") attached from its
    // very first message, so the object also handles the control's creation (WM_CREATE) that a
    // subclassed control has already been through. False when already attached or when the
    // creation failed (any window it made is destroyed by then, and PostNcDestroy has run).
    bool CreateControl(const char* systemClass, DWORD style, const RECT& rect, HWND parent, int id);
    HWND Window() const { return window; }

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return CallDefault(message, wParam, lParam);
    }
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // Called while attaching, before the first message reaches HandleMessage (for a created
    // control: as its creation begins, with its id already set).
    virtual void PreSubclassWindow() {}
    // Called after the control's window is gone; the object may delete itself here.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND control);
    void Detach();

    HWND window = nullptr;
    WNDPROC original = nullptr;
};
