// What a test asks of the stand-in boards through the environment, besides MFP_SIM_BOARDS, when
// the boards live in a program it cannot reach into (mfp.exe):
//  - MFP_SIM_TRACE=FILE: whenever an output report a board took changed what the board shows,
//    a line is appended to FILE with what SimBoardMatrix and SimBoardPorts now give:
//    "SERIAL matrix R0 ... R7 ports P0 ... P3" (rows as 8, ports as 2 hexadecimal digits).
//  - MFP_SIM_KEYS=SCRIPT: switches set through SimBoardSetKey, in the language of
//    `mfp panels --sim-keys`: "press SERIAL BYTE BIT; wait MS; release SERIAL BYTE BIT", begun
//    once every board it names reports its switches (the host has switched the key matrix on and
//    asked for its state), within 20 s.
#pragma once

#include "os/sim_board.h"

// After a board took an output report.
void TraceBoard(const SimBoard& board);
// Starts MFP_SIM_KEYS, if set, on a thread of its own.
void StartKeyScript();
