#include "config/setup_file.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/config/temp_folder.h"

namespace {

// Export into a file with other sections keeps them; a second export replaces the 30 keys (kept
// ones would be read first); an import gives every row back, and exported again the file is
// byte for byte the same.
TEST(PanelSetup, ExportThenImportChangesNothing) {
    TempFolder folder;
    const SimProfileFile profile;
    const std::string other = "; mine\r\n[Notes]\r\ntext = keep me\r\n\r\n";
    const std::string path = folder.Write("setup.ini", other);
    std::vector<InputRow> rows(15);
    ASSERT_TRUE(WritePanelSetup(profile, path, rows));
    rows[0] = {0x1A2B, "10"};
    rows[3] = {0x1003C, "1"};
    rows[8] = {0x1000039, "-25"};
    rows[14] = {0xFFFFFFFF, "2147483647"};
    ASSERT_TRUE(WritePanelSetup(profile, path, rows));
    const auto choices = ReadPanelSetup(profile, path);
    const std::map<int, EventChoice> bound = {
        {0, {0x1A2B, 10}}, {3, {0x1003C, 1}}, {8, {0x1000039, -25}}, {14, {0xFFFFFFFF, 2147483647}}};
    for (int n = 0; n < 15; ++n) EXPECT_EQ(choices[n], bound.count(n) ? bound.at(n) : EventChoice{}) << n;
    const std::string first = TempFolder::Read(path);
    EXPECT_EQ(first.substr(0, other.size()), other);
    EXPECT_NE(first.find("Action 0=1A2B\r\nValue 0=10\r\n"), std::string::npos);
    std::vector<InputRow> again;
    for (const EventChoice& choice : choices) again.push_back({choice.eventId, std::to_string(choice.value)});
    ASSERT_TRUE(WritePanelSetup(profile, path, again));
    EXPECT_EQ(TempFolder::Read(path), first);
}

TEST(PanelSetup, ImportReadsDefaultsForWhatIsMissing) {
    struct Case { const char* file; EventChoice sw4; };
    const Case cases[] = {
        {"", {}},
        {"[Other]\r\nAction 3=1003C\r\n", {}},
        {"[MFP-Module]\r\nAction 3=1003C\r\nValue 3=1\r\n", {0x1003C, 1}},
        {"[mfp-module]\r\naction 3 = 0x1003c\r\nValue 3=x\r\n", {0x1003C, 0}},
    };
    const SimProfileFile profile;
    for (const Case& c : cases) {
        TempFolder folder;
        const auto choices = ReadPanelSetup(profile, folder.Write("setup.ini", c.file));
        for (int n = 0; n < 15; ++n) {
            const EventChoice expected = n == 3 ? c.sw4 : EventChoice{};
            EXPECT_EQ(choices[n], expected) << c.file << " input " << n;
        }
    }
}

TEST(SingleEvent, ReadsActionAndValue) {
    struct Case { const char* file; EventChoice expected; };
    const Case cases[] = {
        {"[MFP-Import]\r\nAction=0x1003c\r\nValue=-3\r\n", {0x1003C, -3}},
        {"[MFP-Import]\r\nValue=5\r\n", {0x10000, 5}},
        {"[MFP-Module]\r\nAction=1003C\r\n", {}},
    };
    const SimProfileFile profile;
    for (const Case& c : cases) {
        TempFolder folder;
        EXPECT_EQ(ReadSingleEvent(profile, folder.Write("event.ini", c.file)), c.expected) << c.file;
    }
    TempFolder folder;
    const std::string path = folder.Path("written.ini");
    ASSERT_TRUE(WriteSingleEvent(profile, path, {0x20001, "12"}));
    EXPECT_EQ(ReadSingleEvent(profile, path), (EventChoice{0x20001, 12}));
    EXPECT_EQ(ReadSingleEvent(profile, folder.Path("absent.ini")), EventChoice{});
}

}  // namespace
