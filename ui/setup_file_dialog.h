// The common file dialog in which the user chooses a setup file (panel setups and single-event
// imports, config/setup_file.h).
#pragma once

#include <windows.h>

#include <string>

// The panel page's export and import: OFN_HIDEREADONLY, OFN_OVERWRITEPROMPT, OFN_FILEMUSTEXIST
// and OFN_EXPLORER; the event picker's import: the same without OFN_OVERWRITEPROMPT.
constexpr DWORD kSetupFileFlags = 0x81006;
constexpr DWORD kEventImportFileFlags = 0x81004;

// An open dialog (open true) or a save dialog of INI files, owned by owner or, when it is null,
// by the calling thread's active window. Returns the chosen full path, or the empty text when
// the user cancelled. The process's current directory is the same afterwards either way,
// though the dialog moves it while the user browses.
std::string ChooseSetupFile(bool open, HWND owner = nullptr, DWORD flags = kSetupFileFlags);
