#include "os/profile_file.h"

#include <windows.h>

#include <vector>

namespace {

class Win32ProfileFile : public ProfileFile {
public:
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize,
                          const std::string& path) const override {
        if (bufferSize == 0) return {};
        std::vector<char> buffer(bufferSize, '\0');
        const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                      buffer.data(), static_cast<DWORD>(bufferSize), path.c_str());
        return std::string(buffer.data(), length);
    }

    uint32_t GetInt(const std::string& section, const std::string& key, int32_t defaultValue,
                    const std::string& path) const override {
        return GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str());
    }

    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) const override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
    }
};

}  // namespace

const ProfileFile& PlatformProfileFile() {
    static const Win32ProfileFile profile;
    return profile;
}
