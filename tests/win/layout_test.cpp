// Dialog layout on the platform: a template widened by a sixth with every
// control in proportion, and the text font built once from the settings.
#include <gtest/gtest.h>

#include <vector>

#include "resources/resource.h"
#include "startup/runstate.h"
#include "ui/layout.h"
#include "winsupport.h"

namespace {

bool adjust;

INT_PTR CALLBACK layoutDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG && adjust)
        adjustDialog(dialog);
    return message == WM_INITDIALOG;
}

struct Layout {
    RECT dialog;
    std::vector<RECT> controls;
};

Layout layoutOf(int resource, bool adjusted)
{
    adjust = adjusted;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr, layoutDialog, 0);
    Layout layout = {};
    GetWindowRect(dialog, &layout.dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        layout.controls.push_back(rect);
    }
    DestroyWindow(dialog);
    return layout;
}

struct LayoutTest : ::testing::Test {
    void SetUp() override
    {
        runState = RunState{};
        runState.fontCharSize = 8;
    }
    void TearDown() override
    {
        if (runState.textFont)
            DeleteObject(runState.textFont);
        runState.textFont = nullptr;
    }
};

TEST_F(LayoutTest, TheDialogAndEveryControlGrowByASixth)
{
    Layout plain = layoutOf(IDD_SHARED, false);   // 225 dialog units wide
    Layout wide = layoutOf(IDD_SHARED, true);
    EXPECT_EQ(wide.dialog.left, plain.dialog.left + plain.dialog.left / 6);
    EXPECT_EQ(wide.dialog.right, plain.dialog.right + plain.dialog.right / 6);
    EXPECT_EQ(wide.dialog.bottom - wide.dialog.top, plain.dialog.bottom - plain.dialog.top);
    ASSERT_EQ(wide.controls.size(), plain.controls.size());
    for (size_t i = 0; i < plain.controls.size(); ++i) {
        SCOPED_TRACE(i);
        const RECT& p = plain.controls[i];
        const RECT& w = wide.controls[i];
        EXPECT_EQ(w.left, p.left + p.left / 6);
        EXPECT_EQ(w.right, p.right + p.right / 6);
        EXPECT_EQ(w.top, p.top);        // nothing moves vertically
        EXPECT_EQ(w.bottom, p.bottom);
    }
}

TEST_F(LayoutTest, TheTextFontComesFromTheSettingsAndIsBuiltOnce)
{
    runState.fontCharSize = 10;
    char face[256] = "Tahoma";
    runState.textFontName = face;
    layoutOf(IDD_WIZARD, true);
    ASSERT_NE(runState.textFont, nullptr);
    LOGFONTA font;
    GetObjectA(runState.textFont, sizeof font, &font);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(dpi, 96);   // Wine's default display
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWeight, 300);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    HFONT first = runState.textFont;
    layoutOf(IDD_SHARED, true);
    EXPECT_EQ(runState.textFont, first);
}

} // namespace
