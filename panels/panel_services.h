// What the panel runtime needs from its surroundings: the simulator host's two PANELS slots, its
// windows, the keyboard, the profile functions, the user's message boxes, the path of the
// configuration file and how threads are started. The module passes the real ones; tests and the panel simulator pass the
// simulated host (os/sim_host.h), SimProfileFile and recorded messages.
#pragma once

#include <mutex>
#include <string>

#include "os/host_panels.h"
#include "os/host_windows.h"
#include "os/keyboard.h"
#include "os/profile_file.h"
#include "os/thread_starter.h"
#include "os/user_message.h"

struct PanelServices {
    HostPanels& host;
    HostWindows& windows;
    Keyboard& keyboard;
    const ProfileFile& profile;
    // Workers report corrupt data from their own threads; the panel set serialises the calls.
    UserMessages& messages;
    std::string iniPath;
    // The workers' threads and the boards' key-matrix threads start here.
    ThreadStarter& threads = StandardThreadStarter();
};

// Lets one caller at a time through to the messages it wraps.
class SerializedUserMessages : public UserMessages {
public:
    explicit SerializedUserMessages(UserMessages& inner) : inner(inner) {}
    void Show(const std::string& text, MessageIcon icon) override {
        std::lock_guard<std::mutex> guard(lock);
        inner.Show(text, icon);
    }

private:
    UserMessages& inner;
    std::mutex lock;
};
