// The configuration dialog: a banner, one tab per panel board ("Halvard MFP - 1", ...) holding
// that panel's page, and "&Save" and "&Cancel" for all pages. A thin view over
// ConfigurationFlow: a switch pressed on a panel opens the event picker here, on the dialog's
// own thread, owned by the dialog.
//
// Save asks before overwriting switches that someone changed in the file while the dialog was
// open, copies the file to "Tarnell_MFP.ini.bak" (asking whether to go on when that fails),
// then writes every changed page; a write that fails is shown with the system's reason and the
// dialog stays open. Closing ends a picker and the file dialog it opened, then stops every
// board's key-matrix thread.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board/tarnell_controller.h"
#include "panels/configuration_dialog.h"
#include "ui/config_page_mfp.h"
#include "ui/configuration_flow.h"
#include "ui/modal_dialog.h"
#include "ui/picture_ctrl.h"
#include "ui/property_sheet.h"

class CConfigDlg : public ModalDialog {
public:
    explicit CConfigDlg(HWND parent);
    ~CConfigDlg() override;

    void SetBoards(const std::map<std::string, CTarnellController*>& panelBoards) { boards = panelBoards; }
    // Ends the dialog at once, with a picker and file dialog it has open, and stops listening to
    // the boards before returning: for a module unloaded while the dialog is open.
    void CloseNow();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOut();
    void RunPickers();
    bool Save();
    void PauseInputs(bool paused);
    void StopListening();

    CPictureCtrl picture{true};
    ConfigurationFlow flow{[this](bool paused) { PauseInputs(paused); }};
    std::vector<std::unique_ptr<CConfigPageMFP>> pages;
    CPropertySheet sheet;
    std::string iniPath;
    std::map<std::string, CTarnellController*> boards;
};

// The module's configuration dialog for the panel set.
class ModuleConfigurationDialog : public ConfigurationDialog {
public:
    // Owned by the simulator's main window, which stays disabled while it is open.
    explicit ModuleConfigurationDialog(HWND owner) : owner(owner) {}
    int Run(const std::map<std::string, CTarnellController*>& boards) override;
    // While Run shows the dialog: ends it now (CConfigDlg::CloseNow).
    void Close();

private:
    HWND owner;
    CConfigDlg* shown = nullptr;
};
