// The arrangement the panel page makes: the configuration dialog keeps running on the main
// thread while a board's thread opens the event picker without a parent window.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "ui/fs_event_picker_dlg.h"

class PickerOnThread {
public:
    PickerOnThread();   // opens the picker on a thread of its own
    ~PickerOnThread();  // cancels a picker still open and waits for its thread
    PickerOnThread(const PickerOnThread&) = delete;
    PickerOnThread& operator=(const PickerOnThread&) = delete;

    // The picker's window once it is shown; null when it never came.
    HWND Window() const { return window; }
    HWND Control(int id) const { return GetDlgItem(window, id); }
    DWORD ThreadId() const { return threadId; }
    // Waits for the picker to close, running the calling thread's messages meanwhile; false when
    // it is still open after timeoutMs.
    bool WaitClosed(DWORD timeoutMs = 20000);

    // What DoModal returned and what the picker chose, once closed.
    INT_PTR result = -1;
    EventChoice choice;
    std::string description;

private:
    std::atomic<DWORD> threadId{0};
    std::atomic<bool> closed{false};
    std::thread thread;
    HWND window = nullptr;
};

// Runs the calling thread's pending messages.
void PumpMessages();
