// The configuration dialog: a banner, one tab per panel board ("Halvard MFP - 1", ...) holding
// that panel's page, and "&Save" and "&Cancel" for all pages. Save first copies the
// configuration file to "Tarnell_MFP.ini.bak", then every page writes its board's "Inputs".
//
// Closing (Save, Cancel, the close box) first ends an event picker that a page has open on its
// board's thread, then stops every board's key-matrix thread.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board/tarnell_controller.h"
#include "panels/configuration_dialog.h"
#include "ui/config_page_mfp.h"
#include "ui/modal_dialog.h"
#include "ui/picker_gate.h"
#include "ui/picture_ctrl.h"
#include "ui/property_sheet.h"

class CConfigDlg : public ModalDialog {
public:
    explicit CConfigDlg(HWND parent);
    ~CConfigDlg() override;

    void SetBoards(const std::map<std::string, CTarnellController*>& panelBoards) { boards = panelBoards; }

    // From any thread (a page's board thread): pause or resume every board's switch reports.
    void PauseInputs(bool paused);
    // From any thread: bring a page's tab to the front.
    void ActivatePage(int index) { sheet.PostActivePage(index); }
    PickerGate& Pickers() { return pickers; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOut();
    void OnDestroy();

    CPictureCtrl picture{true};
    std::vector<std::unique_ptr<CConfigPageMFP>> pages;
    CPropertySheet sheet;
    std::string iniPath;
    std::map<std::string, CTarnellController*> boards;
    PickerGate pickers;
};

// The module's configuration dialog for the panel set.
class ModuleConfigurationDialog : public ConfigurationDialog {
public:
    int Run(const std::map<std::string, CTarnellController*>& boards) override;
};
