// The event picker (template 130): the window in which the user chooses the simulator event
// for a switch, by group and by incremental search, or imports one from a file. A thin view:
// EventPickerModel holds the state and the rules; this fills the controls from it and turns
// the controls' notifications into its calls.
//
// The configuration dialog opens it as its own modal child, centred over it, and keeps itself
// usable meanwhile (its Save, Cancel and close box end the picker); without a parent it stands
// alone, centred on the screen and in front. Everything here runs on the thread that calls
// DoModal.
#pragma once

#include "ui/event_picker_model.h"
#include "ui/modal_dialog.h"

class CFSEventPickerDlg : public ModalDialog {
public:
    explicit CFSEventPickerDlg(HWND parent);
    ~CFSEventPickerDlg() override;

    // Leaves the owner enabled while the picker is open, as a modeless window would.
    void KeepOwnerUsable() { ownerUsable = true; }

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
    bool ownerUsable = false;
};
