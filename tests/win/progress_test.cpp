// The progress display in this process: message pumping, the action line
// and the wizard turned into the display as a run starts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "resources/resource.h"
#include "startup/environment.h"
#include "startup/mainwnd.h"
#include "startup/runstate.h"
#include "ui/progress.h"
#include "winsupport.h"

namespace {

int setTextCalls;
WNDPROC staticProc;

LRESULT CALLBACK countingStatic(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        ++setTextCalls;
    return CallWindowProcA(staticProc, window, message, wParam, lParam);
}

struct ProgressTest : ::testing::Test {
    char iniPath[256] = "C:\\ruvotest\\none.ini";
    void SetUp() override
    {
        release(&runState.arena);
        runState = RunState{};
        detectPlatform();
        installCaseFolding();
        runState.companionIniPath = iniPath;
        runState.instance = GetModuleHandleA(nullptr);
        runState.noBackground = 1;
        allocateRunBuffers();
        ASSERT_TRUE(createMainWindow(runState.instance, nullptr));
        runState.uninstallMethod = kMethodAutomatic;
    }
    void TearDown() override
    {
        if (runState.wizardDialog)
            DestroyWindow(runState.wizardDialog);
        DestroyWindow(runState.mainWindow);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        release(&runState.arena);
    }
};

int received;

LRESULT CALLBACK receivingStatic(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1)
        ++received;
    return CallWindowProcA(staticProc, window, message, wParam, lParam);
}

TEST_F(ProgressTest, AShortPumpReturnsAtOnceAndRunsWhatIsPending)
{
    received = 0;
    HWND target = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(receivingStatic)));
    Sleep(20);   // past the pump's interval
    PostMessageA(target, WM_USER + 1, 0, 0);
    DWORD start = GetTickCount();
    pumpMessages(1);
    EXPECT_LT(GetTickCount() - start, 200u);
    EXPECT_EQ(received, 1);

    // A long wait keeps serving messages until its time is up.
    PostMessageA(target, WM_USER + 1, 0, 0);
    start = GetTickCount();
    pumpMessages(300);
    EXPECT_GE(GetTickCount() - start, 280u);
    EXPECT_EQ(received, 2);
    EXPECT_EQ(runState.timerWait, 0);
    DestroyWindow(target);
}

TEST_F(ProgressTest, TheSameTextIsNotSetTwice)
{
    runState.wizardDialog = CreateDialogParamA(runState.instance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr,
                                               plainDialogProc, 0);
    ASSERT_NE(runState.wizardDialog, nullptr);
    HWND action = GetDlgItem(runState.wizardDialog, IDC_ACTION_TEXT);
    staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(action, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingStatic)));
    setTextCalls = 0;
    Sleep(60);   // past the display's interval, with room for a coarse tick count
    showProgress("Removing File:\r\nC:\\APP\\A.DLL");
    Sleep(60);   // past the display's interval, with room for a coarse tick count
    showProgress("Removing File:\r\nC:\\APP\\A.DLL");
    EXPECT_EQ(setTextCalls, 1);
    EXPECT_EQ(windowText(action), "\r\n\r\nRemoving File:\r\nC:\\APP\\A.DLL");
    Sleep(60);   // past the display's interval, with room for a coarse tick count
    showProgress("Removing File:\r\nC:\\APP\\B.DLL");
    EXPECT_EQ(setTextCalls, 2);

    // Texts that come faster than the eye wait; the last one is shown
    // before any longer wait, fitted when it is a path.
    showPathProgress("Removing File:\r\nC:\\APP\\C.DLL");
    showPathProgress("Removing File:\r\nC:\\APP\\D.DLL");
    EXPECT_EQ(windowText(action), "\r\n\r\nRemoving File:\r\nC:\\APP\\B.DLL");
    pumpMessages(30);
    EXPECT_EQ(windowText(action), "\r\n\r\nRemoving File:\r\nC:\\APP\\D.DLL");
}

TEST_F(ProgressTest, TheWizardTurnsIntoTheProgressDisplay)
{
    runState.wizardDialog = CreateDialogParamA(runState.instance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr,
                                               plainDialogProc, 0);
    ASSERT_NE(runState.wizardDialog, nullptr);
    copyText(runState.applicationTitle, kPathSize, "Sample");
    startRunDisplay();
    HWND dialog = runState.wizardDialog;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_TOP_TEXT)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_SECOND_TEXT)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_PROGRESS_TEXT)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_ACTION_TEXT)));
    EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_PROGRESS_TEXT)),
              "Performing uninstall of the Sample...\n\nPress the Cancel button to cancel the uninstall process and "
              "exit this program.");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BACK)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
}

} // namespace
