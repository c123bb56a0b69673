// The about box: the module's name, version and web addresses on white, links underlined.
#pragma once

#include "ui/modal_dialog.h"
#include "ui/static_link.h"

class CAboutDlg : public ModalDialog {
public:
    explicit CAboutDlg(HWND parent);
    ~CAboutDlg() override;

protected:
    BOOL OnInitDialog() override;
    HBRUSH OnCtlColor(UINT message, HDC dc, HWND control) override;

private:
    CStaticLink makerLink{nullptr, false};
    CStaticLink partnerLink{nullptr, false};
    // One brush for the dialog's life serves the dialog and every control.
    HBRUSH white;
};
