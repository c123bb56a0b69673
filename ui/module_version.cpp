#include "ui/module_version.h"

#include <windows.h>

#include <cstdio>
#include <vector>

std::string FormatVersionText(const std::string& fileVersion) {
    std::string text;
    for (const char c : fileVersion) {
        if (c == ',') text += '.';
        else if (c != ' ') text += c;
    }
    return text;
}

std::string FileVersionText(const std::string& filePath) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(filePath.c_str(), &handle);
    if (size == 0) return "N/A";
    std::vector<char> info(size + 1);
    if (!GetFileVersionInfoA(filePath.c_str(), 0, size, info.data())) return "N/A";

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT listBytes = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &listBytes) ||
        listBytes < sizeof(Translation))
        return "N/A";

    for (UINT i = 0; i < listBytes / sizeof(Translation); ++i) {
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion",
                      translations[i].language, translations[i].codePage);
        char* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &length) && value)
            return FormatVersionText(value);
    }
    return "N/A";
}
