#include "ui/file_problem.h"

#include <cstring>

namespace {
const char kCaption[] = "Tarnell Multi Function Panel";
}  // namespace

void ShowFileProblem(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

bool AskYesNo(HWND owner, const std::string& question) {
    return MessageBoxA(owner, question.c_str(), kCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

std::string WriteProblem(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return "the file is read-only";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return std::string();
    }
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                   sizeof text, nullptr);
    std::string reason = text;
    while (!reason.empty() && std::strchr(".\r\n ", reason.back())) reason.pop_back();
    return reason;
}
