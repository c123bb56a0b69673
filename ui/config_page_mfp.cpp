#include "ui/config_page_mfp.h"

#include <commctrl.h>

#include "log/log.h"
#include "os/profile_file.h"
#include "resources/resource_ids.h"
#include "ui/file_problem.h"
#include "ui/setup_file_dialog.h"

namespace {

const char kModuleName[] = "MFP";

void SetItemText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CConfigPageMFP::CConfigPageMFP(ConfigurationFlow& flow, int index, CTarnellController* board, HWND dialog)
    : CPropertyPage(IDD_CONFIG_PAGE), flow(flow), index(index), board(board), dialog(dialog) {}

BOOL CConfigPageMFP::OnInitDialog() {
    list = GetDlgItem(Window(), IDC_INPUT_LIST);
    const char* headers[] = {"Input", "Action", "Value"};
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNA entry{};
        entry.mask = LVCF_FMT | LVCF_TEXT;
        entry.fmt = LVCFMT_LEFT;
        entry.pszText = const_cast<char*>(headers[column]);
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    }
    for (int r = 0; r < static_cast<int>(Model().Rows().size()); ++r) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<char*>(Model().Rows()[r].input.c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ShowRow(r);
    }
    if (!Model().Rows().empty()) SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    if (board && !board->SetKeyMatrixCallback(true, &CConfigPageMFP::OnKeys, this))
        theLog.Write(2, kModuleName, "The page of %s does not hear its switches\n", board->GetSerialNumber(false).c_str());
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

// On the board's key-matrix thread: queue and tell, never wait for a window.
int CConfigPageMFP::OnKeys(const std::string&, const uint8_t* keys, void* context) {
    auto* page = static_cast<CConfigPageMFP*>(context);
    if (page->flow.OnKeys(page->index, keys)) PostMessageA(page->dialog, kSwitchPressed, 0, 0);
    return 1;
}

void CConfigPageMFP::ShowRow(int row) {
    if (row < 0 || row >= static_cast<int>(Model().Rows().size())) return;
    const InputPageRow& shown = Model().Rows()[row];
    SetItemText(list, row, 1, shown.action);
    SetItemText(list, row, 2, shown.valueText);
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(shown.eventId);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    SizeColumns();
}

void CConfigPageMFP::SizeColumns() {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
}

void CConfigPageMFP::ImportSetup() {
    const std::string path = ChooseSetupFile(true, GetAncestor(Window(), GA_ROOT));
    if (path.empty()) return;
    Model().ImportSetup(ReadPanelSetup(PlatformProfileFile(), path));
    for (int r = 0; r < static_cast<int>(Model().Rows().size()); ++r) ShowRow(r);
}

void CConfigPageMFP::ExportSetup() {
    const std::string path = ChooseSetupFile(false, GetAncestor(Window(), GA_ROOT));
    if (path.empty()) return;
    if (!WritePanelSetup(PlatformProfileFile(), path, Model().ExportRows()))
        ShowFileProblem(Window(), "The setup could not be written to " + path);
}
