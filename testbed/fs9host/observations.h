// Everything the stand-in host observes is printed as one line per observation on stdout,
// "<kind> <details>", so that tests and people can read it. Any thread may print.
#pragma once

#include <cstdarg>

void Observe(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
