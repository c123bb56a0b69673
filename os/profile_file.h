// Profile ("INI") files: the platform's profile functions on Windows, our own reading and
// writing of the same files elsewhere. Both sides give the same results for the same files and
// calls; the differential test under tests/config holds them to that.
//
// Names of sections and keys compare without regard to case (ASCII letters on the simulated
// side); blanks around names and values do not count; a value enclosed in matching single or
// double quotes is read without them; the first matching section, and the first matching key
// in it, wins. Paths are full paths. The calls keep no state between them, so any thread may
// call them; two threads writing the same file at once are not serialised.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ProfileFile {
public:
    virtual ~ProfileFile() = default;

    // The value of the key, or the default when the file, section or key is missing. At most
    // bufferSize - 1 characters are returned (nothing for a bufferSize of 0), as the platform
    // fills a buffer of that many characters including its terminator.
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue, std::size_t bufferSize,
                                  const std::string& path) const = 0;

    // The value read as a number as the platform reads it: the default when the key is missing
    // or empty, else leading blanks, an optional sign, an optional "0x" (hexadecimal), "0o"
    // (octal) or "0b" (binary) prefix, then digits up to the first other character. The
    // platform's unsigned result is returned as it is.
    virtual uint32_t GetInt(const std::string& section, const std::string& key,
                            int32_t defaultValue, const std::string& path) const = 0;

    // Sets the key, creating the file, the section or the key when missing. False when the
    // file could not be written.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& path) const = 0;
};

// Our own implementation, on every platform. A write changes only the one key's line (or adds
// one line for a new key, two for a new section); every other byte of the file stays as it
// was, line ends included. Files are read as 8-bit text; a UTF-8 byte order mark is skipped.
class SimProfileFile : public ProfileFile {
public:
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize,
                          const std::string& path) const override;
    uint32_t GetInt(const std::string& section, const std::string& key, int32_t defaultValue,
                    const std::string& path) const override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value, const std::string& path) const override;
};

// A profile file's text held in memory and parsed once, read by SimProfileFile's rules: for a
// text read many times or from a pipe. Every path names this text; it cannot be written.
// Sections are indexed, so reading every section takes time linear in the text's size.
class ProfileText : public ProfileFile {
public:
    explicit ProfileText(std::string text);
    ~ProfileText() override;

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize,
                          const std::string& path) const override;
    uint32_t GetInt(const std::string& section, const std::string& key, int32_t defaultValue,
                    const std::string& path) const override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value, const std::string& path) const override;

    // The names of the sections in text order, each reachable name once (a repeated section
    // is never read).
    std::vector<std::string> SectionNames() const;

private:
    struct Parsed;
    std::unique_ptr<const Parsed> parsed;
};

// The platform's profile functions (Windows builds only).
const ProfileFile& PlatformProfileFile();
