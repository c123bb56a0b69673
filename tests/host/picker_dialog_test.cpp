// The event picker as a user meets it: opened by a board's thread while the configuration
// dialog runs on the main thread, driven with the messages of the user's actions.
#include "resources/resource_ids.h"
#include "tests/host/host_run.h"
#include "tests/host/picker_on_thread.h"
#include "tests/host/screen_stand_in.h"
#include "testbed/fs9host/dialog_driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

namespace {

class Picker : public testing::Test {
protected:
    void SetUp() override {
        // The simulator filling the screen, and the configuration dialog it owns in front, as
        // they are when a switch is pressed.
        simulator = FullScreenStandIn();
        configuration = CreateWindowExA(0, "STATIC", "Tarnell Multi Function Panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        40, 40, 500, 300, simulator, nullptr, nullptr, nullptr);
        SetForegroundWindow(configuration);
        PumpMessages();
        picker = std::make_unique<PickerOnThread>();
        ASSERT_NE(picker->Window(), nullptr);
    }
    void TearDown() override {
        picker.reset();
        DestroyWindow(configuration);
        DestroyWindow(simulator);
    }
    HWND List() const { return picker->Control(IDC_EVENT_LIST); }
    int IndexOf(const char* text) const {
        return static_cast<int>(SendMessageA(List(), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(text)));
    }
    int Selection() const { return static_cast<int>(SendMessageA(List(), LB_GETCURSEL, 0, 0)); }
    void Choose(const char* group) { ASSERT_TRUE(ChooseComboItem(picker->Window(), IDC_EVENT_GROUPS, group)) << group; }
    HWND OpenFileDialog() {
        PostClick(picker->Control(IDC_IMPORT_EVENT));
        return WaitForDialog(picker->ThreadId(), "Open", picker->Window());
    }

    HWND simulator = nullptr;
    HWND configuration = nullptr;
    std::unique_ptr<PickerOnThread> picker;
};

TEST_F(Picker, ShowsItsFontAndIconWithNothingChosen) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(picker->Window(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);

    ICONINFO icon{};  // icon 183 at 16 x 16 pixels on the find-next button
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageA(picker->Control(IDC_FIND_NEXT), BM_GETIMAGE, IMAGE_ICON, 0)), &icon));
    BITMAP bitmap{};
    GetObjectA(icon.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);

    EXPECT_EQ(SendMessageA(picker->Control(IDC_EVENT_GROUPS), CB_GETCOUNT, 0, 0), 16);
    EXPECT_EQ(SendMessageA(picker->Control(IDC_EVENT_GROUPS), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(List(), LB_GETCOUNT, 0, 0), 0);
    for (int id : {IDC_SEARCH_LABEL, IDC_SEARCH_TEXT, IDC_FIND_NEXT}) EXPECT_FALSE(IsWindowEnabled(picker->Control(id))) << id;
}

TEST_F(Picker, OpensWithoutOwnerCentredInFrontWithTheKeyboard) {
    HWND dialog = picker->Window();
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(configuration));  // the configuration dialog stays usable
    RECT work, window;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(dialog, &window);
    EXPECT_NEAR(window.left + window.right, work.left + work.right, 2);
    EXPECT_NEAR(window.top + window.bottom, work.top + work.bottom, 2);

    for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i) Sleep(20);
    EXPECT_EQ(GetForegroundWindow(), dialog);
    HWND above = GetTopWindow(nullptr);  // above the topmost simulator and its dialog
    while (above && above != dialog && above != simulator && above != configuration) above = GetWindow(above, GW_HWNDNEXT);
    EXPECT_EQ(above, dialog);
    GUITHREADINFO input{};
    input.cbSize = sizeof input;
    ASSERT_TRUE(GetGUIThreadInfo(picker->ThreadId(), &input));
    EXPECT_EQ(input.hwndFocus, picker->Control(IDC_EVENT_GROUPS));  // the first control
}

// "Aircraft Failures" lists "Toggles brake failure (both)" at 8, "Toggles left brake failure" at 10
// and "Toggles right brake failure" at 11.
TEST_F(Picker, AGroupFillsTheListAndTheSearchFollowsTypingAndFindNext) {
    Choose("Keyboard");
    EXPECT_EQ(SendMessageA(List(), LB_GETCOUNT, 0, 0), 57);
    for (int id : {IDC_SEARCH_LABEL, IDC_SEARCH_TEXT, IDC_FIND_NEXT}) EXPECT_TRUE(IsWindowEnabled(picker->Control(id))) << id;
    Choose("Aircraft Failures");
    for (char c : std::string("brake")) TypeCharacter(picker->Control(IDC_SEARCH_TEXT), c);
    EXPECT_EQ(Selection(), 8);
    // Past the last match the selection stays, and the next press starts at the top.
    for (int expected : {10, 11, 11, 8}) {
        Click(picker->Control(IDC_FIND_NEXT));
        EXPECT_EQ(Selection(), expected);
    }
    TypeCharacter(picker->Control(IDC_SEARCH_TEXT), 'x');  // "brakex": nothing
    EXPECT_EQ(Selection(), LB_ERR);
}

TEST_F(Picker, ClosesWithTheChoiceOfTheWayItWasClosed) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "mfp_picker_import.ini";
    std::ofstream(file) << "[MFP-Import]\r\nAction=1003C\r\nValue=5\r\n";
    struct Case { const char* name; std::function<void()> close; EventChoice choice; const char* description; };
    const Case cases[] = {
        {"double click", [&] { DoubleClickListItem(List(), IndexOf("B Key")); }, {0x100000E, 0}, "B Key"},
        {"OK without a selection", [&] { PostClick(picker->Control(IDOK)); }, {0x10000, 0}, "Do Nothing"},
        {"import", [&] {
             SendMessageA(List(), LB_SETCURSEL, 3, 0);  // whatever is selected
             ChooseInFileDialog(OpenFileDialog(), file);
         }, {0x1003C, 5}, "Set throttles max"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Choose("Keyboard");
        c.close();
        ASSERT_TRUE(picker->WaitClosed());
        EXPECT_EQ(picker->result, IDOK);
        EXPECT_EQ(picker->choice, c.choice);
        EXPECT_EQ(picker->description, c.description);
        picker = std::make_unique<PickerOnThread>();
    }
    DeleteFileA(file.c_str());
}

TEST_F(Picker, CancelledFileDialogLeavesThePickerOpen) {
    Choose("Keyboard");
    SendMessageA(List(), LB_SETCURSEL, 3, 0);
    HWND fileDialog = OpenFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    EXPECT_EQ(GetWindow(fileDialog, GW_OWNER), picker->Window());
    PostMessageA(fileDialog, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 100 && IsWindow(fileDialog); ++i) Sleep(20);
    EXPECT_FALSE(picker->WaitClosed(300));
    EXPECT_EQ(Selection(), 3);
    PostClick(picker->Control(IDCANCEL));
    ASSERT_TRUE(picker->WaitClosed());
    EXPECT_EQ(picker->result, IDCANCEL);
}

}  // namespace
