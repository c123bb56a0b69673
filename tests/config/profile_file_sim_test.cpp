// What only the native suite can check of our profile files: the bytes a write leaves. Every
// value read, and every write as seen by reading, is held to the platform's by
// profile_file_diff_test under wine.
#include "os/profile_file.h"

#include <gtest/gtest.h>

#include "tests/config/temp_folder.h"

namespace {

TEST(SimProfileFile, WriteChangesNothingButTheOneKey) {
    struct Case { const char* before; const char* section; const char* key; const char* value; const char* after; };
    const Case cases[] = {
        // A user's file edited on Windows: CRLF, comments, blanks and spacing stay as they were.
        {"; panels\r\n[Misc]\r\nDebug=1\r\n\r\n[ABCD1234]\r\n  Inputs = 1,2  \r\noutputs=9\r\n", "ABCD1234", "Inputs",
         "3,4", "; panels\r\n[Misc]\r\nDebug=1\r\n\r\n[ABCD1234]\r\n  Inputs = 3,4  \r\noutputs=9\r\n"},
        {"[abcd1234]\r\nINPUTS=1\r\n", " ABCD1234 ", "inputs", "2", "[abcd1234]\r\nINPUTS=2\r\n"},
        {"[A]\r\nk=same\r\n", "A", "k", "same", "[A]\r\nk=same\r\n"},
        {"[A]\r\nk=1\r\n", "A", "k", "  lead", "[A]\r\nk=lead\r\n"},
        // A new key goes after the section's last line, before the blank lines that follow it.
        {"[A]\nx=1\n\n[B]\ny=2\n", "A", "k", "v", "[A]\nx=1\nk=v\n\n[B]\ny=2\n"},
        {"[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"[A]\rx=1\r", "A", "k", "v", "[A]\rx=1\rk=v\r"},
        {"[A]\r\nx=1", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"top=1\r\n[A]\r\n", "", "k", "v", "top=1\r\nk=v\r\n[A]\r\n"},
        {"\xEF\xBB\xBF[A]\r\n", "", "k", "v", "\xEF\xBB\xBFk=v\r\n[A]\r\n"},
        // A new section goes at the end, in the file's own line ends.
        {"[A]\r\nx=1\r\n", "B", " k ", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"[A]\nx=1\n\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"[A]\r\nx=1", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"", "B", "k", "v", "[B]\r\nk=v\r\n"},  // as a missing file: setup_file_test writes one
    };
    const SimProfileFile profile;
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.Write("t.ini", c.before);
        EXPECT_TRUE(profile.WriteString(c.section, c.key, c.value, path)) << c.after;
        EXPECT_EQ(TempFolder::Read(path), c.after);
    }
}

// Each section that a reader can reach, once, in text order: a repeated one is never read.
TEST(ProfileText, SectionNames) {
    const ProfileText text("top=0\n  [ Board ]  \r\nk=1\n[board]\n[Other]\n");
    EXPECT_EQ(text.SectionNames(), (std::vector<std::string>{"Board", "Other"}));
}

}  // namespace
