// The diagnostic log: one line per call, appended to a text file that is opened and closed
// for every line, so that every line is on disk when Write returns and a crash loses nothing.
//
// Any thread may call Write at any time. Formatting happens in buffers local to the call;
// only the file operations are serialised, so lines never mix.
#pragma once

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <string>

class CLog {
public:
    // Levels: 0 progress, 2 problem; 3 is written even while the log is disabled.
    static constexpr int kAlwaysWrittenLevel = 3;
    // A message of more characters than this is dropped, not cut.
    static constexpr int kMaxMessageLength = 499;

    CLog();
    virtual ~CLog();
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // Line format "%s %s %d [%25s] %s": date MM/DD/YY, time HH:MM:SS (local), level, module
    // name right-aligned in 25 columns (never cut), then the message, which brings its own "\n".
    void Write(int level, const char* moduleName, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 4, 5)))
#endif
        ;
    void WriteV(int level, const char* moduleName, const char* format, va_list args);

    // Set once during start-up, before other threads write.
    void SetFileName(const std::string& path);
    void Enable(bool on);

    bool IsEnabled() const { return enabled.load(std::memory_order_relaxed); }
    std::string FileName() const;

private:
    mutable std::mutex lock;  // covers the file operations only
    std::string fileName = "Tarnell.log";
    std::atomic<bool> enabled{false};
};

// The module's one log, constructed before and destroyed after every other module object.
extern CLog theLog;
