// The about box's version text and the picture and link controls, in-process under wine.
#include "tests/host/host_run.h"
#include "ui/module_version.h"
#include "ui/picture_ctrl.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr int kBannerId = 1004;
constexpr int kImageId = 2001;    // an "IMAGE" resource of this test program (the banner)
constexpr int kNoImageId = 2002;  // no resource of any type

TEST(ModuleVersion, FormatsTheFileVersionString) {
    const struct { const char* fileVersion; const char* shown; } cases[] = {
        {"1, 2, 6, 0", "1.2.6.0"}, {"1,0,0,0", "1.0.0.0"}, {" 2 , 3 ", "2.3"}, {"1.0.0.0", "1.0.0.0"}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatVersionText(c.fileVersion), c.shown) << c.fileVersion;
}

TEST(ModuleVersion, ReadsTheModulesVersionResource) {
    EXPECT_EQ(FileVersionText(BesideTestProgram("Tarnell_MFP.dll")), "1.0.0.0");
    EXPECT_EQ(FileVersionText(BesideTestProgram("ui_controls_test.exe")), "N/A");  // no version resource
    EXPECT_EQ(FileVersionText(BesideTestProgram("no_such_module.dll")), "N/A");
}

// The size on this screen of resources/banner.jpg, 480 x 64 pixels.
SIZE BannerSize() {
    HDC screen = GetDC(nullptr);
    const SIZE size{MulDiv(480, GetDeviceCaps(screen, LOGPIXELSX), 96), MulDiv(64, GetDeviceCaps(screen, LOGPIXELSY), 96)};
    ReleaseDC(nullptr, screen);
    return size;
}

// The colour of a window's pixel once painted.
COLORREF PixelOf(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// The banner's top-left is dark blue sky.
bool ShowsSky(HWND window) { return GetRValue(PixelOf(window, 4, 4)) < 0x40 && GetBValue(PixelOf(window, 4, 4)) > 0x30; }

// A visible top-level window for the controls to take over.
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
    HWND parent = nullptr;
};

TEST_F(ControlWindow, PictureControlLoadsTheBannerFromTheModule) {
    CPictureCtrl picture(true);
    picture.SetResource(kBannerId, BesideTestProgram("Tarnell_MFP.dll"));
    ASSERT_TRUE(picture.Subclass(AddStatic(kBannerId, "", 650, 120)));
    ASSERT_TRUE(picture.HasPicture());
    const SIZE size = picture.GetPictureSize();
    EXPECT_NEAR(size.cx, BannerSize().cx, 1);
    EXPECT_NEAR(size.cy, BannerSize().cy, 1);
    // Without a link string resource for its id the picture is no link.
    EXPECT_TRUE(picture.IsInactive());
    // Drawn at its natural size in the top-left corner; the rest of the larger control is the
    // background.
    EXPECT_TRUE(ShowsSky(picture.Window()));
    EXPECT_EQ(PixelOf(picture.Window(), size.cx + 20, size.cy + 10), GetSysColor(COLOR_BTNFACE));
}

// Created directly, the control loads this program's "IMAGE" resource named by its own id,
// unless a picture named with SetResource was loaded while attaching.
TEST_F(ControlWindow, PictureControlCreatedDirectlyLoadsTheImageOfItsId) {
    // banner: SetResource named the module's banner
    const struct { int id; bool autoLoad; bool banner; bool loaded; } cases[] = {
        {kImageId, true, false, true},
        {kImageId, false, false, false},   // only loads by itself when asked to
        {kNoImageId, true, false, false},  // no resource: created all the same, empty
        {kNoImageId, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " " << c.autoLoad << " " << c.banner);
        CPictureCtrl picture(c.autoLoad);
        if (c.banner) picture.SetResource(kBannerId, BesideTestProgram("Tarnell_MFP.dll"));
        ASSERT_TRUE(picture.Create(parent, RECT{0, 0, 650, 120}, c.id));
        EXPECT_FALSE(picture.Create(parent, RECT{0, 0, 650, 120}, c.id)) << "already attached";
        EXPECT_EQ(GetDlgCtrlID(picture.Window()), c.id);
        EXPECT_EQ(picture.HasPicture(), c.loaded);
        const SIZE size = picture.GetPictureSize();
        EXPECT_NEAR(size.cx, c.loaded ? BannerSize().cx : 0, 1);
        EXPECT_NEAR(size.cy, c.loaded ? BannerSize().cy : 0, 1);
        // painted by the control, not by the static it is made from
        if (c.loaded) EXPECT_TRUE(ShowsSky(picture.Window()));
        DestroyWindow(picture.Window());
        EXPECT_EQ(picture.Window(), nullptr);
    }
}

TEST_F(ControlWindow, PictureControlWithoutItsResourceShowsNothing) {
    CPictureCtrl picture(true);
    EXPECT_FALSE(picture.LoadPicture("JPEG", 9999, BesideTestProgram("Tarnell_MFP.dll")));
    EXPECT_FALSE(picture.LoadPicture("JPEG", kBannerId, BesideTestProgram("no_such_module.dll")));
    EXPECT_FALSE(picture.LoadPicture(nullptr, kBannerId, BesideTestProgram("Tarnell_MFP.dll")));  // type "IMAGE"
    EXPECT_FALSE(picture.HasPicture());
    EXPECT_EQ(picture.GetPictureSize().cx, 0);
    EXPECT_EQ(picture.GetPictureSize().cy, 0);
}

TEST_F(ControlWindow, LinkThatOpensNothingBeepsAndStopsBeingALink) {
    CStaticLink link(nullptr, false);
    HWND control = AddStatic(1166, "no_such_target_for_the_link.mfpx", 300, 20);
    ASSERT_TRUE(link.Subclass(control));
    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCLIENT);
    EXPECT_FALSE(link.IsInactive());

    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_TRUE(link.IsInactive());
    EXPECT_EQ(link.Color(), 0xFF0000u) << "still blue";
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
