// The panel simulator's window: each panel's face drawn as the hardware looks (seven-segment
// digits, the matrix LEDs past them, the port lines' lamps), the selected panel's 15 switches
// as buttons, the terminal demo's controls, the flight's values and the lists of events and
// messages. All it shows and does comes from DemoSession; this file only draws and forwards.
#include "tools/mfp/demo/demo_window.h"

#if !defined(_WIN32)

bool DemoWindowAvailable() { return false; }

int RunDemoWindow(DemoRuntime&) { return 1; }  // not called: no window here

#else

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/mfp/demo/demo_session.h"

namespace {

const char kWindowClass[] = "MfpDemoWindow";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 100;

// Controls: switch n is kSwitchButton + n.
enum ControlId : int {
    kSwitchButton = 100,
    kNextPanel = 200,
    kUnplug,
    kPlug,
    kView,
    kPause,
    kSwitchHeading,
    kFlightText,
    kEventList,
    kMessageList,
};

// The layout, in pixels.
constexpr int kMargin = 10;
constexpr int kWidth = 820;
constexpr int kPanelHeight = 140;
constexpr int kDigitLeft = 14, kDigitTop = 32, kDigitPitch = 32, kDigitWidth = 20, kDigitHeight = 44, kSegment = 5;
constexpr int kLampLeft = 420, kLampTop = 32, kLampPitch = 12, kLampSize = 8;
constexpr int kPortLeft = 690;
constexpr int kButtonWidth = 156, kButtonHeight = 40, kButtonGap = 4;
constexpr int kControlHeight = 26;
constexpr int kEventListHeight = 150, kMessageListHeight = 80;

const COLORREF kFace = RGB(36, 36, 40), kSelectedFrame = RGB(90, 160, 255), kText = RGB(220, 220, 220), kNumbers = RGB(130, 130, 130),
               kDigitGlass = RGB(8, 8, 8), kSegmentLit = RGB(255, 48, 32), kSegmentDark = RGB(40, 12, 10),
               kLedLit = RGB(80, 240, 80), kLedDark = RGB(26, 54, 26), kPortLit = RGB(255, 176, 0),
               kPortDark = RGB(62, 46, 12);

class DemoWindow {
public:
    explicit DemoWindow(DemoRuntime& runtime) : session(runtime) {}

    int Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND AddControl(const char* className, const char* text, DWORD style, int id, int x, int y, int width, int height);
    void CreateControls();
    void Command(int id);
    void Refresh();
    void Paint();
    void DrawPanel(HDC dc, const DemoPanelView& panel, int top) const;
    int PanelsBottom() const { return kMargin + static_cast<int>(panels.size()) * kPanelHeight; }
    void UpdateScrollBar();
    void ScrollTo(int y);
    void Scroll(int request);

    DemoSession session;
    HWND window = nullptr;
    HFONT font = nullptr;
    std::vector<DemoPanelView> panels;
    std::vector<std::string> events, messages;
    int contentHeight = 0;  // the whole window's contents; more than fits on a small screen
    int scrollY = 0;        // the contents' row at the window's top
    std::chrono::steady_clock::time_point lastTick = std::chrono::steady_clock::now();
};

HWND DemoWindow::AddControl(const char* className, const char* text, DWORD style, int id, int x, int y, int width,
                            int height) {
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void DemoWindow::CreateControls() {
    int y = PanelsBottom() + 4;
    AddControl("STATIC", "", SS_LEFT, kSwitchHeading, kMargin, y, kWidth - 2 * kMargin, 18);
    y += 20;
    for (int n = 1; n <= kInputCount; ++n) {
        const int column = (n - 1) % 5, row = (n - 1) / 5;
        AddControl("BUTTON", "", BS_PUSHBUTTON | BS_MULTILINE, kSwitchButton + n,
                   kMargin + column * (kButtonWidth + kButtonGap), y + row * (kButtonHeight + kButtonGap), kButtonWidth,
                   kButtonHeight);
    }
    y += 3 * (kButtonHeight + kButtonGap) + 4;
    const struct {
        int id;
        const char* text;
    } controls[] = {{kNextPanel, "Next panel (Tab)"}, {kUnplug, "Unplug (u)"}, {kPlug, "Plug (p)"},
                    {kView, "Close the view (v)"}, {kPause, "Pause or resume (f)"}};
    int x = kMargin;
    for (const auto& control : controls) {
        AddControl("BUTTON", control.text, BS_PUSHBUTTON, control.id, x, y, kButtonWidth, kControlHeight);
        x += kButtonWidth + kButtonGap;
    }
    y += kControlHeight + 8;
    AddControl("STATIC", "", SS_LEFT, kFlightText, kMargin, y, kWidth - 2 * kMargin, 34);
    y += 38;
    AddControl("STATIC", "Sent to the simulator:", SS_LEFT, 0, kMargin, y, 300, 16);
    y += 18;
    AddControl("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, kEventList, kMargin, y,
               kWidth - 2 * kMargin, kEventListHeight);
    y += kEventListHeight + 6;
    AddControl("STATIC", "Messages of the module:", SS_LEFT, 0, kMargin, y, 300, 16);
    y += 18;
    AddControl("LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, kMessageList,
               kMargin, y, kWidth - 2 * kMargin, kMessageListHeight);
    SendDlgItemMessageA(window, kMessageList, LB_SETHORIZONTALEXTENT, 2000, 0);
    contentHeight = y + kMessageListHeight + kMargin;
    // As tall as the contents, but no taller than the screen: the rest scrolls.
    RECT frame{0, 0, kWidth, contentHeight}, workArea{0, 0, 0, 0};
    AdjustWindowRect(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const int screenHeight = workArea.bottom - workArea.top;
    const int height = screenHeight > 0 ? std::min<int>(frame.bottom - frame.top, screenHeight) : frame.bottom - frame.top;
    RECT placed;
    GetWindowRect(window, &placed);
    const int top = screenHeight > 0 ? std::max<int>(workArea.top, std::min<int>(placed.top, workArea.bottom - height))
                                     : placed.top;
    SetWindowPos(window, nullptr, placed.left, top, frame.right - frame.left + GetSystemMetrics(SM_CXVSCROLL), height,
                 SWP_NOZORDER);
    UpdateScrollBar();
}

void DemoWindow::UpdateScrollBar() {
    RECT client;
    GetClientRect(window, &client);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMax = contentHeight - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    ScrollTo(scrollY);
}

void DemoWindow::ScrollTo(int y) {
    RECT client;
    GetClientRect(window, &client);
    y = std::max(0, std::min(y, contentHeight - static_cast<int>(client.bottom)));
    if (y == scrollY) return;
    ScrollWindowEx(window, 0, scrollY - y, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrollY = y;
    SetScrollPos(window, SB_VERT, y, TRUE);
}

void DemoWindow::Scroll(int request) {
    RECT client;
    GetClientRect(window, &client);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(window, SB_VERT, &info);
    switch (request) {
        case SB_LINEUP: ScrollTo(scrollY - 20); break;
        case SB_LINEDOWN: ScrollTo(scrollY + 20); break;
        case SB_PAGEUP: ScrollTo(scrollY - client.bottom); break;
        case SB_PAGEDOWN: ScrollTo(scrollY + client.bottom); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(info.nTrackPos); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(contentHeight); break;
    }
}

void DemoWindow::Command(int id) {
    if (id > kSwitchButton && id <= kSwitchButton + kInputCount) session.PressSwitch(id - kSwitchButton);
    else if (id == kNextPanel) session.NextPanel();
    else if (id == kUnplug) session.Unplug();
    else if (id == kPlug) session.Plug();
    else if (id == kView) session.ToggleView();
    else if (id == kPause) session.TogglePause();
    else return;
    // The keys work whichever button was clicked last.
    SetFocus(window);
    Refresh();
}

// A list shows its newest line at the bottom; it is filled again only when its lines change.
void ShowLines(HWND list, std::vector<std::string>& shown, const std::vector<std::string>& lines) {
    if (lines == shown) return;
    shown = lines;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(list, LB_SETTOPINDEX, lines.empty() ? 0 : lines.size() - 1, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void SetText(HWND control, const std::string& text) {
    char now[512] = "";
    GetWindowTextA(control, now, sizeof now);
    if (text != now) SetWindowTextA(control, text.c_str());
}

void DemoWindow::Refresh() {
    const auto now = std::chrono::steady_clock::now();
    session.Tick(std::chrono::duration<double>(now - lastTick).count());
    lastTick = now;

    std::vector<DemoPanelView> views = session.Panels();
    if (views != panels) {
        panels = std::move(views);
        RECT area{0, -scrollY, kWidth, PanelsBottom() - scrollY};
        InvalidateRect(window, &area, FALSE);
    }
    const DemoPanelView& selected = panels[static_cast<std::size_t>(session.Selected() - 1)];
    SetText(GetDlgItem(window, kSwitchHeading),
            "Switches of panel " + selected.serial + " (keys 1-9, 0, a-e; Tab picks the panel):");
    for (const DemoSwitch& button : selected.switches)
        SetText(GetDlgItem(window, kSwitchButton + button.number),
                "SW" + std::to_string(button.number) + " [" + button.key + "]\r\n" +
                    (button.action.empty() ? "does nothing" : button.action));
    SetText(GetDlgItem(window, kView), session.ViewOpen() ? "Close the view (v)" : "Open the view (v)");
    SetText(GetDlgItem(window, kFlightText), session.FlightState() + ", cockpit view " +
                                                 (session.ViewOpen() ? "open" : "closed") + "\r\n" +
                                                 session.FlightValues());
    ShowLines(GetDlgItem(window, kEventList), events, session.Events());
    ShowLines(GetDlgItem(window, kMessageList), messages, session.Messages());
}

void FillRectangle(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT rect{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Lamp(HDC dc, int x, int y, bool lit, COLORREF litColour, COLORREF darkColour) {
    HBRUSH brush = CreateSolidBrush(lit ? litColour : darkColour);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, x, y, x + kLampSize + 1, y + kLampSize + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

// One segment along the line from (x1, y1) to (x2, y2), horizontal or vertical, with pointed ends.
void Segment(HDC dc, int x1, int y1, int x2, int y2) {
    const int h = kSegment / 2, gap = 1;
    POINT points[6];
    if (y1 == y2) {
        x1 += gap;
        x2 -= gap;
        points[0] = {x1, y1}, points[1] = {x1 + h, y1 - h}, points[2] = {x2 - h, y1 - h};
        points[3] = {x2, y1}, points[4] = {x2 - h, y1 + h}, points[5] = {x1 + h, y1 + h};
    } else {
        y1 += gap;
        y2 -= gap;
        points[0] = {x1, y1}, points[1] = {x1 + h, y1 + h}, points[2] = {x1 + h, y2 - h};
        points[3] = {x1, y2}, points[4] = {x1 - h, y2 - h}, points[5] = {x1 - h, y1 + h};
    }
    Polygon(dc, points, 6);
}

// A digit whose segments a (bit 0) to g and the point (bit 7) are lit where pattern has a 1.
void Digit(HDC dc, int x, int y, std::uint8_t pattern) {
    const int left = x, right = x + kDigitWidth, top = y, middle = y + kDigitHeight / 2, bottom = y + kDigitHeight;
    const int ends[7][4] = {{left, top, right, top},       {right, top, right, middle}, {right, middle, right, bottom},
                            {left, bottom, right, bottom}, {left, middle, left, bottom}, {left, top, left, middle},
                            {left, middle, right, middle}};
    HBRUSH lit = CreateSolidBrush(kSegmentLit), dark = CreateSolidBrush(kSegmentDark);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, dark);
    for (int bit = 0; bit < 7; ++bit) {
        SelectObject(dc, (pattern >> bit & 1) ? lit : dark);
        Segment(dc, ends[bit][0], ends[bit][1], ends[bit][2], ends[bit][3]);
    }
    SelectObject(dc, (pattern & 0x80) ? lit : dark);
    Ellipse(dc, right + 3, bottom - 2, right + 8, bottom + 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(lit);
    DeleteObject(dark);
}

void DemoWindow::DrawPanel(HDC dc, const DemoPanelView& panel, int top) const {
    const int left = kMargin, right = kWidth - kMargin, bottom = top + kPanelHeight - 6;
    if (panel.selected) FillRectangle(dc, left - 3, top - 3, right + 3, bottom + 3, kSelectedFrame);
    FillRectangle(dc, left, top, right, bottom, kFace);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    const std::string title = "Panel " + panel.serial + (panel.plugged ? panel.served ? "" : "  (not served)" : "  (unplugged)");
    TextOutA(dc, left + kDigitLeft, top + 8, title.c_str(), static_cast<int>(title.size()));
    const char ledTitle[] = "LEDs 97-256, 8 to a column", portTitle[] = "Ports 0-3, lines 0-7";
    TextOutA(dc, left + kLampLeft, top + 8, ledTitle, sizeof ledTitle - 1);
    TextOutA(dc, left + kPortLeft, top + 8, portTitle, sizeof portTitle - 1);

    FillRectangle(dc, left + kDigitLeft - 8, top + kDigitTop - 8, left + kDigitLeft + kDemoDigits * kDigitPitch,
                  top + kDigitTop + kDigitHeight + 8, kDigitGlass);
    // Each digit over its number, as the outputs line counts them.
    SetTextColor(dc, kNumbers);
    for (int column = 0; column < kDemoDigits; ++column) {
        const int x = left + kDigitLeft + column * kDigitPitch;
        Digit(dc, x, top + kDigitTop, DigitPattern(panel.rows, column));
        const std::string number = std::to_string(column + 1);
        TextOutA(dc, x + 6, top + kDigitTop + kDigitHeight + 12, number.c_str(), static_cast<int>(number.size()));
    }
    // The matrix columns past the digits, one lamp per LED, row 0 at the top.
    for (int column = kDemoDigits; column < 32; ++column)
        for (int row = 0; row < 8; ++row)
            Lamp(dc, left + kLampLeft + (column - kDemoDigits) * kLampPitch, top + kLampTop + row * kLampPitch,
                 panel.rows[static_cast<std::size_t>(row)] >> column & 1, kLedLit, kLedDark);
    // A port line lights its LED when it is low.
    for (int port = 0; port < 4; ++port) {
        const char number = static_cast<char>('0' + port);
        TextOutA(dc, left + kPortLeft - 14, top + kLampTop + port * kLampPitch - 3, &number, 1);
        for (int line = 0; line < 8; ++line)
            Lamp(dc, left + kPortLeft + line * kLampPitch, top + kLampTop + port * kLampPitch,
                 !(panel.ports[static_cast<std::size_t>(port)] >> line & 1), kPortLit, kPortDark);
    }
}

void DemoWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Drawn off screen, then copied at once: no flicker at ten frames a second.
    const int height = PanelsBottom();
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, height);
    HGDIOBJ oldBitmap = SelectObject(buffer, bitmap);
    HGDIOBJ oldFont = SelectObject(buffer, font);
    FillRectangle(buffer, 0, 0, kWidth, height, GetSysColor(COLOR_BTNFACE));
    for (std::size_t i = 0; i < panels.size(); ++i)
        DrawPanel(buffer, panels[i], kMargin + static_cast<int>(i) * kPanelHeight);
    BitBlt(dc, 0, -scrollY, kWidth, height, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, oldFont);
    SelectObject(buffer, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    EndPaint(window, &paint);
}

LRESULT DemoWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTickTimer) Refresh();
            return 0;
        case WM_COMMAND:
            Command(LOWORD(wParam));
            return 0;
        case WM_LBUTTONDOWN: {
            // A click on a panel selects it.
            const int y = static_cast<short>(HIWORD(lParam)) + scrollY;
            if (y >= kMargin && y < PanelsBottom()) {
                session.SelectPanel((y - kMargin) / kPanelHeight + 1);
                Refresh();
            }
            return 0;
        }
        case WM_VSCROLL:
            Scroll(LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(scrollY - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 60);
            return 0;
        case WM_SIZE:
            if (contentHeight > 0) UpdateScrollBar();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND: {
            // The panels are painted whole; only the space below them is erased.
            RECT below;
            GetClientRect(window, &below);
            below.top = PanelsBottom() - scrollY;
            FillRect(reinterpret_cast<HDC>(wParam), &below, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_DESTROY:
            KillTimer(window, kTickTimer);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK DemoWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<DemoWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DemoWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

int DemoWindow::Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    panels = session.Panels();
    if (!CreateWindowExA(0, kWindowClass, "mfp demo: the Tarnell Multi Function Panel simulator",
                         (WS_OVERLAPPEDWINDOW | WS_VSCROLL) & ~WS_MAXIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                         400, nullptr, nullptr, windowClass.hInstance, this)) {
        std::fprintf(stderr, "mfp demo: the window could not be made (error %lu)\n", GetLastError());
        return 1;
    }
    CreateControls();
    Refresh();
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, kTickTimer, kTickMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        // The terminal demo's keys work whichever control has the focus.
        if (message.message == WM_CHAR && session.Key(static_cast<int>(message.wParam))) {
            Refresh();
            continue;
        }
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

// A console, or no standard output at all (started from a shortcut), gets the window.
bool DemoWindowAvailable() {
    const DWORD type = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE));
    return type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE;
}

int RunDemoWindow(DemoRuntime& runtime) {
    DemoWindow window(runtime);
    return window.Run();
}

#endif
