#include "ui/setup_file_dialog.h"

#include <commdlg.h>

#include <algorithm>

namespace {

constexpr char kFilter[] = "Multi Function Panel Import|*.INI|All Files (*.*)|*.*||";
constexpr char kDefaultExtension[] = "INI";

// The filter as the dialog takes it: each "|" a terminator.
std::string FilterList() {
    std::string list(kFilter);
    std::replace(list.begin(), list.end(), '|', '\0');
    return list;
}

}  // namespace

std::string ChooseSetupFile(bool open, HWND owner, DWORD flags) {
    char startDirectory[MAX_PATH] = {};
    const DWORD startLength = GetCurrentDirectoryA(MAX_PATH, startDirectory);

    const std::string filter = FilterList();
    char path[MAX_PATH] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner : GetActiveWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = kDefaultExtension;
    dialog.Flags = flags;
    const BOOL chosen = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);

    if (startLength > 0 && startLength < MAX_PATH) SetCurrentDirectoryA(startDirectory);
    return chosen ? std::string(path) : std::string();
}
