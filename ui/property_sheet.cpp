#include "ui/property_sheet.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

#include <algorithm>

namespace {
constexpr UINT kActivatePage = WM_APP + 0x3E0;
}  // namespace

bool CPropertySheet::Create(HWND parent, DWORD style, DWORD exStyle) {
    return CreateModeless(IDD_PROPERTY_SHEET, parent, style, exStyle);
}

BOOL CPropertySheet::OnInitDialog() {
    tabs = GetDlgItem(Window(), IDC_SHEET_TABS);
    SIZE largest{0, 0};
    for (size_t i = 0; i < pages.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(pages[i]->caption.c_str());
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        const SIZE size = TemplateSize(pages[i]->templateId);
        largest = SIZE{std::max(largest.cx, size.cx), std::max(largest.cy, size.cy)};
    }
    // The pages share the sheet's font, so its dialog units are theirs.
    RECT area{0, 0, largest.cx, largest.cy};
    MapDialogRect(Window(), &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(Window(), nullptr, 0, 0, area.right - area.left, area.bottom - area.top, SWP_NOZORDER | SWP_NOMOVE);
    PlaceTabsAndPages();
    return FALSE;
}

RECT CPropertySheet::PageArea() const {
    RECT area{};
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, Window(), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void CPropertySheet::PlaceTabsAndPages() {
    RECT client{};
    GetClientRect(Window(), &client);
    SetWindowPos(tabs, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
    const RECT area = PageArea();
    for (CPropertyPage* page : pages)
        if (page->Window())
            SetWindowPos(page->Window(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= static_cast<int>(pages.size())) return false;
    CPropertyPage* page = pages[index];
    if (!page->Window() && !page->CreateModeless(page->templateId, Window(), WS_CHILD | DS_CONTROL, WS_EX_CONTROLPARENT))
        return false;
    const RECT area = PageArea();
    // Above the tab control, which comes first among the sheet's children.
    SetWindowPos(page->Window(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_SHOWWINDOW);
    if (active >= 0 && active != index && pages[active]->Window()) ShowWindow(pages[active]->Window(), SW_HIDE);
    active = index;
    SendMessageA(tabs, TCM_SETCURSEL, index, 0);
    return true;
}

void CPropertySheet::PostActivePage(int index) { PostMessageA(Window(), kActivatePage, index, 0); }

bool CPropertySheet::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kActivatePage:
        SetActivePage(static_cast<int>(wParam));
        return true;
    case WM_SIZE:
        if (tabs) PlaceTabsAndPages();  // also sent while the window is made, before the tabs exist
        return true;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != tabs || header->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
        SetActivePage(static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)));
        return true;
    }
    default:
        return false;
    }
}
