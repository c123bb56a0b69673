#include "config/setup_file.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/config/temp_folder.h"

namespace {

// Export into a file with other sections keeps them; a second export replaces the 30 keys (kept
// ones would be read first); an import gives every row back, and exported again the file is
// byte for byte the same.
TEST(SetupFiles, ExportThenImportChangesNothing) {
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
    // The single-event file likewise, into a file not there before.
    const std::string single = folder.Path("event.ini");
    ASSERT_TRUE(WriteSingleEvent(profile, single, {0x20001, "12"}));
    EXPECT_EQ(ReadSingleEvent(profile, single), (EventChoice{0x20001, 12}));
}

// A panel setup's bindings (section "MFP-Module"; SW4 as the row gives, the others missing) and
// the single event (section "MFP-Import"): what is missing reads as event 10000, value 0.
TEST(SetupFiles, ImportReadsDefaultsForWhatIsMissing) {
    struct Case { bool single; const char* file; EventChoice expected; };
    const Case cases[] = {
        {false, "", {}},
        {false, "[Other]\r\nAction 3=1003C\r\n", {}},
        {false, "[MFP-Module]\r\nAction 3=1003C\r\nValue 3=1\r\n", {0x1003C, 1}},
        {false, "[mfp-module]\r\naction 3 = 0x1003c\r\nValue 3=x\r\n", {0x1003C, 0}},
        {true, "[MFP-Import]\r\nAction=0x1003c\r\nValue=-3\r\n", {0x1003C, -3}},
        {true, "[MFP-Import]\r\nValue=5\r\n", {0x10000, 5}},
        {true, "[MFP-Module]\r\nAction=1003C\r\n", {}},
    };
    const SimProfileFile profile;
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder.Write("setup.ini", c.file);
        if (c.single) {
            EXPECT_EQ(ReadSingleEvent(profile, path), c.expected);
            continue;
        }
        const auto choices = ReadPanelSetup(profile, path);
        for (int n = 0; n < 15; ++n) EXPECT_EQ(choices[n], n == 3 ? c.expected : EventChoice{}) << "input " << n;
    }
    EXPECT_EQ(ReadSingleEvent(profile, folder.Path("absent.ini")), EventChoice{});
}

}  // namespace
