#include "testbed/fs9host/dialog_driver.h"

#include <commctrl.h>

namespace {

struct Search {
    const std::string& caption;
    HWND except;
    HWND found;
};

bool OfThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

bool IsClass(HWND window, const char* name) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    // EnumWindows lists the whole desktop, other programs' windows too.
    if (window == search.except || !OfThisProcess(window) || !IsWindowVisible(window) || !IsClass(window, "#32770"))
        return TRUE;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (text != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND WaitForDialog(DWORD threadId, const std::string& caption, HWND except, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        Search search{caption, except, nullptr};
        if (threadId) EnumThreadWindows(threadId, &FindDialog, reinterpret_cast<LPARAM>(&search));
        else EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

namespace {

struct Descendant {
    int id;
    const char* className;  // when null, the id is sought
    HWND found;
};

BOOL CALLBACK FindDescendant(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<Descendant*>(lParam);
    const bool wanted = search.className ? IsClass(window, search.className) : GetDlgCtrlID(window) == search.id;
    if (wanted && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindControl(HWND dialog, int id) {
    if (HWND own = GetDlgItem(dialog, id)) return own;
    Descendant search{id, nullptr, nullptr};
    EnumChildWindows(dialog, &FindDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindVisibleDescendant(HWND window, const char* className) {
    Descendant search{0, className, nullptr};
    EnumChildWindows(window, &FindDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ChooseComboItem(HWND dialog, int comboId, const std::string& text) {
    HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) return false;
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

bool ChooseListItem(HWND dialog, int listId, const std::string& text) {
    HWND list = GetDlgItem(dialog, listId);
    const LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR) return false;
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return true;
}

void TypeCharacter(HWND edit, char character) {
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(character), 1);
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

void PostClick(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void DoubleClickListItem(HWND list, int index) {
    SendMessageA(list, LB_SETTOPINDEX, index, 0);  // in view, as a user scrolls to it first
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
}

std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        text.resize(static_cast<size_t>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> TabTexts(HWND tab, int& active) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        // The control may point pszText at its own copy instead of filling ours.
        SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        texts.push_back(item.pszText ? item.pszText : "");
    }
    active = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    return texts;
}

std::vector<std::vector<std::string>> ListViewRows(HWND list) {
    const int columns = static_cast<int>(SendMessageA(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::vector<std::string>> rows(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < columns; ++column) {
            char text[512] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            rows[static_cast<size_t>(row)].push_back(text);
        }
    }
    return rows;
}

void ChooseInFileDialog(HWND fileDialog, const std::string& path) {
    // The file name field: an edit (edt1) or a combo box with one (cmb13), by dialog style.
    HWND field = GetDlgItem(fileDialog, 0x480);
    if (!field) field = GetDlgItem(fileDialog, 0x47C);
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
}
