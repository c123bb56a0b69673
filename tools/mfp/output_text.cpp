#include "tools/mfp/output_text.h"

#include <cstdio>

#include "catalogue/code_page_1252.h"

namespace {

// C0 controls, DEL, and the five bytes the code page leaves unassigned (they become C1
// controls).
bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

}  // namespace

std::string JsonString(std::string_view cp1252) {
    std::string out = "\"";
    for (const char c : Cp1252ToUtf8(cp1252)) {
        const char* shortEscape = c == '\b' ? "\\b" : c == '\f' ? "\\f" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : nullptr;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (shortEscape) {
            out += shortEscape;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string TerminalText(std::string_view cp1252) {
    std::string shown;
    for (const char c : cp1252) {
        if (IsControl(static_cast<unsigned char>(c))) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            shown += escaped;
        } else {
            shown += Cp1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return shown;
}

std::string UserText(std::string_view text) {
    return TerminalText(Utf8ToCp1252(text).value_or(std::string(text)));
}
