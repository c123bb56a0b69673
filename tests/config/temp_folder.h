// A folder of its own for one test, removed with everything in it at the end.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder() {
        static int count = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder = std::filesystem::temp_directory_path() /
                 ("mfp_config_test_" + std::to_string(stamp) + "_" + std::to_string(++count));
        std::filesystem::create_directories(folder);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = Path(name);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }

    static std::string Read(const std::string& path) {
        std::string bytes;
        if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
            char chunk[4096];
            std::size_t count;
            while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, count);
            std::fclose(file);
        }
        return bytes;
    }

private:
    std::filesystem::path folder;
};
