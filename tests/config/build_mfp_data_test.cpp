#include "config/build_mfp_data.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <tuple>

#include "config/fields.h"
#include "config/parse_hex_text.h"
#include "log/log.h"
#include "tests/config/temp_folder.h"

namespace {

// "10000,0" fourteen times: an Inputs value lacking one pair.
std::string FourteenDefaultPairs() {
    std::string line;
    for (int i = 0; i < 14; ++i) line += std::string(i ? "," : "") + "10000,0";
    return line;
}

// The fifteen switches "SW1" to "SW15".
const char* const kKeys[] = {"0000", "0001", "0002", "0003", "0004", "0005", "0006", "0007",
                             "0100", "0101", "0102", "0103", "0104", "0105", "0106"};

struct Built {
    bool ok = false;
    std::string corruptKey;
    MFPInputTable inputs;
    MFPOutputList outputs;
    RecordedUserMessages messages;
};

Built Build(const std::string& path, const std::string& section = "ABCD1234") {
    Built built;
    const MFPDataBuilt result = BuildMFPData(SimProfileFile(), path, section, built.inputs, built.outputs, built.messages);
    built.ok = result.Built();
    built.corruptKey = result.corruptKey ? result.corruptKey : "";
    return built;
}

std::string Section(const std::string& keys) { return "[Misc]\r\nDebug=0\r\n[ABCD1234]\r\n" + keys; }

// The kind and every field of an output, so that a table can say which ones a kind sets.
std::string Describe(const MFPOutput& o) {
    const char* const kinds[] = {"none", "display", "port LED", "matrix LED"};
    char text[256];
    std::snprintf(text, sizeof text, "%s: flags %X gauge %d format %s digit %d point %d width %d reserved %d led %d on %d off %d port %d bit %d",
                  kinds[static_cast<int>(o.Kind())], static_cast<unsigned>(o.flags), o.gaugeVariable, o.format.c_str(),
                  o.startDigit, o.decimalPoint, o.width, o.displayReserved, o.matrixLed, o.onValue, o.offValue, o.port, o.bit);
    return text;
}

TEST(ParseHexText, ReadsAsTheConfigurationFileWritesIt) {
    struct Case { const char* text; uint32_t expected; };
    const Case cases[] = {
        {"10000", 0x10000},      {"1A2B", 0x1A2B},       {"1a2b", 0x1A2B},
        {"0x1a2b", 0x1A2B},      {"0X1A2B", 0x1A2B},     {"12G4", 0x12},
        {" 1A2B", 0},            {"-1", 0},              {"+1", 0},
        {"", 0},                 {"0x", 0},              {"xyz", 0},
        {"FFFFFFFF", 0xFFFFFFFF}, {"123456789", 0x23456789}, {"1003c", 0x1003C},
        {"0x0x1", 0},            {"00000001", 1},        {"1 2", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseHexText(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseDecimalText, ReadsLikeAtoi) {
    struct Case { const char* text; int32_t expected; };
    const Case cases[] = {
        {"0", 0},      {"-1", -1},   {"+7", 7},    {" \t12", 12},  {"12abc", 12},  {"abc", 0},
        {"", 0},       {"- 1", 0},   {"10", 10},   {"2147483647", 2147483647},
        {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDecimalText(c.text), c.expected) << '"' << c.text << '"';
}

// A wrong field count of a key is reported as its corruption (the inputs already filled when
// "outputs" is the corrupt key). Missing file, section or key give the defaults. The kind of an
// output is the first of the bits 4, 1, 2 set, and a kind reads only its own fields; file order
// and flags without a kind bit: the "mfp check" sample (tests/config/corpus).
TEST(BuildMFPData, SectionsGiveTheirTablesOrReportCorruption) {
    const std::string portLed =
        "port LED: flags 9 gauge 10 format %g digit 0 point 0 width 0 reserved 0 led 0 on 1 off 0 port 0 bit ";
    const std::vector<std::string> defaults = {portLed + "1", portLed + "2"};
    struct Case { std::string file; const char* corruptItem; std::size_t inputs; std::vector<std::string> outputs; };
    const Case cases[] = {
        {"absent", "", 15, defaults},
        {"[Misc]\r\nDebug=1\r\n", "", 15, defaults},
        {Section("other=1\r\n"), "", 15, defaults},
        {Section("Inputs=,," + FourteenDefaultPairs() + ",,10000,,0,,\r\n"), "", 15, defaults},  // empty fields
        {Section("Inputs=\r\n"), "Inputs", 0, {}},
        {Section("Inputs=" + FourteenDefaultPairs() + ",10000\r\n"), "Inputs", 0, {}},
        {Section("Inputs=" + FourteenDefaultPairs() + ",10000,0,1\r\n"), "Inputs", 0, {}},
        {Section("outputs=9,0,10,%g,1,0,1,9\r\n"), "outputs", 15, {}},
        {Section("outputs=9,0,10,%g,1,0\r\n"), "outputs", 15, {}},
        {Section("outputs=\r\n"), "", 15, {}},
        {Section("outputs=5,3,12,%.1f,2,4,9\r\n"), "", 15,
         {"display: flags 5 gauge 12 format %.1f digit 3 point 0 width 4 reserved 9 led 0 on 0 off 0 port 0 bit 0"}},
        {Section("outputs=3,2,11,%g,-1,5,7\r\n"), "", 15,
         {"port LED: flags 3 gauge 11 format %g digit 0 point 0 width 0 reserved 0 led 0 on -1 off 5 port 2 bit 7"}},
        {Section("outputs=0A,17,8,%g,1,0,99\r\n"), "", 15,
         {"matrix LED: flags A gauge 8 format %g digit 0 point 0 width 0 reserved 0 led 17 on 1 off 0 port 0 bit 0"}},
        // The gauge variable by FS2004's name in any case; a name it does not have is variable 0.
        {Section("outputs=2,17,plane_ALTITUDE,%g,1,0,0,2,18,PLANE_ALTITUD,%g,1,0,0,2,19, 73x,%g,1,0,0\r\n"), "", 15,
         {"matrix LED: flags 2 gauge 73 format %g digit 0 point 0 width 0 reserved 0 led 17 on 1 off 0 port 0 bit 0",
          "matrix LED: flags 2 gauge 0 format %g digit 0 point 0 width 0 reserved 0 led 18 on 1 off 0 port 0 bit 0",
          "matrix LED: flags 2 gauge 73 format %g digit 0 point 0 width 0 reserved 0 led 19 on 1 off 0 port 0 bit 0"}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = c.file == "absent" ? folder.Path("absent.ini") : folder.Write("t.ini", c.file);
        const Built built = Build(path);
        EXPECT_EQ(built.ok, *c.corruptItem == '\0');
        EXPECT_EQ(built.corruptKey, c.corruptItem);
        ASSERT_EQ(built.inputs.size(), c.inputs);
        for (const auto& [key, input] : built.inputs) {
            EXPECT_EQ(std::tie(input.eventId, input.value, input.state, input.lastValue),
                      std::make_tuple(0x10000u, 0, 0, -1)) << key;
        }
        std::vector<std::string> described;
        for (const MFPOutput& output : built.outputs) described.push_back(Describe(output));
        EXPECT_EQ(described, c.outputs);
        if (built.ok) {
            EXPECT_TRUE(built.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(built.messages.shown.size(), 1u);
        EXPECT_EQ(built.messages.shown[0].text, "Corruption of data found!\n\tFile: " + path + "\n\tItem: " +
                                                    c.corruptItem + ".\n\nPlease reinstall the configuration files");
        EXPECT_EQ(built.messages.shown[0].icon, MessageIcon::Error);
    }
}

TEST(BuildMFPData, ValuesAreReadWholeUpTo32767CharactersAndCorruptWhenCut) {
    TempFolder folder;
    const std::string logPath = folder.Path("cut.log");
    theLog.SetFileName(logPath);
    theLog.Enable(true);
    // Outputs whose value is just under the limit, at it, and over it by a whole output.
    const std::string output = "9,0,10,%g,1,0,1";
    std::string outputs = output;
    while (outputs.size() + 1 + output.size() <= 32766) outputs += "," + output;
    const std::string padding = std::string(32766 - outputs.size(), 'f');
    const std::string tail = ",1,0,1";  // the padding lengthens the last output's format
    const std::string under = outputs.substr(0, outputs.size() - tail.size()) + padding + tail;  // 32766 characters
    struct Case { std::string value; bool ok; };
    const Case cases[] = {{under, true}, {under + "0", false}, {outputs + "," + output, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.size());
        const Built built = Build(folder.Write("long.ini", Section("outputs=" + c.value + "\r\n")));
        EXPECT_EQ(built.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(built.outputs.size(), (outputs.size() + 1) / (output.size() + 1));
            EXPECT_EQ(built.outputs.back().bit, 1);
        } else {
            ASSERT_EQ(built.messages.shown.size(), 1u);
            EXPECT_NE(built.messages.shown[0].text.find("Item: outputs."), std::string::npos);
        }
    }
    theLog.Enable(false);
    const std::string log = TempFolder::Read(logPath);
    EXPECT_NE(log.find("[ABCD1234] outputs: the value is cut after 32767 characters, in field"), std::string::npos)
        << log.substr(0, 300);
}

TEST(ReloadMFPData, ReplacesBothTablesWholeAndLogsUnderMFPWorker) {
    TempFolder folder;
    const std::string path = folder.Write("t.ini", Section("outputs=2,5,3,%g,1,0,0,2,6,ALT,%g,1,0,0\r\n"));
    const std::string logPath = folder.Path("t.log");
    theLog.SetFileName(logPath);
    theLog.Enable(true);
    Built built = Build(path);
    ReloadMFPData(SimProfileFile(), path, "ABCD1234", built.inputs, built.outputs, built.messages);
    theLog.Enable(false);
    EXPECT_EQ(built.inputs.size(), 15u);
    EXPECT_EQ(built.outputs.size(), 2u);
    const std::string log = TempFolder::Read(logPath);
    // The unknown name once per load, naming section, output and name.
    const std::string unknown = "MFPWorker] [ABCD1234] outputs: output 2: \"ALT\" is no FS2004 gauge variable";
    const std::size_t first = log.find(unknown);
    ASSERT_NE(first, std::string::npos) << log;
    const std::size_t second = log.find(unknown, first + 1);
    EXPECT_NE(second, std::string::npos) << log;
    EXPECT_EQ(log.find(unknown, second + 1), std::string::npos) << log;
    const std::size_t reload = log.find("[                MFPWorker] Reloading data from INI");
    ASSERT_NE(reload, std::string::npos) << log;
    EXPECT_NE(log.find("[                MFPWorker] BuildMFPData", reload), std::string::npos) << log;
}

TEST(InputsLine, WrittenAsThePageWritesItAndReadBackUnchanged) {
    EXPECT_EQ(DefaultInputsLine(), FourteenDefaultPairs() + ",10000,0");
    std::vector<InputRow> rows(15);
    rows[0] = {0x1A2B, "10"};
    rows[7] = {0x1003C, "-1"};
    rows[14] = {0xFFFFFFFF, "123456"};
    const std::string line = FormatInputsLine(rows);
    EXPECT_EQ(line.substr(0, 18), "1A2B,10,10000,0,10");
    TempFolder folder;
    const std::string path = folder.Write("t.ini", Section("Inputs=" + DefaultInputsLine() + "\r\noutputs=\r\n"));
    ASSERT_TRUE(SimProfileFile().WriteString("ABCD1234", "Inputs", line, path));
    const Built built = Build(path);
    ASSERT_TRUE(built.ok);
    const std::map<std::string, std::pair<uint32_t, int32_t>> bound = {
        {"0000", {0x1A2B, 10}}, {"0007", {0x1003C, -1}}, {"0106", {0xFFFFFFFF, 123456}}};
    for (const char* key : kKeys) {
        const auto found = bound.find(key);
        const auto expected = found == bound.end() ? std::make_pair(0x10000u, 0) : found->second;
        EXPECT_EQ(std::make_pair(built.inputs.at(key).eventId, built.inputs.at(key).value), expected) << key;
    }
}

}  // namespace
