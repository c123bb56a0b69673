// A std::recursive_mutex that gives its platform object back when it is destroyed.
//
// With libstdc++ on winpthreads (mingw-w64's posix threads), std::recursive_mutex is
// initialised statically and has no destructor that calls pthread_mutex_destroy: winpthreads
// makes the real mutex at its first lock and an event at its first contention, and both stay
// for the rest of the process once the std::recursive_mutex is gone. A lock in an object that is
// made and deleted again and again (a board per plug) must be this type.
#pragma once

#include <mutex>

#if defined(_WIN32) && defined(__GTHREAD_RECURSIVE_MUTEX_INIT)
#include <pthread.h>
#endif

class RecursiveMutex : public std::recursive_mutex {
public:
    RecursiveMutex() = default;
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;
    ~RecursiveMutex() {
#if defined(_WIN32) && defined(__GTHREAD_RECURSIVE_MUTEX_INIT)
        pthread_mutex_destroy(native_handle());
#endif
    }
};
