// The event picker (template 130): the window in which the user chooses the simulator event
// for a switch, by group and by incremental search, or imports one from a file. A thin view:
// EventPickerModel holds the state and the rules; this fills the controls from it and turns
// the controls' notifications into its calls.
//
// The panel page opens it on a board's key-matrix thread, without a parent: it then has no
// owner (the configuration dialog on its own thread stays usable) and opens centred and in
// front. Everything here runs on the thread that calls DoModal.
#pragma once

#include "ui/event_picker_model.h"
#include "ui/modal_dialog.h"
#include "ui/picker_gate.h"

class CFSEventPickerDlg : public ModalDialog {
public:
    explicit CFSEventPickerDlg(HWND parent);
    ~CFSEventPickerDlg() override;

    // The gate of the configuration dialog the picker is opened for: it ends the picker when the
    // dialog closes, and a picker opened after that ends at once with Cancel.
    void SetGate(PickerGate* pickerGate) { gate = pickerGate; }

    // After DoModal returned IDOK: the chosen event id and value, and the event's description.
    EventChoice Choice() const { return model.Choice(); }
    const std::string& Description() const { return model.Description(); }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int controlId, int notification) override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnEventSelected();
    void OnGroupChanged();
    void OnEventDoubleClicked();
    void OnImport();
    void OnSearchChanged();
    void OnFindNext();

    void ShowEvents();
    void ShowSelection();
    int ListSelection() const;

    EventPickerModel model;
    HWND groups = nullptr;
    HWND events = nullptr;
    HICON findNextIcon = nullptr;
    PickerGate* gate = nullptr;
};
