#include "ui/progress.h"

#include <cstdio>
#include <cstring>

#include <initializer_list>

#include "common/messages.h"
#include "common/text.h"
#include "resources/resource.h"
#include "startup/runstate.h"
#include "ui/layout.h"
#include "ui/pathfit.h"
#include "ui/shareddlg.h"

static const DWORD kPumpInterval = 10;

// The display follows the run at most fifty times a second: a text shown
// for less than that could not be read, and each change costs several
// round trips to the window system. What is not shown at once waits, and
// is shown before any longer wait.
static const DWORD kDisplayInterval = 20;

namespace {
DWORD lastShown;
bool displayWaiting;
bool waitingNeedsFit;
char waitingText[kProgressTextSize];
bool waitingHasText;

HWND actionControl()
{
    return runState.wizardDialog ? GetDlgItem(runState.wizardDialog, IDC_ACTION_TEXT) : nullptr;
}

void display(const char* text)
{
    HWND dialog = runState.wizardDialog;
    if (text) {
        char shown[kProgressTextSize], current[kProgressTextSize] = "";
        snprintf(shown, sizeof shown, "\r\n\r\n%s", text);
        HWND action = actionControl();
        GetWindowTextA(action, current, sizeof current);
        if (strcmp(current, shown) != 0)   // an unchanged text causes no repaint
            SetWindowTextA(action, shown);
    }
    RECT bar;
    GetWindowRect(GetDlgItem(dialog, IDC_PROGRESS_BAR), &bar);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bar), 2);
    InvalidateRect(dialog, &bar, FALSE);
    lastShown = GetTickCount();
    displayWaiting = false;
}

void showNowOrLater(const char* text, bool fit)
{
    if (runState.wizardDialog) {
        if (GetTickCount() - lastShown >= kDisplayInterval) {
            if (text && fit) {
                copyText(waitingText, text);
                fitPathToControl(actionControl(), waitingText, sizeof waitingText);
                text = waitingText;
            }
            display(text);
        } else {
            displayWaiting = true;
            waitingHasText = text != nullptr;
            waitingNeedsFit = fit;
            if (text)
                copyText(waitingText, text);
        }
    }
    pumpMessages(1);
}

void showWaiting()
{
    if (!displayWaiting || !runState.wizardDialog)
        return;
    if (waitingHasText && waitingNeedsFit)
        fitPathToControl(actionControl(), waitingText, sizeof waitingText);
    display(waitingHasText ? waitingText : nullptr);
}
} // namespace

void showProgress(const char* text)
{
    showNowOrLater(text, false);
}

void showPathProgress(const char* text)
{
    showNowOrLater(text, true);
}

static void dispatchPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));   // for the loop that owns it
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void pumpMessages(UINT milliseconds)
{
    // A Win32 timer ticks every 10 to 16 ms at best: waiting for one after
    // every item would make a long uninstall wait minutes for ticks. What
    // is pending (input, paints, the animation's ticks, Cancel) runs now.
    // Looking into the queue costs a round trip to the window system, so
    // within a few milliseconds of the last look, an item does not look
    // again: the display still follows a hundred times a second and Cancel
    // is seen before the next item but one.
    static DWORD lastLook;
    if (milliseconds <= 1) {
        DWORD now = GetTickCount();
        if (now - lastLook < kPumpInterval)
            return;
        lastLook = now;
        dispatchPending();
        return;
    }
    pumpMessagesUntil(nullptr, milliseconds);
}

bool pumpMessagesUntil(HANDLE object, UINT milliseconds)
{
    showWaiting();
    // Blocks between messages until the time is up or `object` is signalled.
    for (DWORD start = GetTickCount();;) {
        dispatchPending();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return false;
        DWORD woke = MsgWaitForMultipleObjects(object ? 1 : 0, &object, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        if (object && woke == WAIT_OBJECT_0)
            return true;
        if (woke == WAIT_FAILED)
            return false;
    }
}

void waitForProcess(HANDLE process)
{
    showWaiting();
    while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_PAINT | QS_TIMER | QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) ||
               PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

namespace {
struct Measure {
    HDC dc;
};

int measureText(const char* text, void* context)
{
    SIZE size = {};
    GetTextExtentPoint32A(static_cast<Measure*>(context)->dc, text, static_cast<int>(strlen(text)), &size);
    return size.cx;
}
} // namespace

void fitPathToControl(HWND control, char* text, size_t capacity)
{
    if (!control)
        return;
    RECT rect;
    GetWindowRect(control, &rect);
    Measure measure = {GetDC(control)};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(measure.dc, font) : nullptr;
    fitPath(text, capacity, rect.right - rect.left, measureText, &measure);
    if (previous)
        SelectObject(measure.dc, previous);
    ReleaseDC(control, measure.dc);
}

void startRunDisplay()
{
    HWND dialog = runState.wizardDialog;
    if (!dialog)
        return;   // nothing to animate: loading the frames would open the window system
    loadAnimationFrames();
    for (int id : {IDC_TOP_TEXT, IDC_SECOND_TEXT}) {
        EnableWindow(GetDlgItem(dialog, id), FALSE);
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    }
    for (int id : {IDC_PROGRESS_TEXT, IDC_ACTION_TEXT}) {
        EnableWindow(GetDlgItem(dialog, id), TRUE);
        ShowWindow(GetDlgItem(dialog, id), SW_SHOW);
    }
    char format[1024], text[1024 + 256];
    LoadMessageText(runState.instance, 45, format, sizeof format);
    formatMessage(text, sizeof text, format, runState.applicationTitle);
    SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_BACK), FALSE);
    // Control 3830 only lends the bar its place: shown, the black rectangle
    // would be drawn over the blocks the dialog paints beneath it. The bar
    // draws its own frame instead (layout.cpp).
}

namespace {
void loadMessage(int messageId, char* buffer, size_t capacity)
{
    LoadMessageText(runState.instance, messageId, buffer, static_cast<int>(capacity));
}

void showAction(const char* text, bool fitPath)
{
    showNowOrLater(text, fitPath);
}

void keepAlive(unsigned milliseconds)
{
    pumpMessages(milliseconds);
}

bool cancelRequested()
{
    return runState.cancelRequested != 0;
}

int askAbortRetryIgnore(int messageId, int captionId)
{
    char caption[256], text[1024];
    LoadMessageText(runState.instance, captionId, caption, sizeof caption);
    LoadMessageText(runState.instance, messageId, text, sizeof text);
    return MessageBoxA(runState.wizardDialog, text, caption, MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION);
}
} // namespace

void fillUserHost(EngineHost* host)
{
    host->loadMessage = loadMessage;
    host->askSharedFile = askSharedFile;
    host->askAbortRetryIgnore = askAbortRetryIgnore;
    host->startProgress = startRunDisplay;
    host->showProgress = showAction;
    host->keepAlive = keepAlive;
    host->cancelRequested = cancelRequested;
}
