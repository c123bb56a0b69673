#include "os/profile_file.h"

#include <gtest/gtest.h>

#include "tests/config/temp_folder.h"

namespace {

constexpr const char* kAbsent = nullptr;  // no file at all

TEST(SimProfileFile, WriteChangesNothingButTheOneKey) {
    struct Case {
        const char* before;  // kAbsent: no file
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        // A user's file edited on Windows: CRLF, comments, blanks and spacing stay as they were.
        {"; panels\r\n[Misc]\r\nDebug=1\r\n\r\n[ABCD1234]\r\n  Inputs = 1,2  \r\noutputs=9\r\n", "ABCD1234", "Inputs",
         "3,4", "; panels\r\n[Misc]\r\nDebug=1\r\n\r\n[ABCD1234]\r\n  Inputs = 3,4  \r\noutputs=9\r\n"},
        {"[abcd1234]\r\nINPUTS=1\r\n", " ABCD1234 ", "inputs", "2", "[abcd1234]\r\nINPUTS=2\r\n"},
        {"[A]\r\nk=same\r\n", "A", "k", "same", "[A]\r\nk=same\r\n"},
        {"[A]\r\nk=1\r\n", "A", "k", "  lead", "[A]\r\nk=lead\r\n"},
        {"[A]\nk\nk=1\n", "A", "k", "v", "[A]\nk=v\nk=1\n"},
        {"[A]\nk=1\n[a]\nk=2\n", "a", "k", "v", "[A]\nk=v\n[a]\nk=2\n"},
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
        {"", "B", "k", "v", "[B]\r\nk=v\r\n"},
        {kAbsent, "B", "k", "v", "[B]\r\nk=v\r\n"},
    };
    const SimProfileFile profile;
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = c.before ? folder.Write("t.ini", c.before) : folder.Path("t.ini");
        EXPECT_TRUE(profile.WriteString(c.section, c.key, c.value, path)) << c.after;
        EXPECT_EQ(TempFolder::Read(path), c.after);
    }
}

TEST(SimProfileFile, WriteIntoAMissingFolderFails) {
    TempFolder folder;
    EXPECT_FALSE(SimProfileFile().WriteString("A", "k", "v", folder.Path("none/t.ini")));
}

TEST(SimProfileFile, ReadsAsTheProfileFunctionsRead) {
    const char* file =
        "top=0\n"
        "  [ Board ]  \r\n"
        "  Inputs  =  1, 2  \r\n"
        "quoted='a b'\n"
        "double=\"x\"\n"
        "mixed='x\"\n"
        "bare\n"
        "bare=hidden\n"
        "inputs=second\n"
        "[board]\n"
        "late=unreachable\n"
        "[Other]\n"
        "k=\x1a" "v\x1a\n";
    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        std::size_t bufferSize;
        const char* expected;
    };
    const Case cases[] = {
        {"Board", "Inputs", "d", 519, "1, 2"},     {"BOARD", "INPUTS", "d", 519, "1, 2"},
        {" Board", "Inputs ", "d", 519, "1, 2"},   {"Board", "Inputs", "d", 4, "1, "},
        {"Board", "Inputs", "d", 1, ""},           {"Board", "Inputs", "d", 0, ""},
        {"Board", "quoted", "d", 519, "a b"},      {"Board", "quoted", "d", 4, "a "},
        {"Board", "quoted", "d", 5, "a b"},        {"Board", "double", "d", 519, "x"},
        {"Board", "mixed", "d", 519, "'x\""},      {"Board", "bare", "d", 519, "d"},
        {"Board", "late", "d", 519, "d"},          {"Board", "missing", "dflt  ", 519, "dflt"},
        {"Board", "missing", "'q'", 519, "q"},     {"Missing", "Inputs", "d", 519, "d"},
        {"", "top", "d", 519, "0"},                {"Other", "k", "d", 519, "v"},
    };
    TempFolder folder;
    const std::string path = folder.Write("t.ini", file);
    const SimProfileFile profile;
    const ProfileText inMemory(file);
    for (const Case& c : cases) {
        EXPECT_EQ(profile.GetString(c.section, c.key, c.defaultValue, c.bufferSize, path), c.expected)
            << "[" << c.section << "] " << c.key << " size " << c.bufferSize;
        EXPECT_EQ(inMemory.GetString(c.section, c.key, c.defaultValue, c.bufferSize, ""), c.expected);
    }
    EXPECT_EQ(inMemory.SectionNames(), (std::vector<std::string>{"Board", "Other"}));
    EXPECT_EQ(profile.GetString("Board", "Inputs", "dflt", 519, folder.Path("absent.ini")), "dflt");
    EXPECT_EQ(profile.GetString("Board", "Inputs", "'dflt'", 519, folder.Path("none/absent.ini")), "'dflt'");
}

}  // namespace
