// The help of every command, in one place so that "mfp help" and "mfp COMMAND --help" agree.
#include "tools/mfp/arguments.h"

const std::vector<CommandHelp>& AllCommandHelp() {
    static const std::vector<CommandHelp> commands = {
        {"check", "[--json | --map] [--section SERIAL] INI|-", "Checks a configuration file as the module reads it.",
         "  --json            print JSON: {\"sections\":[...]}\n"
         "  --map             draw each panel's LED matrix and ports with the output owning each cell\n"
         "  --section SERIAL  check only this board's section (absent: the defaults)\n",
         "INI - (or /dev/stdin) reads standard input; at most 1 MiB is read. Every output is tried with\n"
         "the gauge values 0, 1 and 1234.5; one that stays dark is warned about. A display is tried at\n"
         "the ends of its variable's stated range (mfp vars): a result longer than its width spills.\n"
         "Exit status: 0 no section corrupt, 1 a section corrupt, 2 the file cannot be read.\n"},
        {"demo", "[--ini FILE] [--sim SERIAL]... [--script FILE]",
         "The panel simulator: the real panel runtime, simulated panels and a simulated simulator.",
         "  --ini FILE        the Tarnell_MFP.ini to run (default: the bundled configuration for\n"
         "                    every panel); a change of FILE is read again within a second and\n"
         "                    told as \"reloaded FILE at HH:MM:SS\"\n"
         "  --sim SERIAL      a simulated panel, its serial 8 hexadecimal digits; repeatable\n"
         "                    (default: one panel, 0000A1B2)\n"
         "  --script FILE     play the script FILE (- for standard input) without a screen,\n"
         "                    print what the simulator and the panels saw, and end\n",
         "On Windows it opens a window that shows the panels, with a button for each switch; in a\n"
         "terminal it draws them there; either way it flies the bundled flight and lists its keys.\n"
         "With nowhere to draw (on Windows, output to a file or pipe; elsewhere, input or output not\n"
         "a terminal) and without --script it plays the bundled flight as a script and ends.\n\n"
         "Script: one command a line, # starts a comment; PANEL is 1 to the number of panels in\n"
         "--sim order, 1 when left out.\n"
         "  press SWn [PANEL], release SWn [PANEL]   n 1 to 15\n"
         "  gauge ID VALUE [TYPE]         ID 0 to 4294967295 or an FS2004 name (mfp vars); TYPE 33\n"
         "                                double (default), 14 int16, 2 int8 (the low 8 bits of the\n"
         "                                integer part)\n"
         "  wait MS                       MS 0 to 3600000\n"
         "  view off, view on             close or open the simulator's view\n"
         "  unplug [PANEL], plug [PANEL]  pull or plug in the panel\n"
         "  show                          print each panel's LED rows, port bytes and digits\n"
         "Output lines: event 0xID VALUE; key 0xVK; panel SERIAL matrix ROW1..ROW8;\n"
         "panel SERIAL ports PORT0..PORT3; panel SERIAL digits \"TEXT\".\n\n"
         "Exit status: 0 done, 2 a wrong argument, an unreadable file or a wrong script line.\n"},
        {"eval", "[--degrees] [STATEMENT...]", "Evaluates output formulas as the panel outputs do.",
         "  --degrees         angles in degrees (the panel outputs use radians)\n",
         "Prints one line per statement: the result, or \"error: \" and why. Without statements it\n"
         "reads one per line of standard input. Variables carry over from one statement to the\n"
         "next. Exit status 1 when a statement failed.\n\n"
         "A statement is EXPRESSION or NAME=EXPRESSION. Numbers: 12.5, 1e3, 2i, 0x1F, 0b101;\n"
         "constants pi and e; operators + - * / % (remainder) and parentheses (no ^: use pow).\n"
         "Function names ignore case; each with an example and its result:\n"
         "  abs(z)      magnitude               abs(3+4i)     5\n"
         "  acos(x)     arc cosine              acos(1)       0\n"
         "  asin(x)     arc sine                asin(1)       1.5708\n"
         "  atan(x)     arc tangent             atan(1)       0.7854\n"
         "  cos(z)      cosine                  cos(pi)       -1\n"
         "  cosh(z)     hyperbolic cosine       cosh(0)       1\n"
         "  cpx(a,b)    1 if a <= x < b, else 0 cpx(0,10)     1 after x=5\n"
         "  exp(z)      e to the power z        exp(1)        2.7183\n"
         "  im(z)       imaginary part          im(3+4i)      4\n"
         "  int(x)      whole part (toward 0)   int(-2.7)     -2\n"
         "  ln(z)       natural logarithm       ln(e)         1\n"
         "  log(z)      logarithm to base 10    log(1000)     3\n"
         "  max(a,b)    the smaller (sic)       max(2,5)      2\n"
         "  min(a,b)    the larger (sic)        min(2,5)      5\n"
         "  norm(z)     squared magnitude       norm(3+4i)    25\n"
         "  pow(z,w)    z to the power w        pow(2,10)     1024\n"
         "  pol(r,a)    r at angle a, as x + yi pol(2,0)      2\n"
         "  re(z)       real part               re(3+4i)      3\n"
         "  rnd(z)      random, 0 to z          rnd(10)       e.g. 3.9171\n"
         "  sin(z)      sine                    sin(0)        0\n"
         "  sinh(z)     hyperbolic sine         sinh(0)       0\n"
         "  sqr(z)      square root             sqr(-4)       0 + 2i\n"
         "  sqrn(z,n)   n-th root               sqrn(27,3)    3\n"
         "  tan(z)      tangent                 tan(0)        0\n"
         "  tanh(z)     hyperbolic tangent      tanh(0)       0\n"
         "  !(x)        factorial               !(5)          120\n"},
        {"events", "[--category N] [--search TEXT] [--json]",
         "Lists the event catalogue: one \"0xID<TAB>description\" line per event.",
         "  --category N      only category N (1 to 15; 0, the default, lists all)\n"
         "  --search TEXT     only descriptions containing TEXT, ignoring case\n"
         "  --json            a JSON array of {\"id\",\"category\",\"text\"}\n",
         ""},
        {"panels", "[--sim PID:SERIAL[:TYPE:VERSION]]... [--test [--step-ms N]] [--watch [--watch-ms N] [--sim-keys SCRIPT]]",
         "Lists the boards, tests each panel's wiring, watches its switches.",
         "  --sim PID:SERIAL[:TYPE:VERSION]\n"
         "                    attach a simulated board instead of the real ones; repeatable.\n"
         "                    PID: 03E8, 03EA or 1583; SERIAL: 8 hexadecimal digits, or -NAME for\n"
         "                    a chip without a serial (NAME: up to 8 letters and digits); TYPE and\n"
         "                    VERSION of sub-module 1: 2 hexadecimal digits each (default 02:01,\n"
         "                    a panel)\n"
         "  --test            light every matrix LED, digit and port line of each panel in turn and\n"
         "                    clear them again; simulated panels are checked as well\n"
         "  --step-ms N       how long each one stays lit (default 100, 0 with --sim)\n"
         "  --watch           print every switch that goes on or off until Ctrl-C\n"
         "  --watch-ms N      stop watching after N milliseconds\n"
         "  --sim-keys SCRIPT while watching, act on simulated boards; actions separated by ';':\n"
         "                    press SERIAL BYTE BIT, release SERIAL BYTE BIT, wait MS\n",
         ""},
        {"vars", "[--search TEXT] [--json]",
         "Lists FS2004's gauge variables: one \"NUMBER<TAB>NAME<TAB>description\" line each.",
         "  --search TEXT     only variables whose name or description holds TEXT, ignoring case;\n"
         "                    \"_\" and space match each other\n"
         "  --json            a JSON array of {\"number\",\"name\",\"description\",\"unit\"}\n",
         "Field 3 of an output takes the number or the name. The description ends with the unit,\n"
         "scale or encoding where a public source states it; otherwise the value is the simulator's\n"
         "raw value, to be tried out.\n"},
    };
    return commands;
}

const CommandHelp* FindCommandHelp(std::string_view command) {
    for (const CommandHelp& help : AllCommandHelp())
        if (command == help.name) return &help;
    return nullptr;
}
