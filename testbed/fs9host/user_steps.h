// The scripted user: steps "user:..." played on a thread of their own while the host thread
// sits in the modal loop of the step before them, acting on the module's dialogs with the
// messages a person's actions send.
#pragma once

#include "testbed/fs9host/scenario.h"

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

class DialogCloser;

bool IsUserStep(const Step& step);

class UserScript {
public:
    // Starts playing at once, with the closer held off until the script ends. main: the
    // simulator's window, which the board steps notify.
    UserScript(std::vector<Step> steps, HWND main, DialogCloser& closer);
    ~UserScript();  // joins
    UserScript(const UserScript&) = delete;
    UserScript& operator=(const UserScript&) = delete;

    // Waits for the script's end while dispatching the calling thread's messages: the user
    // may still be sending them to the host's windows.
    void Finish();

private:
    void Play();

    std::vector<Step> steps;
    HWND main;
    DialogCloser& closer;
    std::atomic<bool> done{false};
    std::thread player;
};
