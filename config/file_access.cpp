#include "config/file_access.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

bool IsReadableFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    // A folder opens on some systems and fails at the first read.
    const bool readable = std::fgetc(file) != EOF || !std::ferror(file);
    std::fclose(file);
    return readable;
}

std::string BackupPath(const std::string& path) { return path + ".bak"; }

bool BackUpFile(const std::string& path, std::string& problem) {
    // C streams: they report a folder or a read error as a result, never by throwing.
    std::string bytes;
    std::FILE* source = std::fopen(path.c_str(), "rb");
    bool read = source != nullptr;
    if (source) {
        char chunk[4096];
        std::size_t count;
        while ((count = std::fread(chunk, 1, sizeof chunk, source)) > 0) bytes.append(chunk, count);
        read = !std::ferror(source);
        std::fclose(source);
    }
    if (!read) {
        problem = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string copyPath = BackupPath(path);
    const std::string newCopyPath = copyPath + ".new";
    std::FILE* copy = std::fopen(newCopyPath.c_str(), "wb");
    bool written = copy && std::fwrite(bytes.data(), 1, bytes.size(), copy) == bytes.size();
    if (copy) written = std::fclose(copy) == 0 && written;
    if (!written) {
        problem = "cannot write " + newCopyPath + ": " + std::strerror(errno);
        std::remove(newCopyPath.c_str());
        return false;
    }
    std::error_code error;
    std::filesystem::rename(newCopyPath, copyPath, error);  // replaces the old copy in one step
    if (error) {
        problem = "cannot replace " + copyPath + ": " + error.message();
        std::remove(newCopyPath.c_str());
        return false;
    }
    return true;
}
