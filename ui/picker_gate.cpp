#include "ui/picker_gate.h"

bool PickerGate::Enter(HWND picker) {
    std::lock_guard<std::mutex> hold(lock);
    if (!closed) open = picker;
    return !closed;
}

void PickerGate::Leave() {
    std::lock_guard<std::mutex> hold(lock);
    open = nullptr;
}

void PickerGate::Close() {
    std::lock_guard<std::mutex> hold(lock);
    closed = true;
    // Posted: the picker's thread may be waiting for this one.
    if (open) PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool PickerGate::IsClosed() const {
    std::lock_guard<std::mutex> hold(lock);
    return closed;
}
