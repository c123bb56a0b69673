// Our own profile-file reading and writing, following the platform's rules line for line:
// a line ends at the first CR or LF; blanks (tab to CR, ^Z and space) around a line, a name
// or a value do not count; "[name]" runs to the last "]" of its line; a key line without "="
// is a key without a value, which hides later keys of the same name; keys before the first
// section header belong to a section with an empty name.
#include "os/profile_file.h"
#include "os/same_name.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <map>

namespace {

constexpr std::size_t kNone = std::string::npos;

bool IsProfileBlank(char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' '; }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Narrows [first, last) of the text to its part without blanks at either end.
void TrimRange(const std::string& text, std::size_t& first, std::size_t& last) {
    while (first < last && IsProfileBlank(text[first])) ++first;
    while (last > first && IsProfileBlank(text[last - 1])) --last;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0, last = text.size();
    TrimRange(text, first, last);
    return text.substr(first, last - first);
}

// One line of the file that is not blank, with byte offsets into the file text.
struct ProfileLine {
    std::size_t end = 0;         // end of the line's text, before its line break
    bool isSection = false;
    std::string name;            // section or key name, trimmed
    bool hasValue = false;       // a key line with "="
    std::size_t valueBegin = 0;  // the value's bytes, trimmed, for key lines with "="
    std::size_t valueEnd = 0;
    std::size_t nameEnd = 0;     // end of the trimmed name of a key line
};

// Section names with ASCII letters folded as SameName folds them.
std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

struct Profile {
    std::string text;
    std::size_t bodyBegin = 0;  // after a UTF-8 byte order mark
    std::vector<ProfileLine> lines;
    // Folded section name -> its first header's line, so that a lookup does not scan the file.
    std::map<std::string, std::size_t> headers;

    std::string Value(const ProfileLine& line) const {
        return text.substr(line.valueBegin, line.valueEnd - line.valueBegin);
    }
};

ProfileLine ParseLine(const std::string& text, std::size_t begin, std::size_t end) {
    ProfileLine line;
    line.end = end;
    std::size_t first = begin, last = end;
    TrimRange(text, first, last);
    if (text[first] == '[') {
        const std::size_t close = text.rfind(']', last - 1);
        if (close != kNone && close > first) {
            line.isSection = true;
            line.name = Trim(text.substr(first + 1, close - first - 1));
            return line;
        }
    }
    const std::size_t equals = std::min(text.find('=', first), last);
    std::size_t nameBegin = first, nameEnd = equals;
    TrimRange(text, nameBegin, nameEnd);
    line.name = text.substr(nameBegin, nameEnd - nameBegin);
    line.nameEnd = nameEnd;
    if (equals < last) {
        line.hasValue = true;
        line.valueBegin = equals + 1;
        line.valueEnd = last;
        TrimRange(text, line.valueBegin, line.valueEnd);
    }
    return line;
}

Profile ParseProfile(std::string text) {
    Profile profile;
    profile.text = std::move(text);
    const std::string& t = profile.text;
    if (t.compare(0, 3, "\xEF\xBB\xBF") == 0) profile.bodyBegin = 3;
    std::size_t pos = profile.bodyBegin;
    while (pos < t.size()) {
        const std::size_t begin = pos;
        while (pos < t.size() && !IsLineBreak(t[pos])) ++pos;
        const std::size_t end = pos;
        while (pos < t.size() && IsLineBreak(t[pos])) ++pos;
        std::size_t first = begin, last = end;
        TrimRange(t, first, last);
        if (first < last) profile.lines.push_back(ParseLine(t, begin, end));
        if (first < last && profile.lines.back().isSection)
            profile.headers.emplace(Folded(profile.lines.back().name), profile.lines.size() - 1);
    }
    return profile;
}

enum class FileState { Read, Missing, Unreadable };

// A missing file in an existing folder reads as an empty file; one that cannot be opened for
// another reason (a missing folder among them) is unreadable, as for the platform.
FileState LoadFile(const std::string& path, std::string& text) {
    text.clear();
    errno = 0;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t count;
        while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, count);
        const bool failed = std::ferror(file) != 0;
        std::fclose(file);
        return failed ? FileState::Unreadable : FileState::Read;
    }
    if (errno != ENOENT) return FileState::Unreadable;
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == kNone) return FileState::Missing;
    // A folder opens for reading on POSIX systems and fails with EACCES on Windows; a missing
    // folder fails with ENOENT on both.
    errno = 0;
    std::FILE* folder = std::fopen((path.substr(0, slash + 1) + ".").c_str(), "rb");
    const bool folderExists = folder != nullptr || errno != ENOENT;
    if (folder) std::fclose(folder);
    return folderExists ? FileState::Missing : FileState::Unreadable;
}

// The lines of one section: [first, last) indices into profile.lines; the first section
// with the name wins. For a missing section first == kNone.
struct SectionRange {
    std::size_t header = kNone;  // index of the header line; kNone for the nameless section
    std::size_t first = kNone;
    std::size_t last = kNone;
};

SectionRange FindSection(const Profile& profile, const std::string& name) {
    const std::vector<ProfileLine>& lines = profile.lines;
    if (name.empty()) {
        // Keys before the first header form a nameless section that is always found first.
        std::size_t end = 0;
        while (end < lines.size() && !lines[end].isSection) ++end;
        return {kNone, 0, end};
    }
    const auto header = profile.headers.find(Folded(name));
    if (header == profile.headers.end()) return {};
    const std::size_t index = header->second;
    std::size_t end = index + 1;
    while (end < lines.size() && !lines[end].isSection) ++end;
    return {index, index + 1, end};
}

std::size_t FindKey(const Profile& profile, const SectionRange& section, const std::string& key) {
    if (section.first == kNone) return kNone;
    for (std::size_t i = section.first; i < section.last; ++i) {
        if (SameName(profile.lines[i].name, key)) return i;
    }
    return kNone;
}

// The value as the platform copies it into a buffer of bufferSize characters: a value in
// matching quotes loses them, and the closing quote is removed from the copied text only when
// the buffer was large enough to hold it, else the copy's last character goes instead.
std::string CopyEntry(const std::string& value, std::size_t bufferSize) {
    std::string text = value;
    const bool quoted = text.size() >= 2 && (text[0] == '\'' || text[0] == '"') && text.back() == text[0];
    if (quoted) text.erase(0, 1);
    std::string copy = text.substr(0, bufferSize - 1);
    if (quoted && bufferSize >= text.size() && !copy.empty()) copy.pop_back();
    return copy;
}

// The platform ignores trailing spaces of a default, keeping at least its first character.
std::string StripDefault(std::string value) {
    while (value.size() > 1 && value.back() == ' ') value.pop_back();
    return value;
}

// Reads a number as the platform does: blanks and control characters skipped, a sign, a base
// prefix (lower case only), digits of that base; the result wraps around at 32 bits.
uint32_t ReadProfileNumber(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    uint32_t base = 10;
    if (pos + 1 < text.size() && text[pos] == '0') {
        const char prefix = text[pos + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) pos += 2;
    }
    uint32_t total = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'Z') digit = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z') digit = static_cast<uint32_t>(c - 'a' + 10);
        else break;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

// GetInt of either class: the platform reads the value into a buffer of 30 characters first.
uint32_t ReadProfileInt(const ProfileFile& file, const std::string& section, const std::string& key,
                        int32_t defaultValue, const std::string& path) {
    const std::string text = file.GetString(section, key, "", 30, path);
    return text.empty() ? static_cast<uint32_t>(defaultValue) : ReadProfileNumber(text);
}

// The line end this file already uses, so that added lines match their neighbours.
std::string LineEndOf(const std::string& text) {
    const std::size_t lf = text.find('\n');
    if (lf != kNone) return lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
    return text.find('\r') != kNone ? "\r" : "\r\n";
}

// Offset just after the line break that ends the line whose text ends at `end`, or kNone
// when that line is the last one and has no line break.
std::size_t AfterLineBreak(const std::string& text, std::size_t end) {
    if (end >= text.size()) return kNone;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') return end + 2;
    return end + 1;
}

bool StoreFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::string SimProfileFile::GetString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue, std::size_t bufferSize,
                                      const std::string& path) const {
    std::string text;
    if (bufferSize > 0 && LoadFile(path, text) == FileState::Unreadable)
        return StripDefault(defaultValue).substr(0, bufferSize - 1);
    return ProfileText(std::move(text)).GetString(section, key, defaultValue, bufferSize, path);
}

uint32_t SimProfileFile::GetInt(const std::string& section, const std::string& key,
                                int32_t defaultValue, const std::string& path) const {
    return ReadProfileInt(*this, section, key, defaultValue, path);
}

bool SimProfileFile::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value, const std::string& path) const {
    std::string text;
    if (LoadFile(path, text) == FileState::Unreadable) return false;
    Profile profile = ParseProfile(std::move(text));
    std::string& file = profile.text;
    const std::string lineEnd = LineEndOf(file);
    const std::string sectionName = Trim(section), keyName = Trim(key);
    // Like the platform, leading blanks of the value are not written.
    std::size_t valueBegin = 0;
    while (valueBegin < value.size() && IsProfileBlank(value[valueBegin])) ++valueBegin;
    const std::string newValue = value.substr(valueBegin);

    const SectionRange range = FindSection(profile, sectionName);
    const std::size_t index = FindKey(profile, range, keyName);
    if (index != kNone) {
        const ProfileLine& line = profile.lines[index];
        if (line.hasValue) {
            if (profile.Value(line) == newValue) return true;
            file.replace(line.valueBegin, line.valueEnd - line.valueBegin, newValue);
        } else {
            file.insert(line.nameEnd, "=" + newValue);
        }
    } else if (range.first != kNone) {
        // After the section's last line that is not blank, so blank lines that separate it
        // from the next section stay where they are.
        const std::size_t lastLine = range.last > range.first ? range.last - 1 : range.header;
        std::size_t at = profile.bodyBegin;
        if (lastLine != kNone) {
            at = AfterLineBreak(file, profile.lines[lastLine].end);
            if (at == kNone) {
                file += lineEnd;
                at = file.size();
            }
        }
        file.insert(at, keyName + "=" + newValue + lineEnd);
    } else {
        if (file.size() > profile.bodyBegin && !IsLineBreak(file.back())) file += lineEnd;
        file += "[" + sectionName + "]" + lineEnd + keyName + "=" + newValue + lineEnd;
    }
    return StoreFile(path, file);
}

struct ProfileText::Parsed {
    Profile profile;
};

ProfileText::ProfileText(std::string text) : parsed(new Parsed{ParseProfile(std::move(text))}) {}

ProfileText::~ProfileText() = default;

std::string ProfileText::GetString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue, std::size_t bufferSize,
                                   const std::string&) const {
    if (bufferSize == 0) return {};
    const Profile& profile = parsed->profile;
    const std::size_t line = FindKey(profile, FindSection(profile, Trim(section)), Trim(key));
    if (line != kNone && profile.lines[line].hasValue) return CopyEntry(profile.Value(profile.lines[line]), bufferSize);
    return CopyEntry(StripDefault(defaultValue), bufferSize);
}

uint32_t ProfileText::GetInt(const std::string& section, const std::string& key, int32_t defaultValue,
                             const std::string& path) const {
    return ReadProfileInt(*this, section, key, defaultValue, path);
}

bool ProfileText::WriteString(const std::string&, const std::string&, const std::string&,
                              const std::string&) const {
    return false;
}

std::vector<std::string> ProfileText::SectionNames() const {
    std::vector<std::string> names;
    const Profile& profile = parsed->profile;
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
        if (profile.lines[i].isSection && profile.headers.at(Folded(profile.lines[i].name)) == i)
            names.push_back(profile.lines[i].name);
    }
    return names;
}
