/* The board controls of the stand-in hid.dll, for test hosts (fs9host scenarios, gtests).
 *
 * The stand-in hid.dll, setupapi.dll and cfgmgr32.dll present simulated IO-Warrior boards (the
 * SimBoard model of os/sim_board.h) to the module's Windows HID side, which loads them by name.
 *
 * Setting up a test host:
 *  - The host program runs from build/win32/bin/standin/, where the three stand-ins are built
 *    (Windows looks for a DLL loaded by name in the program's own folder first; Wine even takes
 *    a hid.dll found there without an override, so they are kept out of bin/). The module itself
 *    may live elsewhere (fs9host --module PATH); fs9host.exe is copied there.
 *  - WINEDLLOVERRIDES="mscoree,mshtml=;hid,setupapi,cfgmgr32=n": without it Wine keeps its own
 *    setupapi.dll and cfgmgr32.dll.
 *  - MFP_SIM_BOARDS: the boards attached at start, comma-separated PID:SERIAL[:TYPE:VERSION]
 *    board texts (config/sim_board_text.h: hexadecimal; SERIAL -NAME is a chip without a serial
 *    string). Read when hid.dll is first used; an entry not understood is ignored with a line on
 *    stderr. Two foreign HID devices are always present as well: a mouse (046D:C077, every
 *    string request fails) and an IO-Warrior 24 (07C0:1501, serial 00001A2B).
 *  - MFP_SIM_TRACE and MFP_SIM_KEYS (board_script.h) record what the boards show and set their
 *    switches for a program the test cannot reach into.
 *  - Reach these functions with GetProcAddress(GetModuleHandleA("hid.dll"), "SimBoardPlug") once
 *    the module has loaded hid.dll (or LoadLibraryA("hid.dll") under the same overrides). hid.dll
 *    pins itself, so it stays loaded, and the boards stay as they are, across the kit's closes.
 *
 * Every board interface is a message-mode named pipe named like the device-interface path of a
 * real chip: \\.\pipe\hid#vid_07c0&pid_PPPP&mi_0K#mfp&SERIAL#{4d1e55b2-f16f-11cf-88cb-001111000030}
 * (PPPP the product id in lower-case hexadecimal, K the interface, SERIAL as in its board text). Made a
 * device-change notification path (\\?\ in place of \\.\pipe\), interface 1's path is one the
 * module reloads its panels for when the product is one it recognises in notifications (03E8,
 * 03EA, 1500), not 1583 (the product the kit opens).
 *
 * All functions may be called from any thread; serials compare without regard to case.
 */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Attaches a board: a new serial adds a board (powered up, its interfaces enumerated and
 * openable when this returns); the serial of an unplugged board plugs that same board back,
 * powered up afresh (functions off, LEDs dark, lines high; its switches keep their state), and
 * the rest of the board text is then ignored.
 * 0: done; 1: that board is plugged already, nothing changed; -1: board text not understood (or 64
 * boards are known already). */
int SimBoardPlug(const char* boardText);

/* Pulls a board out. When it returns, every read pending on its interfaces has failed
 * (ERROR_PIPE_NOT_CONNECTED), every later read and write on handles opened before fails, new
 * opens fail (ERROR_FILE_NOT_FOUND), and the board is no longer enumerated.
 * 0: done, also when it was unplugged already; -1: no such board. */
int SimBoardUnplug(const char* serial);

/* Closes (down != 0) or opens a switch: bit `bit` (0..7) of key byte `keyByte` (0..7). Once the
 * host has switched the key matrix on and sent a read request (report 0x19), the board answers
 * every change with the key state, reports 0x1A (key bytes 4..7) then 0x19 (key bytes 0..3),
 * 8 bytes each on interface 1, as the chip does; otherwise only the state changes. Works while
 * unplugged too (a switch held while plugging in).
 * 0: done; -1: no such board; -2: keyByte or bit out of range. */
int SimBoardSetKey(const char* serial, int keyByte, int bit, int down);

/* The LED matrix: bit c of rows[r] is column c (0..31) of row r (0..7); all 0 while the LED
 * matrix function is off. An unplugged board keeps showing what it showed until plugged back.
 * 0: done; -1: no such board; -2: rows is null. */
int SimBoardMatrix(const char* serial, unsigned rows[8]);

/* The levels of port lines 0..3 (bit = line; 1 = high, all high at power-up).
 * 0: done; -1: no such board; -2: ports is null. */
int SimBoardPorts(const char* serial, unsigned char ports[4]);

/* The threads the stand-in has started to serve its pipes. They never end (Wine can crash a
 * process that exits while a thread is ending), so a host counting the module's threads
 * subtracts them. */
int SimBoardThreads(void);

/* The handles the stand-in holds open to serve its pipes (instances and their events): their
 * number follows the module's opens, so a host counting the module's handles subtracts them. */
int SimBoardHandles(void);

#ifdef __cplusplus
}
#endif
