// mfp demo end to end: the real mfp program with scripts, arguments and on a pseudo-terminal;
// and the model of its interactive screens, which the terminal and the Windows window draw.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>

#include "tools/mfp/demo/demo_session.h"

namespace {

// A file of this test run: other checkouts may run this test at the same time.
std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "demo_command_test_" + std::to_string(getpid()) + name;
}
const std::string kScript = TempPath(".txt");

struct DemoRun {
    std::string output, errors;
    int status = -1;  // the exit status; -1 when it did not exit
};

// mfp demo with the arguments (shell words) and, when given, a script of that text; standard
// input from /dev/null, within 30 s.
DemoRun RunDemo(const std::string& arguments, const char* script = nullptr) {
    const std::string errorPath = TempPath(".err");
    if (script) std::ofstream(kScript) << script;
    const std::string command = "timeout 30 \"" MFP_PROGRAM "\" demo " + arguments +
                                (script ? " --script \"" + kScript + "\"" : "") + " </dev/null 2>" + errorPath;
    DemoRun run;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
        const int status = pclose(pipe);
        if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    }
    run.errors.assign(std::istreambuf_iterator<char>(std::ifstream(errorPath).rdbuf()), {});
    std::remove(errorPath.c_str());
    std::remove(kScript.c_str());
    return run;
}

TEST(DemoCommandTest, ScriptPrintsEventsKeysAndPanels) {
    const DemoRun run = RunDemo("--sim 0000A1B2 --sim 0000C3D4",
                                "# gear up, a keystroke, a port LED, two panels\n\n"
                                "gauge PLANE_ALTITUDE 1234\ngauge plane_heading_degrees_magnetic 567 14\n"
                                "gauge 61 890  # AIRSPEED\ngauge GEAR_POS_NOSE 0\ngauge PARKING_BRAKE_POS 1 2\n"
                                "press SW1\nrelease SW1\npress SW5 2\nrelease SW5 2\nshow\nview off\nshow\n"
                                "unplug 2\npress SW2\nrelease SW2\nplug 2\npress SW3 2\n");
    // Digits "1234", "567" and "890" from columns 0, 4 and 8 (segment r in row r); LED 97
    // (row 0, column 12) for gear up; port 0 line 0 low for the parking brake. Both panels
    // read the same gauges.
    std::string shown, dark;
    for (const char* serial : {"0000A1B2", "0000C3D4"}) {
        shown += std::string("panel ") + serial +
                 " matrix 00001776 0000074F 0000077D 00000536 00000522 00000738 0000033E 00000000\n"
                 "panel " + serial + " ports FE FF FF FF\npanel " + serial + " digits \"1234567 890 \"\n";
        dark += std::string("panel ") + serial +
                " matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000\n"
                "panel " + serial + " ports FF FF FF FF\npanel " + serial + " digits \"            \"\n";
    }
    EXPECT_EQ(run.output, "event 0x10022 0\nkey 0x47\n" + shown + dark + "event 0x100D8 0\nevent 0x100D7 0\n");
    EXPECT_EQ(run.status, 0);
}

// What mfp demo prints last and on its standard error; bad script lines and arguments are named
// and nothing runs (the option rules all commands share are mfp_tool_test's).
TEST(DemoCommandTest, OutcomesOfScriptsAndArguments) {
    const std::string usage = "\nusage: mfp demo [--ini FILE] [--sim SERIAL]... [--script FILE]\n";
    const std::string folder = ::testing::TempDir(), iniPath = TempPath(".ini");
    std::ofstream(iniPath) << "[0000a1b2]\n";
    // The same variable by name and by number lights the same digits; a variable FS2004 does not
    // have darkens only its own output.
    const std::string namedIniPath = TempPath("named.ini");
    std::ofstream(namedIniPath) << "[0000A1B2]\noutputs=2,200,NO_SUCH_VARIABLE,%g,0,1,0,4,1,PLANE_ALTITUDE,%g,0,4,0,"
                                   "4,5,73,%g,0,4,0\n";
    const std::string started = "mfp demo: 1 panel(s) started\n";
    const struct {
        std::string arguments;
        const char* script;
        std::string lastOutput;  // empty: no output at all
        std::string errors;      // after "mfp demo: "
        int status;
    } cases[] = {
        // Digits as people read them; the bundled flight without a terminal and a script.
        {"", "gauge PLANE_ALTITUDE 1234.9\ngauge PLANE_HEADING_DEGREES_MAGNETIC 359.9\ngauge AIRSPEED -42\nshow\n",
         "panel 0000A1B2 digits \"1234359 -42 \"\n", "1 panel(s) started\n", 0},
        // The example's radio panel: BCD 0x1825 (6181) is 118.25, the transponder's 0x1200 is 1200.
        {"--ini " MFP_EXAMPLE_INI " --sim 0000C3D4", "gauge COM_FREQUENCY 6181 14\ngauge TRANSPONDER_CODE 4608 14\nshow\n",
         "panel 0000C3D4 digits \"118.25 1200  \"\n", "1 panel(s) started\n", 0},
        {"--ini " + namedIniPath, "gauge 73 1234\nshow\n", "panel 0000A1B2 digits \"12341234    \"\n",
         "1 panel(s) started\n", 0},
        {"", nullptr, "panel 0000A1B2 digits \"1250120 100 \"\n", "no terminal: playing the bundled flight\n" + started, 0},
        // Reloads start the panels again; the missing section is told once.
        {"--ini " + iniPath + " --sim 0000A1B2 --sim 0000C3D4", "unplug 2\nplug 2\n", "",
         iniPath + " has no section [0000C3D4]: that panel gets the default configuration\nmfp demo: 2 panel(s) started\n", 0},
        {"", "show\npress SW16\n", "", kScript + ": line 2: expected SW1 to SW15\n", 2},
        {"", "show\npress SW1 3\n", "", kScript + ": line 2: no panel 3 (there are 1)\n", 2},
        {"", "show\ngauge 1\n", "", kScript + ": line 2: expected gauge ID VALUE [TYPE]\n", 2},
        {"", "show\ngauge 1 2 7\n", "", kScript + ": line 2: type must be 2, 14 or 33\n", 2},
        {"", "show\ngauge ALTITUDE 1\n", "", kScript + ": line 2: bad gauge id ALTITUDE\n", 2},
        {"", "show\nwait soon\n", "", kScript + ": line 2: expected wait MS\n", 2},
        {"", "show\nview sideways\n", "", kScript + ": line 2: expected view on or view off\n", 2},
        {"", "show\nfly\n", "", kScript + ": line 2: unknown command fly\n", 2},
        // A script's bytes never reach the terminal raw: 0xE9 as UTF-8, an escape as \x1B.
        {"", "show\nfl\xE9\x1B[2J\n", "", kScript + ": line 2: unknown command fl\xC3\xA9\\x1B[2J\n", 2},
        {"--script -", nullptr, "", "1 panel(s) started\n", 0},
        {"", "show\nshow all\n", "", kScript + ": line 2: show takes nothing\n", 2},
        {"--ini /no/such.ini", nullptr, "", "--ini /no/such.ini: No such file or directory" + usage, 2},
        {"--ini " + folder, nullptr, "", "--ini " + folder + ": is a directory" + usage, 2},
        {"--sim 0000A1B", nullptr, "", "--sim 0000A1B: a serial is 8 hexadecimal digits" + usage, 2},
        {"--sim 0000A1BG", nullptr, "", "--sim 0000A1BG: a serial is 8 hexadecimal digits" + usage, 2},
        {"--sim 0000A1B2 --sim 0000a1b2", nullptr, "", "--sim 0000a1b2: the panel is simulated already" + usage, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments + (c.script ? c.script : ""));
        const DemoRun run = RunDemo(c.arguments, c.script);
        const std::string& out = run.output;
        EXPECT_EQ(c.lastOutput.empty() ? out : out.substr(out.size() - std::min(out.size(), c.lastOutput.size())),
                  c.lastOutput);
        EXPECT_EQ(run.errors, "mfp demo: " + c.errors);
        EXPECT_EQ(run.status, c.status);
    }
    std::remove(iniPath.c_str());
    std::remove(namedIniPath.c_str());
    const DemoRun help = RunDemo("--help");
    for (const char* option : {"--ini FILE ", "--sim SERIAL ", "--script FILE ", "--help ", "--  "})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    EXPECT_EQ(help.status, 0);
}

// mfp demo on a pseudo-terminal that is not its controlling terminal, so that closing it ends
// the input without a hang-up signal.
class TerminalDemo {
public:
    explicit TerminalDemo(const char* iniPath = nullptr) : master(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(master);
        unlockpt(master);
        const std::string slavePath = ptsname(master);
        if ((pid = fork()) != 0) return;
        const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
        close(master);
        dup2(slave, 0);
        dup2(slave, 1);
        dup2(open("/dev/null", O_WRONLY), 2);  // whatever the screen must show
        execl(MFP_PROGRAM, "mfp", "demo", iniPath ? "--ini" : nullptr, iniPath, nullptr);
        _exit(127);
    }
    ~TerminalDemo() {
        if (pid > 0) Ends(true);
        if (master >= 0) close(master);
    }
    // Whether `text` appears within 10 s after the text the last call found.
    bool Shows(const std::string& text) {
        std::size_t found = 0;
        for (const auto deadline = Now() + std::chrono::seconds(10); (found = screen.find(text, seen)) == std::string::npos; Read())
            if (Now() > deadline) return false;
        seen = found + text.size();
        return true;
    }
    void Type(char key) { EXPECT_EQ(write(master, &key, 1), 1); }
    // Closes the terminal when asked, then whether the program ends within 5 s with status 0; it
    // is killed otherwise.
    bool Ends(bool closeTerminal) {
        if (closeTerminal) close(std::exchange(master, -1));
        const auto deadline = Now() + std::chrono::seconds(5);
        int status = -1;
        pid_t ended = 0;
        while ((ended = waitpid(pid, &status, WNOHANG)) == 0 && Now() < deadline) Read();
        if (ended == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
        }
        pid = -1;
        return status == 0;
    }

private:
    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    // Adds what arrives within 100 ms to the screen (a closed terminal just waits).
    void Read() {
        pollfd input{master, POLLIN, 0};
        char buffer[4096];
        if (poll(&input, 1, 100) > 0) screen.append(buffer, std::max<ssize_t>(0, read(master, buffer, sizeof buffer)));
    }

    int master;
    pid_t pid = -1;
    std::string screen;
    std::size_t seen = 0;
};

// The screen labels the switches; closing the terminal ends the input, and so the program.
TEST(DemoCommandTest, TerminalFlightAnswersItsSwitches) {
    TerminalDemo demo;
    ASSERT_TRUE(demo.Shows("panel 0000A1B2  \"1200110 000 \""));
    ASSERT_TRUE(demo.Shows("[2] SW2 Toggles parking brake on/off"));
    ASSERT_TRUE(demo.Shows("flight held by the parking brake at 0 s"));
    demo.Type('2');
    EXPECT_TRUE(demo.Shows(" 120 \""));
    demo.Type('2');
    EXPECT_TRUE(demo.Shows(" 000 \""));
    EXPECT_TRUE(demo.Shows("flight held by the parking brake"));
    demo.Type('7');
    EXPECT_TRUE(demo.Shows("flight paused"));
    EXPECT_TRUE(demo.Ends(true));
}

// The file given by --ini, rewritten while the demo runs, is read again without a restart.
TEST(DemoCommandTest, TerminalReadsTheConfigurationAgainWhenItChanges) {
    const std::string iniPath = TempPath("_live.ini");
    std::ofstream(iniPath) << "[0000A1B2]\noutputs=4,1,73,%g*0+42,0,2,0\n";
    TerminalDemo demo(iniPath.c_str());
    ASSERT_TRUE(demo.Shows("panel 0000A1B2  \"42"));
    std::ofstream(iniPath) << "[0000A1B2]\noutputs=4,1,73,%g*0+77,0,2,0\n\n";
    // A frame lists the panels first and the messages, which stay, below them.
    EXPECT_TRUE(demo.Shows("panel 0000A1B2  \"77"));
    EXPECT_TRUE(demo.Shows("reloaded " + iniPath + " at "));
    demo.Type('q');
    EXPECT_TRUE(demo.Ends(false));
    std::remove(iniPath.c_str());
}

TEST(DemoCommandTest, TerminalShowsACorruptSection) {
    const std::string iniPath = TempPath("_corrupt.ini");
    std::ofstream(iniPath) << "[0000A1B2]\nInputs=1\n";
    TerminalDemo demo(iniPath.c_str());
    EXPECT_TRUE(demo.Shows("Corruption of data found! File: " + iniPath +
                           " Item: Inputs. Please reinstall the configuration files"));
    demo.Type('q');
    EXPECT_TRUE(demo.Ends(false));
    std::remove(iniPath.c_str());
}

// The keys and clicks of the interactive screens, on two panels with the bundled configuration
// (SW2 parking brake, SW5 key G, SW7 pause); each row acts, then checks what a screen shows.
TEST(DemoSessionTest, KeysAndClicksAsTheScreensShowThem) {
    DemoRuntime runtime({"0000A1B2", "0000C3D4"}, "");
    DemoSession session(runtime);
    const std::string dark(kDemoDigits, ' ');
    const struct {
        const char* what;
        std::function<void(DemoSession&)> act;
        int selected;
        const char* flight;     // how the state begins
        const char* lastEvent;  // "" when nothing was sent yet
        const char* digits;     // panel 1's, once a pass has run; null: not checked
        bool secondPlugged;
    } steps[] = {
        {"start", [](DemoSession&) {}, 1, "flight held by the parking brake at 0 s", "", "1200110 000 ", true},
        {"an unknown key does nothing", [](DemoSession& s) { EXPECT_FALSE(s.Key('x')); }, 1, "flight held", "", nullptr, true},
        {"2 releases the brake", [](DemoSession& s) { EXPECT_TRUE(s.Key('2')); }, 1, "flight running at 0 s",
         "event 0x100D8 0  Toggles parking brake on/off", nullptr, true},
        {"the flight moves on", [](DemoSession& s) { s.Tick(5); }, 1, "flight running at 5 s",
         "event 0x100D8 0  Toggles parking brake on/off", nullptr, true},
        {"f pauses it", [](DemoSession& s) { s.Key('f'); s.Tick(5); }, 1, "flight paused at 5 s",
         "event 0x100D8 0  Toggles parking brake on/off", nullptr, true},
        {"SW7's pause event resumes it", [](DemoSession& s) { s.Key('7'); }, 1, "flight running at 5 s",
         "event 0x10019 0  Toggles pause on/off", nullptr, true},
        {"Tab picks panel 2, 5 types G there", [](DemoSession& s) { s.Key('\t'); s.Key('5'); }, 2, "flight running",
         "key 0x47  G Key", nullptr, true},
        {"u unplugs panel 2; its switches send nothing", [](DemoSession& s) { s.Key('u'); s.Key('2'); }, 2,
         "flight running", "key 0x47  G Key", nullptr, false},
        {"p plugs it again", [](DemoSession& s) { s.Key('p'); }, 2, "flight running", "key 0x47  G Key", nullptr, true},
        {"n wraps to panel 1", [](DemoSession& s) { s.Key('n'); }, 1, "flight running", "key 0x47  G Key", nullptr, true},
        {"no panel 3 to click", [](DemoSession& s) { s.SelectPanel(3); }, 1, "flight running", "key 0x47  G Key", nullptr, true},
        {"a click on panel 2", [](DemoSession& s) { s.SelectPanel(2); }, 2, "flight running", "key 0x47  G Key", nullptr, true},
        {"v closes the view: the displays go dark", [](DemoSession& s) { s.Key('v'); }, 2, "flight running",
         "key 0x47  G Key", dark.c_str(), true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(session);
        EXPECT_EQ(session.Selected(), step.selected);
        EXPECT_EQ(session.FlightState().rfind(step.flight, 0), 0u) << session.FlightState();
        const std::vector<std::string> events = session.Events();
        EXPECT_EQ(events.empty() ? "" : events.back(), step.lastEvent);
        if (step.digits) runtime.AwaitFreshPass();
        const std::vector<DemoPanelView> panels = session.Panels();
        ASSERT_EQ(panels.size(), 2u);
        EXPECT_TRUE(panels[static_cast<std::size_t>(step.selected - 1)].selected);
        EXPECT_FALSE(panels[static_cast<std::size_t>(2 - step.selected)].selected);
        if (step.digits) {
            EXPECT_EQ(DigitText(panels[0].rows), step.digits);
        }
        EXPECT_EQ(panels[1].plugged, step.secondPlugged);
        EXPECT_EQ(panels[1].served, step.secondPlugged);
        // An unplugged panel is dark and its buttons say nothing.
        if (!step.secondPlugged) {
            EXPECT_EQ(DigitText(panels[1].rows), dark);
        }
        EXPECT_EQ(panels[1].switches[1].action, step.secondPlugged ? "Toggles parking brake on/off" : "");
    }
    EXPECT_FALSE(session.ViewOpen());
    // The lists keep the newest lines.
    for (std::size_t i = 0; i < DemoSession::kKeptEvents; ++i) session.Key('4');
    const std::vector<std::string> events = session.Events();
    EXPECT_EQ(events.size(), DemoSession::kKeptEvents);
    EXPECT_EQ(events.front(), "event 0x102BF 0  Toggle beacon lights");
    // The buttons' labels: the key that presses each switch and what it does.
    const DemoPanelView panel = session.Panels()[0];
    const std::string labels[] = {"1 Toggle gear handle", "0 ", "a ", "e "};
    EXPECT_EQ(std::string(1, panel.switches[0].key) + " " + panel.switches[0].action, labels[0]);
    EXPECT_EQ(std::string(1, panel.switches[9].key) + " " + panel.switches[9].action, labels[1]);
    EXPECT_EQ(std::string(1, panel.switches[10].key) + " " + panel.switches[10].action, labels[2]);
    EXPECT_EQ(std::string(1, panel.switches[14].key) + " " + panel.switches[14].action, labels[3]);
    EXPECT_NE(session.FlightValues().find("altitude 1200 ft"), std::string::npos) << session.FlightValues();
    EXPECT_NE(session.FlightValues().find("parking brake off"), std::string::npos) << session.FlightValues();
}

}  // namespace
