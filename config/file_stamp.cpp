#include "config/file_stamp.h"

#include <filesystem>
#include <system_error>

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error) return stamp;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return stamp;
    stamp.exists = true;
    stamp.writeTime = static_cast<std::int64_t>(written.time_since_epoch().count());
    stamp.size = size;
    return stamp;
}
