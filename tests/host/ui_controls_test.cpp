// The about box's version text and the picture and link controls, in-process under wine.
#include "tests/host/host_run.h"
#include "ui/module_version.h"
#include "ui/picture_ctrl.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr int kBannerId = 1004;
constexpr int kBannerWidth = 480;  // pixels of resources/banner.jpg
constexpr int kBannerHeight = 64;
constexpr int kImageId = 2001;    // an "IMAGE" resource of this test program (the banner)
constexpr int kNoImageId = 2002;  // no resource of any type

TEST(ModuleVersion, FormatsTheFileVersionString) {
    const struct {
        const char* fileVersion;
        const char* shown;
    } cases[] = {
        {"1, 2, 6, 0", "1.2.6.0"}, {"1,0,0,0", "1.0.0.0"}, {" 2 , 3 ", "2.3"}, {"1.0.0.0", "1.0.0.0"}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatVersionText(c.fileVersion), c.shown) << c.fileVersion;
}

TEST(ModuleVersion, ReadsTheModulesVersionResource) {
    EXPECT_EQ(FileVersionText(BesideTestProgram("Tarnell_MFP.dll")), "1.0.0.0");
    EXPECT_EQ(FileVersionText(BesideTestProgram("ui_controls_test.exe")), "N/A");  // no version resource
    EXPECT_EQ(FileVersionText(BesideTestProgram("no_such_module.dll")), "N/A");
}

// A visible top-level window with one static child, for the controls to take over.
class ControlWindow : public testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    HWND AddStatic(int id, const char* text, int width, int height) {
        return CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    HWND parent = nullptr;
};

TEST_F(ControlWindow, PictureControlLoadsTheBannerFromTheModule) {
    CPictureCtrl picture(true);
    picture.SetResource(kBannerId, BesideTestProgram("Tarnell_MFP.dll"));
    ASSERT_TRUE(picture.Subclass(AddStatic(kBannerId, "", 650, 120)));
    ASSERT_TRUE(picture.HasPicture());

    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const SIZE size = picture.GetPictureSize();
    EXPECT_NEAR(size.cx, MulDiv(kBannerWidth, dpiX, 96), 1);
    EXPECT_NEAR(size.cy, MulDiv(kBannerHeight, dpiY, 96), 1);
    // Without a link string resource for its id the picture is no link.
    EXPECT_TRUE(picture.IsInactive());

    // Drawn at its natural size in the top-left corner; the rest of the larger control is the
    // background. The banner's top-left is dark blue sky.
    UpdateWindow(picture.Window());
    HDC dc = GetDC(picture.Window());
    const COLORREF sky = GetPixel(dc, 4, 4);
    const COLORREF outside = GetPixel(dc, size.cx + 20, size.cy + 10);
    ReleaseDC(picture.Window(), dc);
    EXPECT_LT(GetRValue(sky), 0x40);
    EXPECT_GT(GetBValue(sky), 0x30);
    EXPECT_EQ(outside, GetSysColor(COLOR_BTNFACE));
}

// Created directly, the control loads this program's "IMAGE" resource named by its own id.
TEST_F(ControlWindow, PictureControlCreatedDirectlyLoadsTheImageOfItsId) {
    const struct {
        int id;
        bool autoLoad;
        bool loaded;
    } cases[] = {
        {kImageId, true, true},
        {kImageId, false, false},   // only loads by itself when asked to
        {kNoImageId, true, false},  // no resource: created all the same, empty
    };
    for (const auto& c : cases) {
        CPictureCtrl picture(c.autoLoad);
        ASSERT_TRUE(picture.Create(parent, RECT{0, 0, 650, 120}, c.id)) << c.id;
        EXPECT_EQ(GetDlgCtrlID(picture.Window()), c.id);
        EXPECT_EQ(picture.HasPicture(), c.loaded) << c.id;
        const SIZE size = picture.GetPictureSize();
        if (!c.loaded) {
            EXPECT_EQ(size.cx, 0) << c.id;
            EXPECT_EQ(size.cy, 0) << c.id;
        } else {  // sized, and painted by the control, not by the static it is made from
            EXPECT_GT(size.cx, 0);
            EXPECT_GT(size.cy, 0);
            UpdateWindow(picture.Window());
            HDC dc = GetDC(picture.Window());
            const COLORREF sky = GetPixel(dc, 4, 4);
            ReleaseDC(picture.Window(), dc);
            EXPECT_LT(GetRValue(sky), 0x40);
            EXPECT_GT(GetBValue(sky), 0x30);
        }
        DestroyWindow(picture.Window());
        EXPECT_EQ(picture.Window(), nullptr);
    }
}

// A picture named with SetResource is loaded while attaching, so creation keeps it.
TEST_F(ControlWindow, PictureControlCreatedDirectlyKeepsTheResourceItWasGiven) {
    CPictureCtrl picture(true);
    picture.SetResource(kBannerId, BesideTestProgram("Tarnell_MFP.dll"));
    ASSERT_TRUE(picture.Create(parent, RECT{0, 0, 650, 120}, kNoImageId));
    EXPECT_TRUE(picture.HasPicture());
    EXPECT_FALSE(picture.Create(parent, RECT{0, 0, 650, 120}, kImageId));  // already attached
}

TEST_F(ControlWindow, PictureControlWithoutItsResourceShowsNothing) {
    CPictureCtrl picture(true);
    EXPECT_FALSE(picture.LoadPicture("JPEG", 9999, BesideTestProgram("Tarnell_MFP.dll")));
    EXPECT_FALSE(picture.LoadPicture("JPEG", kBannerId, BesideTestProgram("no_such_module.dll")));
    EXPECT_FALSE(picture.LoadPicture(nullptr, kBannerId, BesideTestProgram("Tarnell_MFP.dll")));  // type "IMAGE"
    EXPECT_FALSE(picture.HasPicture());
    const SIZE size = picture.GetPictureSize();
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
}

TEST_F(ControlWindow, LinkThatOpensNothingBeepsAndStopsBeingALink) {
    CStaticLink link(nullptr, false);
    HWND control = AddStatic(1166, "no_such_target_for_the_link.mfpx", 300, 20);
    ASSERT_TRUE(link.Subclass(control));
    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCLIENT);
    EXPECT_FALSE(link.IsInactive());

    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(link.IsInactive());
    EXPECT_EQ(link.Color(), CStaticLink::kUnvisitedColor);
    EXPECT_TRUE(link.Link().empty());
}

TEST_F(ControlWindow, DestroyingTheControlDetachesTheLinkAndDeletesOnlyASelfDeletingOne) {
    struct CountedLink : CStaticLink {
        CountedLink(bool deleteOnDestroy, bool& deleted) : CStaticLink(nullptr, deleteOnDestroy), deleted(deleted) {}
        ~CountedLink() override { deleted = true; }
        bool& deleted;
    };
    bool keptDeleted = false;
    CountedLink kept(false, keptDeleted);
    HWND first = AddStatic(1, "first", 100, 20);
    ASSERT_TRUE(kept.Subclass(first));
    EXPECT_FALSE(kept.Subclass(AddStatic(2, "second", 100, 20)));  // already attached
    DestroyWindow(first);
    EXPECT_FALSE(keptDeleted);
    EXPECT_EQ(kept.Window(), nullptr);
    EXPECT_TRUE(kept.Subclass(AddStatic(3, "third", 100, 20)));

    bool ownedDeleted = false;
    auto* owned = new CountedLink(true, ownedDeleted);
    HWND ownedWindow = AddStatic(4, "owned", 100, 20);
    ASSERT_TRUE(owned->Subclass(ownedWindow));
    DestroyWindow(ownedWindow);
    EXPECT_TRUE(ownedDeleted);
}

}  // namespace
