// mfp demo end to end: the real mfp program with scripts, arguments and on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A file of this test run: other checkouts may run this test at the same time.
std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "demo_command_test_" + std::to_string(getpid()) + name;
}

struct DemoRun {
    std::string output;
    std::string errors;
    int status;
};

// mfp demo with the arguments (shell words), standard input from /dev/null, within 30 s.
DemoRun RunMfpDemo(const std::string& arguments) {
    const std::string errorPath = TempPath(".err");
    const std::string command = std::string("timeout 30 \"") + MFP_PROGRAM + "\" demo " +
                                arguments + " </dev/null 2>" + errorPath;
    DemoRun run{"", "", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    run.status = pclose(pipe);
    std::stringstream errors;
    errors << std::ifstream(errorPath).rdbuf();
    run.errors = errors.str();
    std::remove(errorPath.c_str());
    return run;
}

DemoRun RunDemo(const std::string& script, const std::string& extraArguments = "") {
    const std::string scriptPath = TempPath(".txt");
    std::ofstream(scriptPath) << script;
    const DemoRun run = RunMfpDemo(extraArguments + " --script \"" + scriptPath + "\"");
    std::remove(scriptPath.c_str());
    return run;
}

TEST(DemoCommandTest, ScriptPrintsEventsKeysAndPanels) {
    const std::string script =
        "# gear up, a keystroke, a port LED, two panels\n"
        "\n"
        "gauge 1 1234  # altitude\n"
        "gauge 2 567 14\n"
        "gauge 3 890\n"
        "gauge 4 0\n"
        "gauge 5 1 2\n"
        "press SW1\n"
        "release SW1\n"
        "press SW5 2\n"
        "release SW5 2\n"
        "show\n"
        "view off\n"
        "show\n"
        "unplug 2\n"
        "press SW2\n"
        "release SW2\n"
        "plug 2\n"
        "press SW3 2\n";
    const DemoRun run = RunDemo(script, "--sim 0000A1B2 --sim 0000C3D4");
    // Digits "1234", "567" and "890" from columns 0, 4 and 8 (segment r in row r); LED 97
    // (row 0, column 12) for gear up; port 0 line 0 low for the parking brake. Both panels
    // read the same gauges.
    const std::string shown =
        "panel 0000A1B2 matrix 00001776 0000074F 0000077D 00000536 00000522 00000738 0000033E 00000000\n"
        "panel 0000A1B2 ports FE FF FF FF\n"
        "panel 0000A1B2 digits \"1234567 890 \"\n"
        "panel 0000C3D4 matrix 00001776 0000074F 0000077D 00000536 00000522 00000738 0000033E 00000000\n"
        "panel 0000C3D4 ports FE FF FF FF\n"
        "panel 0000C3D4 digits \"1234567 890 \"\n";
    const std::string dark =
        "panel 0000A1B2 matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000\n"
        "panel 0000A1B2 ports FF FF FF FF\n"
        "panel 0000A1B2 digits \"            \"\n"
        "panel 0000C3D4 matrix 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000\n"
        "panel 0000C3D4 ports FF FF FF FF\n"
        "panel 0000C3D4 digits \"            \"\n";
    EXPECT_EQ(run.output, "event 0x10022 0\n"
                          "key 0x47\n" +
                              shown + dark +
                              "event 0x100D8 0\n"
                              "event 0x100D7 0\n");
    EXPECT_EQ(run.status, 0);
}

TEST(DemoCommandTest, InvalidScripts) {
    const char* const scripts[] = {"press SW16\n", "press SW1 3\n", "gauge 1\n",
                                   "gauge 1 2 7\n", "wait soon\n",  "view sideways\n",
                                   "fly\n",         "show all\n"};
    for (const char* script : scripts) {
        const DemoRun run = RunDemo(std::string("show\n") + script);
        EXPECT_EQ(run.output, "") << script << "nothing runs";
        EXPECT_NE(run.status, 0) << script;
    }
}

TEST(DemoCommandTest, ShowReadsDigitsAsPeopleDo) {
    const DemoRun run = RunDemo("gauge 1 -1.5\ngauge 2 8.25\ngauge 3 -42\nshow\n");
    EXPECT_NE(run.output.find("panel 0000A1B2 digits \"-1.508.25 -42 \"\n"), std::string::npos)
        << run.output;
}

TEST(DemoCommandTest, WrongArgumentsAreNamed) {
    const std::string usage = "usage: mfp demo [--ini FILE] [--sim SERIAL]... [--script FILE]\n";
    const std::string folder = ::testing::TempDir();
    const struct {
        std::string arguments;
        std::string error;
    } cases[] = {
        {"--ini /no/such.ini", "--ini /no/such.ini: No such file or directory"},
        {"--ini " + folder, "--ini " + folder + ": is a directory"},
        {"--sim 0000A1B", "--sim 0000A1B: a serial is 8 hexadecimal digits"},
        {"--sim 0000A1BG", "--sim 0000A1BG: a serial is 8 hexadecimal digits"},
        {"--sim 0000A1B2 --sim 0000a1b2", "--sim 0000a1b2: the panel is simulated already"},
        {"--script /no/such.txt", "--script /no/such.txt: No such file or directory"},
        {"--sim", "--sim: a value must follow"},
        {"--fly", "--fly: unknown option"},
        {"-- --help", "--help: unexpected argument"},
    };
    for (const auto& c : cases) {
        const DemoRun run = RunMfpDemo(c.arguments);
        EXPECT_EQ(run.errors, "mfp demo: " + c.error + "\n" + usage) << c.arguments;
        EXPECT_EQ(run.output, "") << c.arguments;
        EXPECT_EQ(WEXITSTATUS(run.status), 2) << c.arguments;
    }
    const DemoRun help = RunMfpDemo("--help");
    for (const char* option : {"--ini FILE ", "--sim SERIAL ", "--script FILE ", "--help ", "--  "})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    EXPECT_EQ(help.status, 0);
}

// Without a terminal and without a script the bundled flight plays and ends.
TEST(DemoCommandTest, WithoutATerminalTheBundledFlightPlays) {
    const DemoRun run = RunMfpDemo("");
    const std::string last = "panel 0000A1B2 digits \"1250120 100 \"\n";
    EXPECT_EQ(run.output.substr(run.output.size() - std::min(run.output.size(), last.size())), last);
    EXPECT_EQ(run.status, 0);
}

// Reloads start the panels again; the missing section is told once.
TEST(DemoCommandTest, AMissingSectionIsToldOnce) {
    const std::string iniPath = TempPath(".ini");
    std::ofstream(iniPath) << "[0000a1b2]\n";
    const DemoRun run = RunDemo("unplug 2\nplug 2\n", "--ini " + iniPath + " --sim 0000A1B2 --sim 0000C3D4");
    EXPECT_EQ(run.errors, "mfp demo: " + iniPath +
                              " has no section [0000C3D4]: that panel gets the default configuration\n"
                              "mfp demo: 2 panel(s) started\n");
    std::remove(iniPath.c_str());
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
        CloseTerminal();
        if (pid > 0) Ended();
    }
    // Whether `text` appears within 10 s after the text the last call found.
    bool Shows(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::size_t found = 0;
        while ((found = screen.find(text, seen)) == std::string::npos)
            if (!Read() || std::chrono::steady_clock::now() > deadline) return false;
        seen = found + text.size();
        return true;
    }
    void Type(char key) { EXPECT_EQ(write(master, &key, 1), 1); }
    void CloseTerminal() {
        if (master >= 0) close(master);
        master = -1;
    }
    // Whether the program ends within 5 s with status 0; it is killed otherwise.
    bool Ended() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int status = -1;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                status = -1;
            } else if (master < 0 || !Read()) {
                usleep(100000);
            }
        }
        pid = -1;
        return status == 0;
    }

private:
    // Reads what arrives within 100 ms; false once the terminal is closed.
    bool Read() {
        pollfd input{master, POLLIN, 0};
        if (poll(&input, 1, 100) <= 0) return true;
        char buffer[4096];
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got > 0) screen.append(buffer, static_cast<std::size_t>(got));
        return got > 0;
    }

    int master;
    pid_t pid = -1;
    std::string screen;
    std::size_t seen = 0;
};

// The bundled flight answers its own switches, which the screen labels; the end of the input
// ends the program.
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
    demo.CloseTerminal();
    EXPECT_TRUE(demo.Ended());
}

TEST(DemoCommandTest, TerminalShowsACorruptSection) {
    const std::string iniPath = TempPath("_corrupt.ini");
    std::ofstream(iniPath) << "[0000A1B2]\nInputs=1\n";
    TerminalDemo demo(iniPath.c_str());
    EXPECT_TRUE(demo.Shows("Corruption of data found! File: " + iniPath +
                           " Item: Inputs. Please reinstall the configuration files"));
    demo.Type('q');
    EXPECT_TRUE(demo.Ended());
    std::remove(iniPath.c_str());
}

}  // namespace
