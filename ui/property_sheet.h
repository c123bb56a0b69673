// Pages behind tabs, on plain Win32. The sheet is a child dialog holding a tab control; each
// page a child dialog of the sheet, made from its own template when its tab is first activated.
// The sheet has no buttons: the dialog that holds it acts for all pages.
#pragma once

#include "ui/dialog_window.h"

#include <string>
#include <vector>

class CPropertyPage : public DialogWindow {
public:
    explicit CPropertyPage(int templateId) : templateId(templateId) {}

    // The tab's title, set before the page is added.
    void SetCaption(const std::string& text) { caption = text; }

protected:
    // Enter and Esc in a page belong to the dialog that holds the sheet.
    void OnOK() override {}
    void OnCancel() override {}

private:
    friend class CPropertySheet;
    int templateId;
    std::string caption;
};

class CPropertySheet : public DialogWindow {
public:
    // Adds a page (not owned) behind the last tab; before Create.
    void AddPage(CPropertyPage* page) { pages.push_back(page); }
    // Makes the sheet a child of parent at its top-left corner, just large enough for the
    // largest page under its tabs. No page window exists yet.
    bool Create(HWND parent, DWORD style, DWORD exStyle);
    // Shows page index in front of the others, making its window first when needed.
    bool SetActivePage(int index);
    // The same from any thread: done by the sheet's thread in its own time.
    void PostActivePage(int index);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The tab control fills the sheet; each page the tab control's display area.
    void PlaceTabsAndPages();
    RECT PageArea() const;

    std::vector<CPropertyPage*> pages;
    HWND tabs = nullptr;
    int active = -1;
};
