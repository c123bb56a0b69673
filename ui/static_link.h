// A static text control that behaves as a hyperlink: underlined, blue (purple once opened),
// a hand cursor, and a click opens its target with the system's default handler.
#pragma once

#include "ui/subclassed_control.h"

#include <string>

class CStaticLink : public SubclassedControl {
public:
    static constexpr COLORREF kUnvisitedColor = 0xFF0000;  // blue
    static constexpr COLORREF kVisitedColor = 0x800080;    // purple

    // link null: the target is taken from the control's text (or its string resource) on click.
    CStaticLink(const char* link, bool deleteOnDestroy);
    ~CStaticLink() override;

    void SetLink(const std::string& target) { link = target; }
    const std::string& Link() const { return link; }
    COLORREF Color() const { return color; }
    bool IsInactive() const { return inactive; }

    // The cursor every link shows; null until an about box or a first hover sets it.
    static void SetLinkCursor(HCURSOR cursor);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    bool inactive = false;

private:
    HBRUSH OnReflectedCtlColor(HDC dc);
    void OnLeftButtonDown();
    bool OnSetCursor();
    bool Open(const std::string& target);

    std::string link;
    COLORREF color = kUnvisitedColor;
    HFONT font = nullptr;       // underlined, made on first use
    HFONT plainFont = nullptr;  // the control's own font, given back when it stops being a link
    bool deleteOnDestroy;
};
