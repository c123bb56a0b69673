#include "tests/host/dialog_template.h"

#include <cstring>

namespace {

class Reader {
public:
    explicit Reader(const BYTE* at) : at(at) {}
    template <typename T>
    T Next() {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    std::string Text() {  // a zero-terminated UTF-16 text of ASCII characters
        std::string text;
        while (WORD c = Next<WORD>()) text += static_cast<char>(c);
        return text;
    }
    // A name or an ordinal: 0 nothing, 0xFFFF then the ordinal, else a text.
    std::string NameOrOrdinal(int& ordinal) {
        ordinal = -1;
        const WORD first = Next<WORD>();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            ordinal = Next<WORD>();
            return {};
        }
        at -= sizeof(WORD);
        return Text();
    }
    void AlignTo4(const BYTE* base) { at += (4 - (at - base) % 4) % 4; }

private:
    const BYTE* at;
};

const char* const kSystemClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};

// A system class by its ordinal (0x80 to 0x85) or its name in any case, spelt one way.
std::string SystemClassName(int ordinal, const std::string& name) {
    if (ordinal >= 0x80 && ordinal <= 0x85) return kSystemClasses[ordinal - 0x80];
    for (const char* system : kSystemClasses)
        if (lstrcmpiA(system, name.c_str()) == 0) return system;
    return name;
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& dialog) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    const BYTE* base = resource ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource))) : nullptr;
    if (!base) return false;
    Reader read(base);
    if (read.Next<WORD>() != 1 || read.Next<WORD>() != 0xFFFF) return false;  // version, signature
    read.Next<DWORD>();  // help id
    read.Next<DWORD>();  // extended style
    dialog.style = read.Next<DWORD>();
    const WORD count = read.Next<WORD>();
    read.Next<short>();
    read.Next<short>();
    dialog.width = read.Next<short>();
    dialog.height = read.Next<short>();
    int ordinal;
    read.NameOrOrdinal(ordinal);  // menu
    read.NameOrOrdinal(ordinal);  // class
    dialog.caption = read.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = read.Next<WORD>();
        read.Next<WORD>();  // weight
        read.Next<WORD>();  // italic, character set
        dialog.typeface = read.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        read.AlignTo4(base);
        DialogItem item;
        read.Next<DWORD>();  // help id
        read.Next<DWORD>();  // extended style
        item.style = read.Next<DWORD>();
        item.x = read.Next<short>();
        item.y = read.Next<short>();
        item.width = read.Next<short>();
        item.height = read.Next<short>();
        item.id = static_cast<int>(read.Next<DWORD>());
        const std::string className = read.NameOrOrdinal(ordinal);
        item.className = SystemClassName(ordinal, className);
        item.text = read.NameOrOrdinal(ordinal);
        const WORD extra = read.Next<WORD>();
        for (WORD b = 0; b < extra; ++b) read.Next<BYTE>();
        dialog.items.push_back(item);
    }
    return true;
}
