#include "tests/host/dialog_template.h"

#include <cstring>

namespace {

struct Reader {
    const BYTE* base;
    const BYTE* at;
    template <typename T>
    T Next() {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    // A zero-terminated text, or 0xFFFF and a number (written "#number"), or nothing.
    std::string Text() {
        std::string text;
        if (Next<WORD>() == 0xFFFF) return "#" + std::to_string(Next<WORD>());
        at -= sizeof(WORD);
        while (WORD c = Next<WORD>()) text += static_cast<char>(c);
        return text;
    }
};

}  // namespace

bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& dialog) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    const auto* base = resource ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource))) : nullptr;
    if (!base) return false;
    Reader read{base, base};
    if (read.Next<DWORD>() != 0xFFFF0001) return false;  // version 1, extended signature
    read.at += 8;  // help id, extended style
    dialog.style = read.Next<DWORD>();
    const WORD count = read.Next<WORD>();
    read.at += 4;  // x, y
    dialog.width = read.Next<short>();
    dialog.height = read.Next<short>();
    read.Text();  // menu
    read.Text();  // class
    dialog.caption = read.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = read.Next<WORD>();
        read.at += 4;  // weight, italic, character set
        dialog.typeface = read.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        read.at += (4 - (read.at - base) % 4) % 4;  // items start on a DWORD
        read.at += 8;  // help id, extended style
        DialogItem item;
        item.style = read.Next<DWORD>();
        item.x = read.Next<short>();
        item.y = read.Next<short>();
        item.width = read.Next<short>();
        item.height = read.Next<short>();
        item.id = static_cast<int>(read.Next<DWORD>());
        item.className = read.Text();
        item.text = read.Text();
        read.at += read.Next<WORD>();  // creation data
        dialog.items.push_back(item);
    }
    return true;
}
