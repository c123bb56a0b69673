#include "ui/config_page_mfp.h"

#include <commctrl.h>

#include <cstdio>

#include "log/log.h"
#include "os/profile_file.h"
#include "os/user_message.h"
#include "resources/resource_ids.h"
#include "ui/config_dlg.h"
#include "ui/fs_event_picker_dlg.h"
#include "ui/setup_file_dialog.h"

namespace {

const char kModuleName[] = "MFP";
constexpr UINT kShowPickedInputs = WM_APP + 0x3E1;

void SetItemText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CConfigPageMFP::CConfigPageMFP() : CPropertyPage(IDD_CONFIG_PAGE) {}

BOOL CConfigPageMFP::OnInitDialog() {
    pageWindow = Window();
    list = GetDlgItem(Window(), IDC_INPUT_LIST);
    const char* headers[] = {"Input", "Action", "Value"};
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNA entry{};
        entry.mask = LVCF_FMT | LVCF_TEXT;
        entry.fmt = LVCFMT_LEFT;
        entry.pszText = const_cast<char*>(headers[column]);
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    }
    if (!board) {
        SizeColumns();
        return TRUE;
    }
    section = board->GetSerialNumber(false);
    // Read first: the board calls back at once, and may report switches from then on.
    model.Load(PlatformProfileFile(), iniPath, section, PlatformUserMessages());
    for (int r = 0; r < static_cast<int>(model.Rows().size()); ++r) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<char*>(model.Rows()[r].input.c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ShowRow(r);
    }
    if (!model.Rows().empty()) SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    if (!board->SetKeyMatrixCallback(true, &CConfigPageMFP::OnKeys, this))
        theLog.Write(2, kModuleName, "The page of %s does not hear its switches\n", section.c_str());
    SizeColumns();
    return TRUE;
}

bool CConfigPageMFP::OnCommand(int controlId, int notification) {
    if (notification != BN_CLICKED) return false;
    if (controlId == IDC_IMPORT_SETUP) ImportSetup();
    else if (controlId == IDC_EXPORT_SETUP) ExportSetup();
    else return false;
    return true;
}

bool CConfigPageMFP::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message != kShowPickedInputs) return false;
    ApplyPickedInputs();
    return true;
}

int CConfigPageMFP::OnKeys(const std::string&, const uint8_t* keys, void* context) {
    auto* page = static_cast<CConfigPageMFP*>(context);
    for (const auto& wentOn : page->edges.OnReport(keys)) page->OnInputPressed(wentOn.first, wentOn.second);
    return 1;
}

// On the board's key-matrix thread.
void CConfigPageMFP::OnInputPressed(int port, int bit) {
    const std::string key = InputKey(port, bit);
    // A switch the page has no row for (beyond SW15, or every switch of a page whose key was
    // corrupt) opens no picker: what the user chose there could not be shown or saved.
    if (model.RowOfKey(key) < 0) {
        theLog.Write(0, kModuleName, "Switch %s of %s has no row\n", key.c_str(), section.c_str());
        return;
    }
    PickerGate& gate = configDlg->Pickers();
    const auto turn = gate.TakeTurn();
    if (gate.IsClosed()) return;
    configDlg->PauseInputs(true);
    configDlg->ActivatePage(index);
    CFSEventPickerDlg picker(nullptr);
    picker.SetGate(&gate);
    if (picker.DoModal() == IDOK && !gate.IsClosed()) {
        {
            std::lock_guard<std::mutex> hold(pickedLock);
            picked.emplace_back(key, picker.Choice());
        }
        PostMessageA(pageWindow, kShowPickedInputs, 0, 0);
    }
    configDlg->PauseInputs(false);
}

void CConfigPageMFP::ApplyPickedInputs() {
    std::vector<std::pair<std::string, EventChoice>> choices;
    {
        std::lock_guard<std::mutex> hold(pickedLock);
        choices.swap(picked);
    }
    for (const auto& choice : choices) SetInput(choice.first, choice.second.eventId, choice.second.value);
}

void CConfigPageMFP::SetInput(const std::string& key, uint32_t eventId, int32_t value) {
    const int row = model.SetInput(key, eventId, value);
    if (row < 0) return;
    ShowRow(row);
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    SizeColumns();
}

void CConfigPageMFP::ShowRow(int row) {
    const InputPageRow& shown = model.Rows()[row];
    SetItemText(list, row, 1, shown.action);
    SetItemText(list, row, 2, shown.valueText);
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(shown.eventId);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void CConfigPageMFP::SizeColumns() {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
}

void CConfigPageMFP::SaveInputs() {
    switch (model.SaveInputs(PlatformProfileFile(), iniPath, section)) {
    case SaveResult::Written:
        theLog.Write(0, kModuleName, "Saved the inputs of %s\n", section.c_str());
        break;
    case SaveResult::Unchanged:
        break;
    case SaveResult::NoRows:
        theLog.Write(0, kModuleName, "The inputs of %s could not be read and are left as they are\n", section.c_str());
        break;
    case SaveResult::WriteFailed:
        theLog.Write(2, kModuleName, "The inputs of %s could not be written to %s\n", section.c_str(), iniPath.c_str());
        break;
    }
}

void CConfigPageMFP::ImportSetup() {
    const std::string path = ChooseSetupFile(true, GetAncestor(Window(), GA_ROOT));
    if (path.empty()) return;
    model.ImportSetup(ReadPanelSetup(PlatformProfileFile(), path));
    for (int r = 0; r < static_cast<int>(model.Rows().size()); ++r) ShowRow(r);
    SizeColumns();
}

void CConfigPageMFP::ExportSetup() {
    const std::string path = ChooseSetupFile(false, GetAncestor(Window(), GA_ROOT));
    if (path.empty()) return;
    if (!WritePanelSetup(PlatformProfileFile(), path, model.ExportRows()))
        theLog.Write(2, kModuleName, "The setup could not be written to %s\n", path.c_str());
}
