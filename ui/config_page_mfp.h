// One panel's tab in the configuration dialog: its fifteen switches with the event and value
// each one sends. The user binds a switch by pressing it on the panel: the page listens to its
// board and hands every report to the dialog's ConfigurationFlow, which holds the rows; the
// dialog opens the picker. A thin view: it shows the flow's rows and passes the user's clicks in.
//
// Threads: everything runs on the dialog's thread except OnKeys, which the board calls on its
// key-matrix thread; it queues the press in the flow and posts kSwitchPressed to the dialog.
#pragma once

#include <string>

#include "board/tarnell_controller.h"
#include "ui/configuration_flow.h"
#include "ui/property_sheet.h"

// Posted to the configuration dialog when a switch press waits for its picker.
constexpr UINT kSwitchPressed = WM_APP + 0x3E1;

class CConfigPageMFP : public CPropertyPage {
public:
    // Set by the dialog before the page's window exists: the flow and the page's index in it,
    // the page's board, and the dialog to tell about presses.
    CConfigPageMFP(ConfigurationFlow& flow, int index, CTarnellController* board, HWND dialog);

    // Shows a row as the flow holds it.
    void ShowRow(int row);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int controlId, int notification) override;

private:
    static int OnKeys(const std::string& serial, const uint8_t* keys, void* context);
    void ImportSetup();
    void ExportSetup();
    void SizeColumns();
    InputPageModel& Model() { return flow.Page(index); }

    ConfigurationFlow& flow;
    const int index;
    CTarnellController* const board;
    const HWND dialog;
    HWND list = nullptr;
};
