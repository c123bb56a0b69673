// Watches one thread for modal dialogs and message boxes, prints each one's caption and texts,
// and presses its OK button, so that a scenario runs to its end without a person.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

class DialogCloser {
public:
    // holdMilliseconds: how long a dialog stays open after it was printed (for screenshots).
    DialogCloser(DWORD watchedThread, DWORD holdMilliseconds);
    ~DialogCloser();  // stops and joins the watcher
    DialogCloser(const DialogCloser&) = delete;
    DialogCloser& operator=(const DialogCloser&) = delete;

    // While held off the dialogs are someone else's (a scripted user's); afterwards any still
    // open is closed as usual.
    void HoldOff(bool held) { this->held = held; }

private:
    void Watch();

    DWORD watchedThread;
    DWORD holdMilliseconds;
    std::atomic<bool> stop{false};
    std::atomic<bool> held{false};
    std::thread watcher;
};
