// The event pickers that the configuration dialog's pages open on their boards' threads: one at
// a time, and none left open once the dialog closes. Closing the dialog waits for every board's
// thread, and a thread showing a picker would keep it waiting for as long as the picker stays.
#pragma once

#include <windows.h>

#include <mutex>

class PickerGate {
public:
    // Held by a page while its picker is open: two boards that report a switch at once get
    // their pickers one after the other.
    std::unique_lock<std::mutex> TakeTurn() { return std::unique_lock<std::mutex>(turn); }
    // The picker's window is up. False once the dialog is closing: the picker must end at once.
    bool Enter(HWND picker);
    // The picker's window is going.
    void Leave();
    // The dialog is closing: an open picker is cancelled and no other one opens from now on.
    void Close();
    bool IsClosed() const;

private:
    std::mutex turn;
    mutable std::mutex lock;
    HWND open = nullptr;
    bool closed = false;
};
