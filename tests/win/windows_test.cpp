// The program's windows in this process: its resources, the dialog layout
// (a template widened by a sixth with every control in proportion, and the
// text font built once from the settings), and the progress display's
// message pumping and action line. (The wizard turning into the display is
// seen in a real run.) (Control positions are not
// restated here: the pictures of every page in docs/screenshots show them.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "resources/resource.h"
#include "startup/environment.h"
#include "startup/mainwnd.h"
#include "startup/runstate.h"
#include "ui/layout.h"
#include "ui/progress.h"
#include "winsupport.h"

using namespace std::string_literals;

namespace {

bool adjust;

INT_PTR CALLBACK layoutDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG && adjust)
        adjustDialog(dialog);
    return message == WM_INITDIALOG;
}

// The dialog's rectangle, then each control's within it.
std::vector<RECT> layoutOf(int resource, bool adjusted)
{
    adjust = adjusted;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr, layoutDialog, 0);
    EXPECT_NE(GetDlgItem(dialog, IDC_TOP_TEXT), nullptr) << resource;
    std::vector<RECT> layout(1);
    GetWindowRect(dialog, &layout[0]);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        layout.emplace_back();
        GetWindowRect(child, &layout.back());
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&layout.back()), 2);
    }
    DestroyWindow(dialog);
    return layout;
}

// Both dialogs build; the shared-file dialog (225 dialog units wide) and
// each of its controls grow by a sixth, and nothing moves vertically. The
// text font comes from the settings and is built once for every dialog.
TEST(Layout, TheDialogGrowsByASixthWithTheTextFontBuiltOnce)
{
    runState = RunState{};
    runState.fontCharSize = 10;
    char face[256] = "Tahoma";
    runState.textFontName = face;
    std::vector<RECT> plain = layoutOf(IDD_SHARED, false), wide = layoutOf(IDD_SHARED, true);
    ASSERT_EQ(wide.size(), plain.size());
    EXPECT_EQ(wide[0].bottom - wide[0].top, plain[0].bottom - plain[0].top);
    for (size_t i = 0; i < plain.size(); ++i) {
        SCOPED_TRACE(i);
        const RECT &p = plain[i], &w = wide[i];
        EXPECT_EQ(w.left, p.left + p.left / 6);
        EXPECT_EQ(w.right, p.right + p.right / 6);
        if (i > 0) {
            EXPECT_EQ(w.top, p.top);
            EXPECT_EQ(w.bottom, p.bottom);
        }
    }

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
    layoutOf(IDD_WIZARD, true);
    EXPECT_EQ(runState.textFont, first);
    DeleteObject(runState.textFont);
    runState = RunState{};
}

TEST(Resources, TheIconsAndThePanelBitmapAreThere)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(IDI_PROGRAM)), nullptr);
    for (int frame = 107; frame <= 130; ++frame)
        EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(frame)), nullptr) << frame;
    HBITMAP panel = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PANEL));
    ASSERT_NE(panel, nullptr);
    BITMAP info;
    GetObjectA(panel, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 122);
    EXPECT_EQ(info.bmHeight, 262);
    DeleteObject(panel);
}

int setTextCalls, received;
WNDPROC staticProc;

LRESULT CALLBACK countingStatic(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    setTextCalls += message == WM_SETTEXT;
    received += message == WM_USER + 1;
    return CallWindowProcA(staticProc, window, message, wParam, lParam);
}

// A short pump returns at once and runs what is pending; a long one keeps
// serving messages until its time is up. The action line is not set again
// to the text it shows.
TEST(Progress, PumpingAndTheActionLine)
{
    runState = RunState{};
    runState.instance = GetModuleHandleA(nullptr);
    runState.noBackground = 1;
    allocateRunBuffers();
    ASSERT_TRUE(createMainWindow(runState.instance, nullptr));
    adjust = false;
    runState.wizardDialog =
        CreateDialogParamA(runState.instance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr, layoutDialog, 0);
    HWND action = GetDlgItem(runState.wizardDialog, IDC_ACTION_TEXT);
    staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(action, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingStatic)));
    Sleep(20);   // past the pump's interval
    PostMessageA(action, WM_USER + 1, 0, 0);
    DWORD start = GetTickCount();
    pumpMessages(1);
    EXPECT_LT(GetTickCount() - start, 200u);
    EXPECT_EQ(received, 1);
    PostMessageA(action, WM_USER + 1, 0, 0);
    start = GetTickCount();
    pumpMessages(300);
    EXPECT_GE(GetTickCount() - start, 280u);
    EXPECT_EQ(received, 2);
    EXPECT_EQ(runState.timerWait, 0);

    // Each past the display's interval, with room for a coarse tick count.
    for (const char* file : {"A.DLL", "A.DLL", "B.DLL"}) {
        Sleep(60);
        showProgress(("Removing File:\r\nC:\\APP\\"s + file).c_str());
    }
    EXPECT_EQ(setTextCalls, 2);
    EXPECT_EQ(windowText(action), "\r\n\r\nRemoving File:\r\nC:\\APP\\B.DLL");

    // Texts that come faster than the eye wait; the last one is shown
    // before any longer wait, fitted when it is a path.
    showPathProgress("Removing File:\r\nC:\\APP\\C.DLL");
    showPathProgress("Removing File:\r\nC:\\APP\\D.DLL");
    EXPECT_EQ(windowText(action), "\r\n\r\nRemoving File:\r\nC:\\APP\\B.DLL");
    pumpMessages(30);
    EXPECT_EQ(windowText(action), "\r\n\r\nRemoving File:\r\nC:\\APP\\D.DLL");
    DestroyWindow(runState.wizardDialog);
    DestroyWindow(runState.mainWindow);
    release(&runState.arena);
    runState = RunState{};
}

} // namespace
