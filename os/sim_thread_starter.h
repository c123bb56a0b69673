// A thread starter that refuses the starts it is told to, as a platform out of threads would:
// for the tests of what the module does when a thread cannot be created.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "os/thread_starter.h"

class SimThreadStarter : public ThreadStarter {
public:
    // Refuses the n-th start (1-based) of the threads of this name ("Reader", "Key matrix",
    // "Worker", "Update"); repeatable.
    void Refuse(const std::string& name, int n);
    // Starts of threads of this name asked for so far, refused ones included.
    int Starts(const std::string& name) const;

protected:
    // A refused start throws as std::thread does when the platform refuses a thread.
    std::thread Launch(const char* name, std::function<void()> run) override;

private:
    mutable std::mutex lock;
    std::set<std::pair<std::string, int>> refused;
    std::map<std::string, int> starts;
};
