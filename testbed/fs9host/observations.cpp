#include "testbed/fs9host/observations.h"

#include <cstdio>
#include <mutex>

void Observe(const char* format, ...) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}
