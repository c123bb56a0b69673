// Character classes of formula text. ASCII only and independent of the C locale, which the
// host process may have changed.
#pragma once

inline bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

inline char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The characters that end a word: after "pi" or "e", and in a quoted syntax error.
inline bool EndsWord(char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '%' || c == ',' || c == ')';
}
