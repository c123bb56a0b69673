// The message boxes of the configuration dialog and its pages, owned by the dialog so that they
// stay in front of it: a file that could not be written or read, and the questions of a Save.
#pragma once

#include <windows.h>

#include <string>

void ShowFileProblem(HWND owner, const std::string& text);
// Why the file cannot be written, as the system says it ("the file is read-only", "Access is
// denied."); empty when nothing stands in the way. Changes nothing.
std::string WriteProblem(const std::string& path);
// True for Yes.
bool AskYesNo(HWND owner, const std::string& question);
