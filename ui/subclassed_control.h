// A control of a dialog template taken over by an object: its messages go to HandleMessage
// first, everything unhandled goes on to the control's own procedure.
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
    HWND Window() const { return window; }

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return CallDefault(message, wParam, lParam);
    }
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // Called while attaching, before the first message arrives.
    virtual void PreSubclassWindow() {}
    // Called after the control's window is gone; the object may delete itself here.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND window = nullptr;
    WNDPROC original = nullptr;
};
