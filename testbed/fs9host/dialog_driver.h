// Driving dialogs that run their modal loop on another thread, with the messages a user's
// actions produce: for tests and for the screenshot program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The first visible dialog with this caption, other than except, of the thread, or with
// threadId 0 of any thread of this process (who opens it is not always known); waits up to
// timeoutMs for it. Null when none came.
HWND WaitForDialog(DWORD threadId, const std::string& caption, HWND except = nullptr, DWORD timeoutMs = 20000);

// A control of a dialog: its own with that id, or else the visible descendant with it (tab
// pages repeat their ids; only the active page is visible). Null when there is none.
HWND FindControl(HWND dialog, int id);
// The first visible descendant of that window class; null when there is none.
HWND FindVisibleDescendant(HWND window, const char* className);

// The user picks the item with this text in a drop-down list (the selection changes and the
// combo box tells its dialog). False when the list has no such item.
bool ChooseComboItem(HWND dialog, int comboId, const std::string& text);
// The same in a list box.
bool ChooseListItem(HWND dialog, int listId, const std::string& text);
// The user types one character into an edit control.
void TypeCharacter(HWND edit, char character);
// A click on a button: Click returns once the click was handled; PostClick at once, for a
// button that opens a modal window or ends its dialog.
void Click(HWND button);
void PostClick(HWND button);
// The user double-clicks a list box item.
void DoubleClickListItem(HWND list, int index);

// The items of a list box, in its order.
std::vector<std::string> ListTexts(HWND list);
// The texts of a tab control's tabs; active: the selected one's index, -1 for none.
std::vector<std::string> TabTexts(HWND tab, int& active);
// The rows of a report-mode list view, each the texts of its columns.
std::vector<std::vector<std::string>> ListViewRows(HWND list);

// Enters a path into a common file dialog's file name field and presses its OK button.
void ChooseInFileDialog(HWND fileDialog, const std::string& path);
