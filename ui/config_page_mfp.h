// One panel's tab in the configuration dialog: its fifteen switches with the event and value
// each one sends. The user binds a switch by pressing it on the panel: the page listens to its
// board, and a switch going on brings the page to the front and opens the event picker. A thin
// view: InputPageModel holds the rows and their rules.
//
// Threads: the list, the buttons and SaveInputs run on the dialog's thread. The board calls
// OnKeys on its own key-matrix thread, where the picker then runs as that thread's modal
// window; what it chose reaches the list through a message posted to the page, so a board's
// thread never waits for the dialog's.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "board/tarnell_controller.h"
#include "ui/input_page_model.h"
#include "ui/property_sheet.h"

class CConfigDlg;

class CConfigPageMFP : public CPropertyPage {
public:
    CConfigPageMFP();

    // Set by the dialog before the page's window exists.
    void SetIniPath(const std::string& path) { iniPath = path; }
    void SetBoard(CTarnellController* panelBoard) { board = panelBoard; }
    void SetIndex(int tabIndex) { index = tabIndex; }
    void SetConfigDlg(CConfigDlg* dialog) { configDlg = dialog; }

    // Save: writes the rows as the board's "Inputs" key (see InputPageModel::SaveInputs).
    void SaveInputs();
    // Shows what pickers chose since the last call.
    void ApplyPickedInputs();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int controlId, int notification) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static int OnKeys(const std::string& serial, const uint8_t* keys, void* context);
    void OnInputPressed(int port, int bit);
    void ImportSetup();
    void ExportSetup();

    void SetInput(const std::string& key, uint32_t eventId, int32_t value);
    void ShowRow(int row);
    void SizeColumns();

    HWND list = nullptr;
    HWND pageWindow = nullptr;  // kept for the board's thread, which may post to it at any time
    int index = 0;
    CConfigDlg* configDlg = nullptr;
    std::string section;
    std::string iniPath;
    CTarnellController* board = nullptr;
    InputPageModel model;
    SwitchEdges edges;  // the board's thread only
    std::mutex pickedLock;
    std::vector<std::pair<std::string, EventChoice>> picked;
};
