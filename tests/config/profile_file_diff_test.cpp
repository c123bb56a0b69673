// Runs one corpus of profile files and calls through our own profile-file side and through the
// platform's (Windows, or Wine's when the tests run under wine) and requires identical results.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "os/profile_file.h"
#include "tests/config/temp_folder.h"

namespace {

using Names = std::vector<std::string>;

struct CorpusFile {
    const char* name;
    std::string bytes;
    Names sections;  // asked for with every key below, besides "Missing"
    Names keys;      // besides "Missing"
    bool present = true;
};

// Files as users and editors leave them: line ends of every kind, blanks, quotes, repeated
// sections and keys, a byte order mark, ^Z, no final line break, over-long values.
const std::vector<CorpusFile>& Corpus() {
    static const std::vector<CorpusFile> corpus = {
        {"basic", "[Board1]\r\nInputs=1A2B,5,10000,0\r\noutputs=9,0,10,%g,1,0,1\r\n\r\n[Misc]\r\nDebug=1\r\n",
         {"Board1", " board1 ", "Misc"}, {"Inputs", "outputs", " debug ", "New", "k"}},
        {"blanks", "  [ Board1 ]  \r\n  Inputs  =  value with  spaces  \r\n\tk\t=\t7\t\r\n[S]\r\nk = \r\n",
         {"Board1", "S"}, {"Inputs", "k", " K ", "j"}},
        {"case", "[bOaRd1]\nINPUTS=upper\ninputs=lower\n[s]\nK=1\n", {"Board1", "S"}, {"Inputs", "k"}},
        {"quotes", "[Q]\nsingle='abc'\ndouble=\"abc\"\nmixed='abc\"\nlonely='\nempty=''\ninner=a'b'\n"
                   "half='abc\nspaced=  \"  x  \"  \nk=\"1\"\ncut=1, 2\n",
         {"Q"}, {"single", "double", "mixed", "lonely", "empty", "inner", "half", "spaced", "k", "cut"}},
        {"repeats", "[Dup]\nk=first\nk=second\n[Other]\nk=other\n[dup]\nk=third\nj=only-in-second\n",
         {"Dup", "dup", "Other"}, {"k", "j"}},
        {"odd-lines", "[S]\nk\nk=1\n=novalue\n;comment=3\n# hash=4\nj\n", {"S"}, {"k", "j", "", ";comment", "# hash"}},
        {"before-header", "top=1\nk=0\n[S]\nk=2\n[]\nempty=3\nk=4\n", {"", " ", "S"}, {"top", "k", "empty"}},
        {"before-header-only", "top=1\nk=0\n[S]\nk=2\n", {"", "S"}, {"top", "k", "new"}},
        {"lf", "[S]\nk=lf\n\n\n[T]\nk=t\n", {"S", "T", "U"}, {"k", "new"}},
        {"cr", "[S]\rk=cr\r\r[T]\rk=t\r", {"S", "T", "U"}, {"k", "new"}},
        {"bom", "\xEF\xBB\xBF[S]\r\nk=bom\r\n", {"S", "T"}, {"k", "new"}},
        {"no-final-break", "[S]\r\nk=v\r\n[T]\r\nj=w", {"S", "T", "U"}, {"k", "j"}},
        {"headers", "[S] trailing\nk=1\n[T\nk2=2\n[[U]]\nk=3\n[V]]x]\nk=4\n[ W ]\n",
         {"S", "T", "U", "[U]", "V]]x", "V", "W"}, {"k", "k2", "[T"}},
        {"numbers", "[N]\nd=42\nneg=-7\nhex=0x1F\nupper=0X1F\noct=0o17\nbin=0b101\nbig=4294967297\n"
                    "lead=  12abc\nword=abc\nplus=+5\nspaceneg=- 5\nquoted='12'\nempty=\nhexonly=0x\n"
                    "long=123456789012345678901234567890123\n",
         {"N"}, {"d", "neg", "hex", "upper", "oct", "bin", "big", "lead", "word", "plus", "spaceneg", "quoted",
                 "empty", "hexonly", "long"}},
        {"long", "[L]\nInputs=" + std::string(600, '7') + "\noutputs='" + std::string(530, 'q') + "'\nnear=" +
                     std::string(32766, 'n') + "\nhuge=" + std::string(40000, 'h') + "\n",
         {"L"}, {"Inputs", "outputs", "near", "huge"}},
        {"control", "[S]\x1a\r\n\x1ak\x1a=\x1av\x1a\r\n\x0bj\x0c=\x0cw\r\n", {"S"}, {"k", "j", "new"}},
        {"empty", "", {"", "S"}, {"k", "top"}},
        {"only-blanks", "\r\n  \r\n\t\r\n", {"", "S"}, {"k"}},
        {"missing", "", {"", "Board1"}, {"Inputs", "outputs", "k"}, false},
    };
    return corpus;
}

struct StringQuery { std::string defaultValue; std::size_t bufferSize; };
const std::vector<StringQuery> kStringQueries = {
    {"", 32768}, {"", 519}, {"dflt  ", 519}, {"'dq'", 519}, {"", 4}, {"'dq'", 4}, {"", 2}, {"x", 0}, {"", 30}};

struct Write { std::string section, key, value; };
struct WriteCase { const char* file; std::vector<Write> writes; };

const std::vector<WriteCase>& WriteCases() {
    static const std::vector<WriteCase> cases = {
        {"basic", {{"Board1", "Inputs", "10000,0,10000,1"}}},
        {"basic", {{" board1 ", "New", "  v  "}, {"Fresh", "k", "1"}, {"Misc", "Debug", "0"}}},
        {"blanks", {{"Board1", "Inputs", "x"}, {"S", "k", ""}, {"S", "j", "'q'"}}},
        {"case", {{"BOARD1", "inputs", "changed"}, {"S", "k", "2"}}},
        {"repeats", {{"dup", "k", "x"}, {"dup", "j", "y"}}},
        {"odd-lines", {{"S", "k", "x"}, {"S", "j", "y"}, {"S", "", "z"}}},
        // Not "before-header": the platform under wine drops the header of a "[]" section when it
        // rewrites a file, so that section's keys join the one above it.
        {"before-header-only", {{"", "top", "9"}, {"", "new", "1"}, {"", "k", "5"}}},
        {"headers", {{"W", "k", "1"}, {"V]]x", "k", "5"}, {"[U]", "k", "6"}}},
        {"lf", {{"S", "new", "1"}, {"T", "k", "2"}, {"U", "k", "3"}}},
        {"cr", {{"S", "new", "1"}, {"U", "k", "3"}}},
        {"bom", {{"S", "k", "changed"}, {"S", "new", "1"}, {"T", "k", "2"}}},
        {"no-final-break", {{"T", "j", "changed"}, {"T", "k", "1"}, {"U", "k", "2"}}},
        {"control", {{"S", "k", "changed"}, {"S", "new", "1"}}},
        {"empty", {{"S", "k", "1"}, {"", "top", "2"}}},
        {"only-blanks", {{"S", "k", "1"}}},
        {"missing", {{"Board1", "Inputs", "1,2"}, {"Board1", "outputs", ""}}},
        {"missing", {{"", "k", "1"}}},
    };
    return cases;
}

class ProfileFileDiffTest : public ::testing::Test {
protected:
    // The file as it starts on one side ("sim" or "win"): its bytes, or no file at all.
    std::string Place(const std::string& side, const CorpusFile& file) const {
        const std::string name = side + "-" + file.name + ".ini";
        std::filesystem::remove(folder.Path(name));
        return file.present ? folder.Write(name, file.bytes) : folder.Path(name);
    }

    // Every query of the vocabulary through both sides; differences are collected.
    void Compare(const CorpusFile& file, const std::string& simPath, const std::string& winPath,
                 const std::string& label) {
        Names sections = file.sections, keys = file.keys;
        sections.push_back("Missing");
        keys.push_back("Missing");
        for (const std::string& section : sections) {
            for (const std::string& key : keys) {
                const std::string where = label + " [" + section + "] " + key;
                for (const StringQuery& q : kStringQueries) {
                    const std::string ours = sim.GetString(section, key, q.defaultValue, q.bufferSize, simPath);
                    const std::string theirs = win.GetString(section, key, q.defaultValue, q.bufferSize, winPath);
                    if (ours != theirs)
                        Differ(where + " default '" + q.defaultValue + "' size " + std::to_string(q.bufferSize) +
                               ": ours \"" + ours + "\", platform \"" + theirs + "\"");
                }
                for (const int32_t defaultValue : {7, -3}) {
                    const uint32_t ours = sim.GetInt(section, key, defaultValue, simPath);
                    const uint32_t theirs = win.GetInt(section, key, defaultValue, winPath);
                    if (ours != theirs)
                        Differ(where + " int: ours " + std::to_string(ours) + ", platform " + std::to_string(theirs));
                }
            }
        }
    }

    void Differ(const std::string& text) {
        if (++differences <= 40) ADD_FAILURE() << text;
    }

    TempFolder folder;
    SimProfileFile sim;
    const ProfileFile& win = PlatformProfileFile();
    int differences = 0;
};

TEST_F(ProfileFileDiffTest, ReadsAsThePlatformReads) {
    for (const CorpusFile& file : Corpus()) Compare(file, Place("sim", file), Place("win", file), file.name);
    // A folder that does not exist: nothing can be read from it.
    Compare(Corpus().front(), folder.Path("none\\sim.ini"), folder.Path("none\\win.ini"), "missing folder");
    EXPECT_EQ(differences, 0);
}

// The platform under wine rewrites the whole file in a layout of its own, so the two files are
// compared by everything read from them; that our side leaves every other byte alone is tested
// with the native tests.
TEST_F(ProfileFileDiffTest, WritesAsThePlatformWrites) {
    int caseNumber = 0;
    for (const WriteCase& writeCase : WriteCases()) {
        const std::string label = std::string(writeCase.file) + " write case " + std::to_string(++caseNumber);
        const CorpusFile& file = *std::find_if(Corpus().begin(), Corpus().end(),
                                               [&](const CorpusFile& f) { return f.name == std::string(writeCase.file); });
        const std::string simPath = Place("sim", file);
        const std::string winPath = Place("win", file);
        for (const Write& w : writeCase.writes) {
            EXPECT_EQ(sim.WriteString(w.section, w.key, w.value, simPath),
                      win.WriteString(w.section, w.key, w.value, winPath))
                << label << " [" << w.section << "] " << w.key;
        }
        Compare(file, simPath, winPath, label);
    }
    // Writing into a folder that does not exist fails on both sides.
    EXPECT_FALSE(sim.WriteString("S", "k", "1", folder.Path("none\\sim.ini")));
    EXPECT_FALSE(win.WriteString("S", "k", "1", folder.Path("none\\win.ini")));
    EXPECT_EQ(differences, 0);
}

}  // namespace
