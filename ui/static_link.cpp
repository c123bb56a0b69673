#include "ui/static_link.h"

#include "os/win32/module_instance.h"
#include "ui/modal_dialog.h"

#include <shellapi.h>

namespace {

// Shared by every link of the process; never released.
HCURSOR linkCursor = nullptr;

std::string WindowText(HWND window) {
    char text[1024] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string StringResource(int id) {
    char text[1024] = {};
    const int length = LoadStringA(ModuleInstance(), id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

// The old help viewer's hand, for systems whose cursor set has none.
HCURSOR LoadHelpViewerHand() {
    HMODULE viewer = LoadLibraryA("winhlp32.exe");
    if (!viewer) return nullptr;
    HCURSOR copy = nullptr;
    if (HCURSOR hand = LoadCursorA(viewer, MAKEINTRESOURCEA(106)))
        copy = reinterpret_cast<HCURSOR>(CopyIcon(reinterpret_cast<HICON>(hand)));
    FreeLibrary(viewer);
    return copy;
}

}  // namespace

CStaticLink::CStaticLink(const char* link, bool deleteOnDestroy)
    : link(link ? link : ""), deleteOnDestroy(deleteOnDestroy) {}

CStaticLink::~CStaticLink() {
    if (font) DeleteObject(font);
}

void CStaticLink::SetLinkCursor(HCURSOR cursor) { linkCursor = cursor; }

LRESULT CStaticLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTCLIENT;  // a static control gets no clicks otherwise
    case kReflectedCtlColorStatic:
        return reinterpret_cast<LRESULT>(OnReflectedCtlColor(reinterpret_cast<HDC>(wParam)));
    case WM_LBUTTONDOWN:
        OnLeftButtonDown();
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor()) return TRUE;
        break;
    default:
        break;
    }
    return CallDefault(message, wParam, lParam);
}

HBRUSH CStaticLink::OnReflectedCtlColor(HDC dc) {
    const LONG type = GetWindowLongA(Window(), GWL_STYLE) & SS_TYPEMASK;
    const bool plainText = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    if (inactive || !plainText) return nullptr;
    if (!font) {
        LOGFONTA description{};
        plainFont = reinterpret_cast<HFONT>(SendMessageA(Window(), WM_GETFONT, 0, 0));
        GetObjectA(plainFont ? plainFont : GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
        description.lfUnderline = TRUE;
        font = CreateFontIndirectA(&description);
        // Some static controls (Wine's) select their own font after asking for colours, so the
        // control gets the underlined font itself and paints once more with it.
        SendMessageA(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        InvalidateRect(Window(), nullptr, TRUE);
    }
    SelectObject(dc, font);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

void CStaticLink::OnLeftButtonDown() {
    if (inactive) return;
    bool opened = !link.empty() && Open(link);
    if (!opened && link.empty()) {
        for (const std::string& candidate : {WindowText(Window()), StringResource(GetDlgCtrlID(Window()))}) {
            if (!candidate.empty() && Open(candidate)) {
                link = candidate;
                opened = true;
                break;
            }
        }
    }
    if (!opened) {
        MessageBeep(0);
        inactive = true;
        if (font) SendMessageA(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(plainFont), TRUE);
        return;
    }
    color = kVisitedColor;
    InvalidateRect(Window(), nullptr, TRUE);
}

bool CStaticLink::Open(const std::string& target) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool CStaticLink::OnSetCursor() {
    if (inactive) return false;
    if (!linkCursor) {
        static bool triedHelpViewer = false;
        if (!triedHelpViewer) {
            triedHelpViewer = true;
            linkCursor = LoadHelpViewerHand();
        }
    }
    if (!linkCursor) return false;
    SetCursor(linkCursor);
    return true;
}

void CStaticLink::PostNcDestroy() {
    if (deleteOnDestroy) delete this;
}
