// fs9host: a stand-in for Flight Simulator 2004 that loads a module, plays a scripted scenario
// against it and prints what it observed. A test fixture and a tool for trying the module.
#include "testbed/fs9host/dialog_closer.h"
#include "testbed/fs9host/host_windows.h"
#include "testbed/fs9host/module_loader.h"
#include "testbed/fs9host/notification_watch.h"
#include "testbed/fs9host/observations.h"
#include "testbed/fs9host/panels_table.h"
#include "testbed/fs9host/scenario.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: fs9host [OPTIONS] [STEP...]\n"
    "\n"
    "Stands in for Flight Simulator 2004: opens a main window of class FS98MAIN with a menu bar\n"
    "and a view window FS98CHILD \"COCKPIT - View 00\", loads the module through its exported\n"
    "Linkage and ImportTable, calls module_init, plays the steps, calls module_deinit and\n"
    "unloads it. Message boxes and dialogs the module shows are printed and closed with OK.\n"
    "The module's registrations for device notifications (its imports of\n"
    "RegisterDeviceNotificationA and UnregisterDeviceNotification) are printed as\n"
    "\"devnotify ...\" lines, and after module_deinit \"devnotify open N\".\n"
    "Every observation is one line on stdout: \"<kind> <details>\".\n"
    "\n"
    "options:\n"
    "  --module PATH          the module file (default: Tarnell_MFP.dll beside fs9host.exe)\n"
    "  --gauge TOKEN=TYPE:V   answer gauge-variable lookups of TOKEN with type code TYPE and\n"
    "                         value V (2 or 33: a double, 14: a 16-bit integer); repeatable\n"
    "  --gauges FILE          more of those, one per line\n"
    "  --script FILE          steps from a file, one per line, before those on the command line\n"
    "  --hold-dialogs MS      keep each dialog open MS milliseconds before pressing OK, after\n"
    "                         printing \"dialog-held <caption>\" (time for a screenshot)\n"
    "  --no-main-window       open no windows at all: the module finds no simulator\n"
    "  --help                 this text\n"
    "\n"
    "steps:\n"
    "  ncpaint                a non-client paint of the main window\n"
    "  menu                   print the menu bar: \"menu /path/of/item id=N|popup|separator\"\n"
    "  rebuild-menu           replace the menu bar with a fresh one\n"
    "  command:ID             WM_COMMAND with ID (8520 configuration, 8521 about box)\n"
    "  device:EVENT:TYPE:PATH WM_DEVICECHANGE, event code EVENT (0x8000 arrival, 0x8004\n"
    "                         removal), a device-interface record of device type TYPE (5)\n"
    "                         naming PATH\n"
    "  device-null:EVENT      WM_DEVICECHANGE without a record\n"
    "  show-menu:MS           open the module's popup under \"&Tarnell\" for MS milliseconds;\n"
    "                         prints \"menu-shown\" once it is up (time for a screenshot)\n"
    "  wait:MS                pump messages for MS milliseconds\n"
    "  gauge:TOKEN=TYPE:V     from now on answer lookups of TOKEN with this value\n"
    "  view-close, view-open  the view window goes, and comes back\n"
    "  ini:SECTION:KEY:VALUE  write a key of the Tarnell_MFP.ini beside the module, as an\n"
    "                         editor would (VALUE keeps its colons)\n"
    "  exit:CODE              end the process at once with ExitProcess(CODE), without\n"
    "                         module_deinit, as a host that exits abruptly does\n"
    "  counts                 print \"counts threads=N handles=M stand-in-threads=K\n"
    "                         stand-in-handles=H\" of this process (K, H: the stand-in\n"
    "                         hid.dll's threads and pipe handles; also printed before\n"
    "                         module_init and after module_deinit)\n"
    "\n"
    "steps for the simulated boards of the tests' stand-in hid.dll (MFP_SIM_BOARDS):\n"
    "  press:SERIAL:SWn       close switch n (1-15) of a board; release:SERIAL:SWn opens it\n"
    "  unplug:SERIAL          pull a board's cable, with the removal notification\n"
    "  plug:PID:SERIAL[:TYPE:VERSION]  plug a board (back) in, with the arrival notification\n"
    "  show:SERIAL            after two output passes print \"panel SERIAL matrix R0..R7\" and\n"
    "                         \"panel SERIAL ports P0..P3\" (hexadecimal, as mfp demo)\n"
    "\n"
    "user steps: a run of them is played by a \"user\" thread that starts as the step before it\n"
    "does (e.g. command:8520, whose modal dialog holds the host thread), which then waits for the\n"
    "user. Dialogs are left to the user meanwhile; the first user step that fails prints\n"
    "\"user-error <why>\" and ends the run of them. CAPTION: a dialog's caption, of any thread.\n"
    "  user:wait:CAPTION      wait up to 20 s for the dialog\n"
    "  user:gone:CAPTION      wait up to 20 s until it is gone; prints \"user gone CAPTION\"\n"
    "  user:tabs              print \"config-tabs TEXT1|TEXT2|... active=TEXTk\" of the dialog\n"
    "                         \"Tarnell MFP Configuration\"\n"
    "  user:rows              print \"config-row INPUT|ACTION|VALUE\" for each row of its visible list\n"
    "  user:choose:CAPTION:ID:TEXT  select TEXT in the combo box or list box ID of the dialog\n"
    "  user:click:CAPTION:ID  click button ID of the dialog\n"
    "  user:type:CAPTION:ID:TEXT  type TEXT into the edit control ID of the dialog\n"
    "  user:text:CAPTION      print \"user-text TEXT1|TEXT2...\", the dialog's static texts\n"
    "  user:deinit            the host's procedure calls module_deinit (posted to it)\n"
    "  user:command:ID        a menu command posted to the main window\n"
    "  user:close:CAPTION     click the dialog's close box\n"
    "  user:file:CAPTION:PATH wait for the file dialog (\"Open\", \"Save As\"), enter PATH, OK\n"
    "                         and wait until the file dialog has closed\n"
    "  user:press:SERIAL:SWn, user:release:SERIAL:SWn, user:unplug:SERIAL, user:plug:BOARDTEXT\n"
    "                         as the steps without \"user:\", then 300 ms\n"
    "  user:hold:MS           print \"user-held\", then wait MS milliseconds (time for a screenshot)\n"
    "  user:sleep:MS          wait MS milliseconds\n"
    "\n"
    "examples:\n"
    "  fs9host ncpaint menu command:8521 \"device:0x8000:5:\\\\?\\HID#VID_07C0&PID_1500&MI_01#1\"\n"
    "  fs9host command:8521 \"user:wait:About Tarnell\" \"user:click:About Tarnell:1\"\n";

struct Options {
    std::string modulePath;
    std::vector<std::string> gauges;
    std::vector<Step> steps;
    DWORD holdMilliseconds = 0;
    bool mainWindow = true;
};

std::string BesideExecutable(const char* fileName) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.rfind('\\') + 1) + fileName;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream file(path);
    std::string line;
    while (file && std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return static_cast<bool>(file) || file.eof();
}

// 0 parsed, 1 help shown, 2 bad arguments.
int ParseOptions(int argc, char** argv, Options& options) {
    options.modulePath = BesideExecutable("Tarnell_MFP.dll");
    std::vector<Step> commandLineSteps;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 1;
        } else if (argument == "--module" && hasValue) {
            options.modulePath = argv[++i];
        } else if (argument == "--gauge" && hasValue) {
            options.gauges.push_back(argv[++i]);
        } else if (argument == "--gauges" && hasValue) {
            if (!ReadLines(argv[++i], options.gauges)) return std::fprintf(stderr, "cannot read %s\n", argv[i]), 2;
        } else if (argument == "--script" && hasValue) {
            if (!ReadScenarioFile(argv[++i], options.steps))
                return std::fprintf(stderr, "cannot read scenario %s\n", argv[i]), 2;
        } else if (argument == "--no-main-window") {
            options.mainWindow = false;
        } else if (argument == "--hold-dialogs" && hasValue) {
            options.holdMilliseconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            Step step;
            if (!ParseStep(argument, step)) return std::fprintf(stderr, "unknown step or option: %s\n", argument.c_str()), 2;
            commandLineSteps.push_back(step);
        }
    }
    options.steps.insert(options.steps.end(), commandLineSteps.begin(), commandLineSteps.end());
    return 0;
}

bool FillGauges(const std::vector<std::string>& texts, PanelsTable& panels) {
    for (const std::string& text : texts) {
        uint32_t token = 0;
        GaugeValue value{};
        if (!ParseGaugeValue(text, token, value)) {
            std::fprintf(stderr, "bad gauge value: %s (want TOKEN=TYPE:VALUE)\n", text.c_str());
            return false;
        }
        panels.SetGauge(token, value);
    }
    return true;
}

void ObserveWindowProcedure(const HostWindows& windows, const char* when) {
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(windows.Main(), GWLP_WNDPROC));
    Observe("wndproc %s %s", when, current == HostWindows::OwnProcedure() ? "own" : "replaced");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int parsed = ParseOptions(argc, argv, options)) {
        if (parsed == 2) std::fputs("try fs9host --help\n", stderr);
        return parsed == 1 ? 0 : 2;
    }
    PanelsTable panels;
    if (!FillGauges(options.gauges, panels)) return 2;

    HostWindows windows;
    if (options.mainWindow && !windows.Create(GetModuleHandleA(nullptr))) {
        Observe("error cannot create the host windows (error %lu)", GetLastError());
        return 1;
    }
    PumpMessages();
    Observe("host ready");

    bool worked = false;
    {
        ModuleLoader module;
        DialogCloser closer(GetCurrentThreadId(), options.holdMilliseconds);
        PrintCounts();  // the host's own threads and handles, before the module's
        if (module.Load(options.modulePath, panels.Table())) {
            WatchDeviceNotifications(module.Handle(), windows.Main());
            HostWindows::OnDeinitRequest([&module] { module.Deinit(); });
            const std::string& path = options.modulePath;
            SetConfigurationPath(path.substr(0, path.find_last_of("\\/") + 1) + "Tarnell_MFP.ini");
            const DWORD initStart = GetTickCount();
            module.Init();
            Observe("init-ms %lu", GetTickCount() - initStart);
            if (options.mainWindow) ObserveWindowProcedure(windows, "after-init");
            PumpMessages();
            if (options.mainWindow) RunScenario(options.steps, windows, panels, closer);
            worked = true;
            const DWORD deinitStart = GetTickCount();
            module.Deinit();
            Observe("deinit-ms %lu", GetTickCount() - deinitStart);
            PrintCounts();
            ReportOpenDeviceNotifications();
            if (options.mainWindow) ObserveWindowProcedure(windows, "after-deinit");
            module.Unload();
            HostWindows::OnDeinitRequest(nullptr);
        }
    }
    Observe("gauge-lookups %d", panels.LookupCount());
    Observe("host finished");
    return worked ? 0 : 1;
}
