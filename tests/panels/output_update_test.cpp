// The rules of the output passes, and passes driven on the test thread.
#include "panels/output_rules.h"
#include "worker_fixture.h"

namespace {

TEST(OutputRulesTest, DisplayPaddingAndPoints) {
    struct Row { const char* result; int width; bool point; const char* shown; };
    const Row rows[] = {
        {"3", 3, true, "3.00"}, {"12.5", 3, true, "12.5"},   {"7", 4, false, "7000"},
        {"0.33333", 0, false, "0.33333"}, {"42", 2, false, "42"}, {"12345", 3, false, "12345"},
        {"-1", 4, false, "-100"}, {"5", 0, true, "5."}, {"5", -2, false, "5"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PadDisplayText(row.result, row.width, row.point), row.shown)
            << row.result << " width " << row.width << " point " << row.point;
}

TEST(OutputRulesTest, OnOffRule) {
    struct Row { uint32_t flags; int on, off, n; bool lit; };
    const Row rows[] = {
        {1, 1, 0, 1, true},   {1, 1, 0, 0, false},  {1, 1, 0, 5, false},  // on value only
        {9, 1, 0, 0, false},  {9, 1, 0, 1, true},   {9, 1, 0, 5, true},   // off only for off value
        {17, 1, 0, 1, true},  {17, 1, 0, 0, false}, {17, 1, 0, 5, false}, // on only for on value
        {25, 1, 0, 1, false}, {25, 1, 0, 0, false}, {25, 1, 0, 5, false}, // always off
        {1, 1, 1, 1, false},  {17, 1, 1, 1, true},  {9, 1, 1, 1, false},  // on == off
        {2, 3, 2, 3, true},   {2, 3, 2, 2, false},
    };
    for (const Row& row : rows) {
        MFPOutput output;
        output.flags = row.flags;
        output.onValue = row.on;
        output.offValue = row.off;
        EXPECT_EQ(LedIsOn(row.n, output), row.lit)
            << "flags " << row.flags << " on " << row.on << " off " << row.off << " n " << row.n;
    }
}

TEST(OutputRulesTest, GaugeValuesByTypeCode) {
    struct Row { uint32_t typeCode; double value; std::string format; GaugeText result; const char* text; };
    const Row rows[] = {
        {33, 2.5, "%g", GaugeText::Formatted, "2.5"},
        {33, 2.5, "%d*2", GaugeText::Formatted, "2*2"},
        {2, 300.7, "%d", GaugeText::Formatted, "44"},  // low 8 bits of 300
        {2, 200, "%d", GaugeText::Formatted, "-56"},
        {2, -1.5, "%g", GaugeText::Formatted, "-1"},
        {14, -2, "%d", GaugeText::Formatted, "-2"},
        {14, 1234, "%05d", GaugeText::Formatted, "01234"},
        {33, 1, "%g%%", GaugeText::Formatted, "1%"},
        {33, 1, "100%%", GaugeText::Formatted, "100%"},
        {33, 2.5, "%lf", GaugeText::Formatted, "2.500000"},
        {14, 1234, "%ld", GaugeText::Formatted, "1234"},
        {7, 1, "%g", GaugeText::UnknownType, "before"},
        {14, -2, "%hhx", GaugeText::Formatted, "fe"},
        {33, 100000, "%hd", GaugeText::Formatted, "-31072"},
    };
    SimHost host;
    GaugeVariable variable{};
    variable.token = 5;
    for (const Row& row : rows) {
        host.SetGauge(5, row.value, row.typeCode);
        host.LookupGaugeVariable(variable);
        std::string text = "before";
        EXPECT_EQ(FormatGaugeValue(row.format, variable, text), row.result) << row.format;
        EXPECT_EQ(text, row.text) << row.format << " type " << row.typeCode;
    }
    // Formats that take neither one int nor one double, with the last row's variable (type 33).
    for (const std::string& format :
         std::initializer_list<std::string>{"%s", "%g+%g", "%*d", "%Lg", "%lc", "%1.2.3g", std::string("%\0g", 3)}) {
        std::string text;
        EXPECT_EQ(FormatGaugeValue(format, variable, text), GaugeText::UnusableFormat) << format;
    }
}

TEST(OutputRulesTest, TrialPassesGiveTheFirstFailureOfEachOutput) {
    MFPOutputList outputs;
    // x*2 uses the x of the same pass; 1234.5 as type code 2 is 1234's low 8 bits, -46.
    for (const char* format : {"%g", "%gA", "%g%g", "x=%g", "x*2", "1/(%g-1)", "1/(%g+46)"})
        outputs.emplace_back().format = format;
    // A radio frequency (COM_FREQUENCY, 23) holds BCD digits, so %x never shows a letter: 1234.5
    // is tried as 0x1234. Altitude (PLANE_ALTITUDE, 73) in hexadecimal: 1234 is 4d2.
    for (const int gauge : {23, 73}) {
        MFPOutput& output = outputs.emplace_back();
        output.format = "%x";
        output.gaugeVariable = gauge;
    }
    const std::vector<OutputTrial> trials = TryOutputs(outputs);
    const struct { std::size_t output; OutputStep step; double value; uint32_t typeCode; } expected[] = {
        {1, OutputStep::FormulaFailed, 0, 33}, {2, OutputStep::UnusableFormat, 0, 33},
        {5, OutputStep::FormulaFailed, 1, 33}, {6, OutputStep::FormulaFailed, 1234.5, 2},
        {8, OutputStep::FormulaFailed, 1234.5, 33}};
    ASSERT_EQ(trials.size(), std::size(expected));
    for (std::size_t i = 0; i < trials.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(trials[i].output, expected[i].output);
        EXPECT_EQ(trials[i].step, expected[i].step);
        EXPECT_EQ(trials[i].value, expected[i].value);
        EXPECT_EQ(trials[i].typeCode, expected[i].typeCode);
    }
}

class OutputUpdateTest : public WorkerFixture {
protected:
    bool Led(int led) { return sim->LedLit((led - 1) % 8, (led - 1) / 8); }
};

TEST_F(OutputUpdateTest, DisplaysAndLedsFollowTheGaugesAndTheViewWindow) {
    host.SetGauge(1, 1234.0);
    host.SetGauge(2, 1.0, kGaugeTypeInt8);
    // Display at digit 1, width 4 with point; matrix LED 9; port 2 bit 3 LED.
    WriteKey(kSerial, "outputs", "4,1,1,%g/1000,1,4,0,2,9,2,%d,1,0,0,1,2,2,%d,1,0,3");
    StartWorker();
    worker->UpdateOutputs();
    EXPECT_TRUE(Led(9));
    EXPECT_EQ(sim->PortLines()[2] & 0x08, 0) << "a lit port LED drives its line low";
    const auto lit = sim->LedRows();
    sim->ClearReceivedReports();
    worker->UpdateOutputs();
    EXPECT_TRUE(sim->ReceivedReports().empty()) << "an unchanged simulator sends nothing";
    // "1.234" from column 0: one column per digit, segment r in row r, the point in row 7.
    EXPECT_EQ(lit, (std::array<std::uint32_t, 8>{0x6, 0xF, 0xD, 0x6, 0x2, 0x8, 0xE, 0x1}));

    host.CloseView(cockpit);
    worker->UpdateOutputs();
    worker->UpdateOutputs();
    EXPECT_EQ(CountLog("Clear all outputs"), 1) << "cleared once only";
    EXPECT_EQ(sim->LedRows(), (std::array<std::uint32_t, 8>{})) << "blanked and dark";
    EXPECT_NE(sim->PortLines()[2] & 0x08, 0);
    cockpit = host.OpenView("VIRTUAL COCKPIT - View 00");
    worker->UpdateOutputs();
    EXPECT_EQ(sim->LedRows(), lit);

    host.SetGauge(2, 0.0, kGaugeTypeInt8);
    worker->UpdateOutputs();
    EXPECT_FALSE(Led(9));
    EXPECT_NE(sim->PortLines()[2] & 0x08, 0);
}

// Output 1 reads x before output 2 assigns it, in every pass: x lasts one pass, and output 3 gets
// the x of its own. A failing output is skipped; its failure is logged once per failing text.
TEST_F(OutputUpdateTest, FormulaErrorSkipsOnlyItsOutputAndIsLoggedOnce) {
    host.SetGauge(1, 1.0);
    WriteKey(kSerial, "outputs", "A,1,1,x*%g,1,0,0,A,2,1,x=%g,1,0,0,A,3,1,x*2,1,0,0");
    StartWorker();
    // Passes: two alike, a new value (a new failing text) twice, then after a reload.
    const int errorsAfter[] = {1, 1, 2, 2, 3};
    for (int pass = 0; pass < 5; ++pass) {
        if (pass == 2) host.SetGauge(1, 2.0);
        if (pass == 4) worker->ReloadMFPData();
        worker->UpdateOutputs();
        EXPECT_FALSE(Led(1));
        EXPECT_TRUE(Led(2));
        EXPECT_TRUE(Led(3));
        EXPECT_EQ(CountLog("Calculate formula error Syntax Error: 'x'"), errorsAfter[pass]) << "pass " << pass;
    }
}

// A variable the simulator does not give (99 here) and a group without a kind bit darken only
// themselves: the pass goes on, the first is logged once per load, the second is not even read.
// A pass ends before any lookup without the PANELS table or with the run flag cleared; with the
// flag cleared the update thread winds down at once.
TEST_F(OutputUpdateTest, AMissingVariableDarkensOnlyItsOutputAndPassesEndWithoutTheHost) {
    host.SetGauge(1, 1.0);
    WriteKey(kSerial, "outputs", "2,1,1,%g,1,0,0,2,2,99,%g,1,0,0,10,4,1,%g,1,0,0,2,3,1,%g,1,0,0");
    StartWorker();
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2) worker->ReloadMFPData();
        worker->UpdateOutputs();
        EXPECT_TRUE(Led(1));
        EXPECT_FALSE(Led(2));
        EXPECT_FALSE(Led(4)) << "no kind, nothing written";
        EXPECT_TRUE(Led(3)) << "reached after the missing variable";
        EXPECT_EQ(CountLog("Output 2: gauge variable 99 gives no value; it is skipped"), pass < 2 ? 1 : 2);
    }
    EXPECT_EQ(host.LookupCount(), 9u);
    host.SetPanelsAvailable(false);
    worker->UpdateOutputs();
    EXPECT_EQ(host.LookupCount(), 9u) << "no PANELS table";
    host.SetPanelsAvailable(true);
    runFlag.Clear();
    worker->UpdateOutputs();
    EXPECT_EQ(host.LookupCount(), 9u) << "run flag cleared";
    worker->UpdateThreadProc();
    EXPECT_TRUE(worker->AwaitStartUp());
    EXPECT_EQ(worker->PassesDone(), 0u);
    EXPECT_EQ(host.LookupCount(), 9u);
    EXPECT_FALSE(Led(1)) << "cleared";
    EXPECT_FALSE(sim->LedMatrixOn()) << "shut down";
}

// The file rewritten beside a running panel is read again between two passes, in place: while
// the configuration dialog holds reloads the change waits, and a corrupt rewrite is reported
// once and changes nothing. (Each rewrite has a new length: two writes within one tick of the
// file system's clock would otherwise look alike.)
TEST_F(OutputUpdateTest, AChangedFileIsReadAgainInPlace) {
    host.SetGauge(1, 1.0);
    WriteKey(kSerial, "outputs", "2,1,1,%g,1,0,0");
    StartWorker();
    const auto pass = [&] {
        worker->ReloadIfFileChanged();
        worker->UpdateOutputs();
    };
    pass();
    EXPECT_TRUE(Led(1));
    EXPECT_EQ(worker->FileReloads(), 0u) << "unchanged since it was read";
    runFlag.HoldFileReloads(true);
    WriteKey(kSerial, "outputs", "2,10,1,%g,1,0,0");
    pass();
    EXPECT_FALSE(Led(10)) << "held while the dialog is open";
    runFlag.HoldFileReloads(false);
    pass();
    EXPECT_TRUE(Led(10));
    EXPECT_EQ(worker->FileReloads(), 1u);
    pass();
    EXPECT_EQ(worker->FileReloads(), 1u) << "once per change";

    WriteKey(kSerial, "outputs", "2,100,1");
    pass();
    host.SetGauge(1, 0.0);
    pass();
    EXPECT_FALSE(Led(10)) << "the last good configuration goes on";
    EXPECT_EQ(messages.shown.size(), 1u) << "the corruption is shown once";
    EXPECT_EQ(CountLog("[0000A1B2] " + iniPath + " changed and is corrupt now: the panel keeps its last configuration"), 1);
    EXPECT_EQ(worker->FileReloads(), 1u);
}

}  // namespace
