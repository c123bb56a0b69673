# Runs the mfp tool as a user would, once per row, and checks its exit status and that what it
# printed (standard output, then standard error) holds the expected text.
# -DMFP=<program> [-DEMULATOR=<wine>]
# Under wine the launcher ends a program that is still running before the row's own time limit,
# naming what held its output.
set(ENV{MFP_WINE_DEADLINE} 15)
function(row status expected)
  # Standard input is always a file: never the terminal or pipe the test runner was given.
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/mfp_input.txt "${stdin}")
  execute_process(COMMAND ${EMULATOR} ${MFP} ${ARGN} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/mfp_input.txt
                  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 20)
  string(REPLACE "\r" "" output "${output}${errors}")
  string(FIND "${output}" "${expected}" at)
  if(NOT result STREQUAL status OR at EQUAL -1)
    message(SEND_ERROR "mfp ${ARGN}\ngave status ${result} and:\n${output}\n"
                       "expected status ${status} and, within it:\n${expected}")
  endif()
endfunction()
string(ASCII 27 escape)

# The conventions: version, help, errors that name the argument, "--".
row(0 "mfp 1.0.0.0\n" --version)
row(0 "  panels  Lists the boards" help)
row(2 "mfp: frob: unknown command\nusage: mfp COMMAND" frob)
row(0 "  --search TEXT     only descriptions" events --help)
row(0 "  --sim-keys SCRIPT while watching" help panels)
row(0 "  sqrn(z,n)   n-th root               sqrn(27,3)    3\n" eval --degrees --help)
row(2 "mfp events: --category 16: categories are 0 to 15\nusage: mfp events [--category N]" events --category 16)
row(2 "mfp events: --category: a value must follow\n" events --category)
row(2 "mfp events: json: unexpected argument\n" events --json json)
row(2 "mfp events: --bogus: unknown option\n" events --bogus)
row(2 "mfp events: \\x1B[2J: unexpected argument\n" events "${escape}[2J")
row(2 "mfp check: INI: the configuration file to check is missing\nusage: mfp check" check --json)
row(2 "mfp check: /no/such.ini: No such file or directory\nusage: mfp check" check /no/such.ini)
row(2 "mfp check: -h: unknown option\nusage: mfp check" check -h)
row(2 "mfp check: b.ini: unexpected argument\nusage: mfp check" check - b.ini)
set(stdin "[misc]\nDebug=1\n")
row(0 "no board sections" check -)
# Digits and matrix LEDs share the matrix; two outputs on one port line fight over it. The map
# marks each cell with its output and overlaps with "#": LED 9 is row 1 of digit 2's column.
set(stdin "[0000A1B2]\noutputs=4,1,73,%g,0,4,0,2,9,73,%g,1,0,0,2,256,73,%g,1,0,0,1,0,73,%g,1,0,3,1,0,73,%g,1,0,3\n")
set(plain "1111.... ........ ........ ........\n")
row(0 "    1 a      1#11.... ........ ........ ........\n    2 b      ${plain}    3 c      ${plain}    4 d      ${plain}\
    5 e      ${plain}    6 f      ${plain}    7 g      ${plain}    8 point  1111.... ........ ........ .......3\n\
  ports: lines 0 to 7\n    port 0     ...#....\n" check --map -)
row(0 "warning: outputs: output 2 (led 9, in digit 2's column) and output 1 (digits 1 to 4) share the matrix: each garbles the other\n  warning: outputs: output 5 (port 0 line 3) and output 4 (port 0 line 3) drive the same line" check -)
set(stdin "")
# mfp vars: FS2004's numbers and names, searched in any case with "_" and space alike.
row(0 "73\tPLANE_ALTITUDE\tAltitude of the aircraft (raw simulator value)\n" vars --search "plane altitude")
row(0 "23\tCOM_FREQUENCY\tCOM radio active frequency (BCD)\n" vars --search com_FREQ)
row(0 "[\n{\"number\":908,\"name\":\"TRAILING_EDGE_FLAPS0_RIGHT_ANGLE\"" vars --json --search "flaps0 right angle")
row(2 "mfp vars: --category: unknown option\nusage: mfp vars [--search TEXT] [--json]" vars --category 1)
row(2 "mfp panels: --sim 3e8:0000000A: product id 3e8: 4 hexadecimal digits expected\n" panels --sim 3e8:0000000A)
row(2 "--sim 1500:0000000A: product id 1500: the kit opens 03E8 03EA 1583\n" panels --sim 1500:0000000A)
row(2 "mfp panels: --step-ms x: a whole number of milliseconds expected\n" panels --test --step-ms x)
row(2 "mfp panels: --sim 1583:0000000a: the board is simulated already\n" panels --sim 1583:0000000A --sim 1583:0000000a)
row(2 "mfp panels: --sim-keys: needs --sim and --watch\n" panels --sim 1583:0000000A --sim-keys "wait 1")
row(2 "--sim-keys: press 0000000B 0 3: press SERIAL BYTE BIT" panels --sim 1583:0000000A --watch --sim-keys "press 0000000B 0 3")
# Chips without a serial share one device key: both are listed and watched, named by place.
row(0 "note: #1 and #2 have no serial number and share the device key 1583-: the module uses only #2\n#2 0001 SW2  on\n"
    panels --sim 1583:-A --sim 1583:-B --watch --watch-ms 300 --sim-keys "press -A 0 1")
# --watch-ms ends the watch while the key script still waits.
row(0 "1583-0000000A    0000000A  0x1583     02 01     yes\n" panels --sim 1583:0000000A --watch --watch-ms 100 --sim-keys "wait 60000")

# mfp eval: results, error lines, exit status, standard input, degrees. In the Windows build
# each row costs a wine start, so the rows are few and full.
row(1 "14\n0 + 2i\n5\nerror: What ??? '^'\n6\n-6\n1.5708\n" eval "2 + 3 * 4" "sqr(-4)" "x=5" "2^3" "x+1" "-2*3" "asin(1)")
row(0 "90\n-1\n" eval --degrees "asin(1)" "cos(180)")
row(0 "0\n5\n" eval -- -0 --5)
row(1 "error: Missing ')'\nerror: What ??? '\\x1B'\n" eval "1+(" "1${escape}")
# Without statements: one per line of standard input, variables carried from line to line.
set(stdin "a=3\r\n\r\n a * 10\nfoo(1)\ncpx(0,a)\n")
row(1 "3\n0\n30\nerror: Syntax Error: 'foo(1'\n1\n" eval)
set(stdin "")
# Both builds give these: the i686 C runtime's sine and cosine part from glibc's only for angles
# beyond about 1e15 radians (cos(1e16) is -0.62618 there, -0.62617 here), so these are the limit.
row(0 "-0.51319\n0.85827\n-1.6724\n1.0142e+304\n" eval "cos(1e15)" "sin(1e15)" "tan(1e15)" "exp(700)")
