#include "os/thread_starter.h"

#include "log/log.h"

bool ThreadStarter::Start(std::thread& thread, const char* name, std::function<void()> body) {
    try {
        thread = Launch(name, [name, body = std::move(body)] {
            try {
                body();
            } catch (...) {
                // Past this point the exception would end the simulator's process.
                theLog.Write(2, "MFP", "%s thread stopped by an exception\n", name);
            }
        });
    } catch (...) {
        // std::system_error when the platform refuses the thread, std::bad_alloc for its state.
        theLog.Write(2, "MFP", "%s thread could not be started\n", name);
        return false;
    }
    return true;
}

std::thread ThreadStarter::Launch(const char*, std::function<void()> run) { return std::thread(std::move(run)); }

ThreadStarter& StandardThreadStarter() {
    static ThreadStarter starter;
    return starter;
}
