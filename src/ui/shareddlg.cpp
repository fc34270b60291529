#include "ui/shareddlg.h"

#include <cstring>
#include <string>

#include "common/messages.h"
#include "common/text.h"
#include "resources/resource.h"
#include "startup/runstate.h"
#include "ui/layout.h"
#include "ui/pathfit.h"
#include "ui/progress.h"

namespace {

struct Prompt {
    const char* text;
    const char* path;
};

void setMessage(HWND dialog, int control, int messageId)
{
    char text[256];
    LoadMessageText(runState.instance, messageId, text, sizeof text);
    SetDlgItemTextA(dialog, control, text);
}

// Whether the text needs more room than the control has: more lines than
// its height holds, or a word (a path without blanks) wider than it is.
bool overflows(HWND control, const char* text)
{
    RECT client;
    GetClientRect(control, &client);
    RECT needed = {0, 0, client.right, 0};
    HDC dc = GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return needed.bottom > client.bottom || needed.right > client.right;
}

// A long path would push the question out of view or lose its file name
// at the control's edge: it is then shortened to one line in the middle,
// as the progress display shortens paths, and the file name stays.
void showPrompt(HWND control, const Prompt& prompt)
{
    std::string text = prompt.text;
    size_t at = prompt.path[0] ? text.find(prompt.path) : std::string::npos;
    if (at != std::string::npos && overflows(control, prompt.text)) {
        char fitted[kFitCopySize];
        copyText(fitted, prompt.path);
        fitPathToControl(control, fitted, sizeof fitted);
        text.replace(at, strlen(prompt.path), fitted);
    }
    SetWindowTextA(control, text.c_str());
}

} // namespace

extern "C" INT_PTR CALLBACK SharedDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        adjustDialog(dialog);
        showPrompt(GetDlgItem(dialog, IDC_SHARED_TEXT), *reinterpret_cast<const Prompt*>(lParam));
        char caption[256];
        LoadMessageText(runState.instance, 62, caption, sizeof caption);
        SetWindowTextA(dialog, caption);
        setMessage(dialog, IDC_SHARED_YES, 51);
        setMessage(dialog, IDC_SHARED_NO, 52);
        setMessage(dialog, IDC_SHARED_YES_TO_ALL, 69);
        setMessage(dialog, IDOK, 53);
        RECT rect;
        GetWindowRect(dialog, &rect);
        int width = rect.right - rect.left, height = rect.bottom - rect.top;
        SetWindowPos(dialog, nullptr, (runState.screenWidth - width) / 2, (runState.screenHeight - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
        return TRUE;
    }
    case WM_COMMAND:
        // Every button answers; Escape and the close box come as IDCANCEL.
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

int askSharedFile(const char* text, const char* path)
{
    HWND wizard = runState.wizardDialog;
    // No animation frame is painted behind the prompt.
    bool animated = wizard && runState.progressActive;
    if (animated)
        KillTimer(wizard, kAnimationTimer);
    Prompt prompt = {text, path};
    INT_PTR answer = DialogBoxParamA(runState.instance, MAKEINTRESOURCEA(IDD_SHARED), wizard, SharedDlg,
                                     reinterpret_cast<LPARAM>(&prompt));
    if (wizard && IsWindow(wizard)) {
        if (animated)
            SetTimer(wizard, kAnimationTimer, kAnimationPeriod, nullptr);
        SetFocus(wizard);
    }
    return static_cast<int>(answer);
}
