// Any bytes as a configuration file: the JSON report of mfp check is always valid JSON in valid
// UTF-8, whatever the file held, read back here with a strict parser of our own.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/mfp/check_report.h"

namespace {

// A strict reader of JSON text (RFC 8259) that only says whether the text is valid.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text(text) {}
    bool Valid() { return Value(0) && (Blank(), at == text.size()); }

private:
    bool Value(int depth) {
        Blank();
        if (depth > 64 || at >= text.size()) return false;
        switch (text[at]) {
            case '{': return Members(depth);
            case '[': return Elements(depth);
            case '"': return String();
            case 't': return Word("true");
            case 'f': return Word("false");
            case 'n': return Word("null");
            default: return Number();
        }
    }
    bool Members(int depth) {
        ++at;
        if (Blank(), Take('}')) return true;
        do {
            if (Blank(), !String()) return false;
            if (Blank(), !Take(':')) return false;
            if (!Value(depth + 1)) return false;
        } while (Blank(), Take(','));
        return Take('}');
    }
    bool Elements(int depth) {
        ++at;
        if (Blank(), Take(']')) return true;
        do {
            if (!Value(depth + 1)) return false;
        } while (Blank(), Take(','));
        return Take(']');
    }
    bool String() {
        if (!Take('"')) return false;
        while (at < text.size()) {
            const auto c = static_cast<unsigned char>(text[at++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c == '\\') {
                if (at >= text.size()) return false;
                const char escaped = text[at++];
                if (escaped == 'u') {
                    for (int i = 0; i < 4; ++i)
                        if (at >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[at++]))) return false;
                } else if (std::string_view("\"\\/bfnrt").find(escaped) == std::string_view::npos) {
                    return false;
                }
            } else if (c >= 0x80 && !Utf8Tail(c)) {
                return false;
            }
        }
        return false;
    }
    // The rest of a UTF-8 sequence whose first byte was lead: well-formed, shortest form, no
    // surrogates, at most U+10FFFF.
    bool Utf8Tail(unsigned char lead) {
        int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        if (lead < 0xC2 || lead > 0xF4) return false;
        uint32_t code = lead & (0x3F >> more);
        for (int i = 0; i < more; ++i) {
            if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return false;
            code = code << 6 | (static_cast<unsigned char>(text[at++]) & 0x3F);
        }
        const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        return code >= least[more] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    }
    bool Number() {
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits()) return false;
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            if (!Digits()) return false;
        }
        return true;
    }
    bool Digits() {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at > start;
    }
    bool Word(std::string_view word) {
        if (text.substr(at, word.size()) != word) return false;
        at += word.size();
        return true;
    }
    bool Take(char c) {
        if (at >= text.size() || text[at] != c) return false;
        ++at;
        return true;
    }
    void Blank() {
        while (at < text.size() && std::string_view(" \t\r\n").find(text[at]) != std::string_view::npos) ++at;
    }

    std::string_view text;
    std::size_t at = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const ProfileText profile(std::string(reinterpret_cast<const char*>(data), size));
    const std::string json = CheckJson(CheckConfiguration(profile, "fuzz.ini", nullptr));
    if (!JsonReader(json).Valid()) std::abort();
    // A named section that may not exist, with what the file holds elsewhere.
    const std::string section(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
    if (!JsonReader(CheckJson(CheckConfiguration(profile, "fuzz.ini", &section))).Valid()) std::abort();
    return 0;
}
