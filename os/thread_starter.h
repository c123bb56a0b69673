// Starting a thread. The module runs inside the simulator's process, so a thread the platform
// refuses to create (no memory, no handles left) must be a result the caller handles, never an
// exception that ends the process; and nothing a thread throws may leave it.
//
// Every thread of the module starts through a ThreadStarter. The standard one uses std::thread;
// tests pass one whose Launch refuses chosen starts as the platform would (os/sim_thread_starter.h).
#pragma once

#include <functional>
#include <thread>

class ThreadStarter {
public:
    virtual ~ThreadStarter() = default;
    // Runs body on a new thread held by `thread` (which must not hold one). False, `thread`
    // left empty, when the thread could not be created. `name` says whose thread it is in the
    // log line written when body lets an exception escape; the thread then just ends.
    bool Start(std::thread& thread, const char* name, std::function<void()> body);

protected:
    // Creates the thread that runs `run`; throws what std::thread throws when the platform
    // refuses it (std::system_error).
    virtual std::thread Launch(const char* name, std::function<void()> run);
};

// The standard starter (std::thread).
ThreadStarter& StandardThreadStarter();
