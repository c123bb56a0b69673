#include "os/sim_thread_starter.h"

#include <system_error>

void SimThreadStarter::Refuse(const std::string& name, int n) {
    std::lock_guard<std::mutex> hold(lock);
    refused.insert({name, n});
}

int SimThreadStarter::Starts(const std::string& name) const {
    std::lock_guard<std::mutex> hold(lock);
    const auto found = starts.find(name);
    return found == starts.end() ? 0 : found->second;
}

std::thread SimThreadStarter::Launch(const char* name, std::function<void()> run) {
    {
        std::lock_guard<std::mutex> hold(lock);
        const int n = ++starts[name];
        if (refused.count({name, n}) != 0)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    return ThreadStarter::Launch(name, std::move(run));
}
