// A std::mutex and a std::recursive_mutex that give their platform objects back when they are
// destroyed.
//
// With libstdc++ on winpthreads (mingw-w64's posix threads), both are initialised statically and
// have no destructor that calls pthread_mutex_destroy: winpthreads makes the real mutex at its
// first lock and an event at its first contention, and both stay for the rest of the process
// once the std:: object is gone. A lock in an object that is made and deleted again and again (a
// board, a pipe, a panel per plug or reload) must be one of these types.
#pragma once

#include <mutex>

#if defined(_WIN32) && (defined(__GTHREAD_MUTEX_INIT) || defined(__GTHREAD_RECURSIVE_MUTEX_INIT))
#include <pthread.h>
#define MFP_DESTROY_MUTEX(handle) pthread_mutex_destroy(handle)
#else
#define MFP_DESTROY_MUTEX(handle) static_cast<void>(handle)
#endif

// Neither can be copied: their std:: bases cannot.
class Mutex : public std::mutex {
public:
    ~Mutex() { MFP_DESTROY_MUTEX(native_handle()); }
};

class RecursiveMutex : public std::recursive_mutex {
public:
    ~RecursiveMutex() { MFP_DESTROY_MUTEX(native_handle()); }
};

#undef MFP_DESTROY_MUTEX
