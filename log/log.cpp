#include "log/log.h"

#include <cstdio>
#include <ctime>

namespace {

// MM/DD/YY and HH:MM:SS of the local time, as the Windows CRT's _strdate/_strtime give them.
void LocalDateAndTime(char (&date)[128], char (&time)[128]) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    std::strftime(date, sizeof date, "%m/%d/%y", &local);
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
}

}  // namespace

CLog::CLog() = default;
CLog::~CLog() = default;

void CLog::Write(int level, const char* moduleName, const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteV(level, moduleName, format, args);
    va_end(args);
}

void CLog::WriteV(int level, const char* moduleName, const char* format, va_list args) {
    if (level != kAlwaysWrittenLevel && !IsEnabled()) return;

    char message[kMaxMessageLength + 1] = {};
    const int length = std::vsnprintf(message, sizeof message, format, args);
    if (length < 0 || length > kMaxMessageLength) return;

    char date[128];
    char time[128];
    LocalDateAndTime(date, time);

    char line[1024];
    const int lineLength = std::snprintf(line, sizeof line, "%s %s %d [%25s] %s", date, time,
                                         level, moduleName, message);
    // A line that does not fit (only with an absurdly long module name) is dropped whole
    // rather than written cut.
    if (lineLength < 0 || lineLength >= static_cast<int>(sizeof line)) return;

    std::lock_guard<std::mutex> guard(lock);
    if (std::FILE* file = std::fopen(fileName.c_str(), "a")) {
        std::fputs(line, file);
        std::fflush(file);
        std::fclose(file);
    }
}

void CLog::SetFileName(const std::string& path) { fileName = path; }

void CLog::Enable(bool on) { enabled.store(on, std::memory_order_relaxed); }

std::string CLog::FileName() const { return fileName; }

#if defined(__GNUC__)
// Constructed before any other static object of the module (the application object included)
// and so destroyed after all of them.
__attribute__((init_priority(200)))
#endif
CLog theLog;
