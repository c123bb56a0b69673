#include "os/sim_thread_starter.h"

void SimThreadStarter::Refuse(const std::string& name, int n) {
    std::lock_guard<std::mutex> hold(lock);
    refused.insert({name, n});
}

int SimThreadStarter::Starts(const std::string& name) const {
    std::lock_guard<std::mutex> hold(lock);
    const auto found = starts.find(name);
    return found == starts.end() ? 0 : found->second;
}

bool SimThreadStarter::Start(std::thread& thread, const char* name, std::function<void()> body) {
    {
        std::lock_guard<std::mutex> hold(lock);
        const int n = ++starts[name];
        if (refused.count({name, n}) != 0) return false;
    }
    return ThreadStarter::Start(thread, name, std::move(body));
}
