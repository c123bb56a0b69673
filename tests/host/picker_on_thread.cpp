#include "tests/host/picker_on_thread.h"

#include "testbed/fs9host/dialog_driver.h"

const char kPickerCaption[] = "Flight Simulator Command Selection";

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

PickerOnThread::PickerOnThread()
    : thread([this] {
          threadId = GetCurrentThreadId();
          CFSEventPickerDlg picker(nullptr);
          result = picker.DoModal();
          choice = picker.Choice();
          description = picker.Description();
          closed = true;
      }) {
    while (!threadId) Sleep(1);
    window = WaitForDialog(threadId, kPickerCaption);
}

PickerOnThread::~PickerOnThread() {
    if (!closed) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    WaitClosed();
    thread.join();
}

bool PickerOnThread::WaitClosed(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!closed && GetTickCount() - start < timeoutMs) {
        PumpMessages();
        Sleep(10);
    }
    return closed;
}
