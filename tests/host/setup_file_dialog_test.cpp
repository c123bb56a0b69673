// ChooseSetupFile on the main thread while a second thread plays the user in the dialog.
#include "ui/setup_file_dialog.h"

#include "testbed/fs9host/dialog_driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

std::string CurrentDirectory() {
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, path);
    return path;
}

// Two folders: the process starts in one, the user picks files in the other.
class SetupFileDialog : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        base = std::string(temp) + "mfp_setup_dialog_" + std::to_string(GetCurrentProcessId());
        for (const std::string& folder : {base, Start(), Other()}) CreateDirectoryA(folder.c_str(), nullptr);
        std::ofstream(Other() + "\\event.INI") << "[MFP-Import]\r\nAction=1003C\r\n";
        original = CurrentDirectory();
        SetCurrentDirectoryA(Start().c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryA(original.c_str());
        for (const char* name : {"\\event.INI", "\\new.INI"}) DeleteFileA((Other() + name).c_str());
        for (const std::string& folder : {Start(), Other(), base}) RemoveDirectoryA(folder.c_str());
    }
    std::string Start() const { return base + "\\start"; }
    std::string Other() const { return base + "\\other"; }

    std::string base, original;
};

TEST_F(SetupFileDialog, GivesTheChosenPathOrNothingAndKeepsTheCurrentDirectory) {
    struct Case {
        const char* name;
        bool open;
        DWORD flags;
        const char* caption;
        std::vector<std::string> typed;  // each typed into the file name field and confirmed; then Cancel
        std::string chosen;              // in the other folder; empty: cancelled
    };
    const Case cases[] = {
        {"picker's import", true, kEventImportFileFlags, "Open", {Other() + "\\event.INI"}, "event.INI"},
        {"page's export", false, kSetupFileFlags, "Save As", {Other() + "\\new"}, "new.INI"},
        {"cancelled", true, kSetupFileFlags, "Open", {}, ""},
        {"cancelled in another folder", true, kSetupFileFlags, "Open", {Other()}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string filters;
        bool found = false;
        std::thread user([&, mainThread = GetCurrentThreadId()] {
            HWND dialog = WaitForDialog(mainThread, c.caption);
            if (!(found = dialog != nullptr)) return;
            HWND types = GetDlgItem(dialog, 0x470);  // the file type list
            for (int i = 0; i < SendMessageA(types, CB_GETCOUNT, 0, 0); ++i) {
                char text[64] = {};
                SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                filters += std::string(text) + "|";
            }
            for (const std::string& text : c.typed) {
                ChooseInFileDialog(dialog, text);
                for (int i = 0; i < 20 && IsWindow(dialog); ++i) Sleep(25);  // the dialog moves on
            }
            if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        const std::string path = ChooseSetupFile(c.open, nullptr, c.flags);
        user.join();
        ASSERT_TRUE(found);
        EXPECT_EQ(filters, "Multi Function Panel Import|All Files (*.*)|");
        // Paths compare without regard to case (the dialog may add the extension in lower case).
        const std::string chosen = c.chosen.empty() ? "" : Other() + "\\" + c.chosen;
        EXPECT_EQ(lstrcmpiA(path.c_str(), chosen.c_str()), 0) << path << " " << chosen;
        EXPECT_EQ(CurrentDirectory(), Start());
    }
}

}  // namespace
