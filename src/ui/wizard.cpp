// The wizard: one modeless dialog whose controls are shown, hidden,
// relabelled and refilled as the user moves between pages. It never undoes
// anything itself; it records the choices and ends with Finish or Cancel.
#include "ui/wizard.h"

#include "common/text.h"
#include "log/itemlists.h"
#include "resources/resource.h"
#include "startup/runstate.h"
#include "ui/layout.h"
#include "common/messages.h"
#include "ui/pages.h"

namespace {

bool animationStarted;

void setMessage(HWND dialog, int control, int messageId)
{
    char text[1024];
    LoadMessageText(runState.instance, messageId, text, sizeof text);
    SetDlgItemTextA(dialog, control, text);
}

// A message with the installation's title in place of its "%s".
void setTitledMessage(HWND dialog, int control, int messageId)
{
    char format[1024], text[1024];
    LoadMessageText(runState.instance, messageId, format, sizeof format);
    formatMessage(text, sizeof text, format, runState.applicationTitle);
    SetDlgItemTextA(dialog, control, text);
}

void setCaption(HWND dialog, int messageId)
{
    char caption[256];
    LoadMessageText(runState.instance, messageId, caption, sizeof caption);
    SetWindowTextA(dialog, caption);
}

void fillList(HWND dialog, int page)
{
    HWND list = GetDlgItem(dialog, IDC_ITEM_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    HDC dc = GetDC(list);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    int widest = 0;
    int lines = pageLineCount(page);
    for (int i = 0; i < lines; ++i) {
        char text[1024];
        listLineText(page, i, text, sizeof text);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        if (size.cx > widest)
            widest = size.cx;
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (*lineSelection(page, i))
            SendMessageA(list, LB_SETSEL, TRUE, i);
    }
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(list, dc);
    // A little room so that the widest line's end is in view.
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

} // namespace

void ShowControl(HWND dialog, int id, int on)
{
    HWND control = GetDlgItem(dialog, id);
    EnableWindow(control, on ? TRUE : FALSE);
    ShowWindow(control, on ? SW_SHOW : SW_HIDE);
}

void ShowPage(HWND dialog)
{
    int page = runState.wizardPage;
    setMessage(dialog, IDOK, page == PerformPage ? 63 : 46);
    bool choice = page == MethodPage || page == RollbackPage;
    bool list = isListPage(page);
    ShowControl(dialog, IDC_ITEM_LIST, list);
    ShowControl(dialog, IDC_SELECT_ALL, list);
    ShowControl(dialog, IDC_SELECT_NONE, list);
    ShowControl(dialog, IDC_RADIO_FIRST, choice);
    ShowControl(dialog, IDC_RADIO_SECOND, choice);
    ShowControl(dialog, IDC_SECOND_TEXT, !list);
    HWND back = GetDlgItem(dialog, IDC_BACK);

    if (page == MethodPage) {
        setMessage(dialog, IDC_RADIO_FIRST, 60);
        setMessage(dialog, IDC_RADIO_SECOND, 61);
        bool custom = runState.uninstallMethod == kMethodCustom;
        CheckDlgButton(dialog, IDC_RADIO_FIRST, custom ? BST_UNCHECKED : BST_CHECKED);
        CheckDlgButton(dialog, IDC_RADIO_SECOND, custom ? BST_CHECKED : BST_UNCHECKED);
        setTitledMessage(dialog, IDC_TOP_TEXT, 7);
        setMessage(dialog, IDC_SECOND_TEXT, 10);
        setCaption(dialog, 16);
        EnableWindow(back, FALSE);
    } else if (page == RollbackPage) {
        setMessage(dialog, IDC_RADIO_FIRST, 51);
        setMessage(dialog, IDC_RADIO_SECOND, 52);
        CheckDlgButton(dialog, IDC_RADIO_FIRST, runState.rollbackRequested ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_RADIO_SECOND, runState.rollbackRequested ? BST_UNCHECKED : BST_CHECKED);
        setMessage(dialog, IDC_TOP_TEXT, 65);
        setMessage(dialog, IDC_SECOND_TEXT, 66);
        setCaption(dialog, 64);
        EnableWindow(back, TRUE);
    } else if (page == PerformPage) {
        setTitledMessage(dialog, IDC_TOP_TEXT, 13);
        setMessage(dialog, IDC_SECOND_TEXT, 22);
        setCaption(dialog, 19);
        EnableWindow(back, runState.finalPageStart ? FALSE : TRUE);
    } else {
        EnableWindow(back, TRUE);
        char text[256];
        LoadMessageText(runState.instance, pageTopMessage(page), text, sizeof text);
        SetDlgItemTextA(dialog, IDC_TOP_TEXT, text);
        LoadMessageText(runState.instance, pageTitleMessage(page), text, sizeof text);
        SetWindowTextA(dialog, text);
        fillList(dialog, page);
    }
    SetFocus(GetDlgItem(dialog, IDOK));
}

void StorePageSelections(HWND dialog)
{
    int page = runState.wizardPage;
    if (page == MethodPage) {
        runState.uninstallMethod =
            IsDlgButtonChecked(dialog, IDC_RADIO_FIRST) == BST_CHECKED ? kMethodAutomatic : kMethodCustom;
    } else if (page == RollbackPage) {
        runState.rollbackRequested = IsDlgButtonChecked(dialog, IDC_RADIO_FIRST) == BST_CHECKED;
    } else if (isListPage(page)) {
        HWND list = GetDlgItem(dialog, IDC_ITEM_LIST);
        int lines = pageLineCount(page);
        for (int i = 0; i < lines; ++i)
            *lineSelection(page, i) = SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    }
}

void AdvancePage(int direction)
{
    runState.wizardPage = static_cast<unsigned char>(advancePage(runState.wizardPage, direction));
}

static void askToCancel(HWND dialog)
{
    char caption[256], text[1024];
    LoadMessageText(runState.instance, MSG_UNINSTALL, caption, sizeof caption);
    LoadMessageText(runState.instance, MSG_CANCEL_QUESTION, text, sizeof text);
    if (runState.progressActive)
        KillTimer(dialog, kAnimationTimer);
    if (MessageBoxA(dialog, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        runState.cancelRequested = 1;
        // The wizard is modeless: EndDialog would only hide it, and it would
        // linger until the run winds down.
        DestroyWindow(dialog);
        return;
    }
    if (runState.progressActive)
        SetTimer(dialog, kAnimationTimer, kAnimationPeriod, nullptr);
}

static void command(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        if (runState.wizardPage == PerformPage) {
            runState.finishPressed = 1;
            return;
        }
        StorePageSelections(dialog);
        AdvancePage(1);
        ShowPage(dialog);
        return;
    case IDC_BACK:
        StorePageSelections(dialog);
        AdvancePage(-1);
        ShowPage(dialog);
        return;
    case IDCANCEL:
        askToCancel(dialog);
        return;
    case IDC_SELECT_ALL:
    case IDC_SELECT_NONE:
        SendMessageA(GetDlgItem(dialog, IDC_ITEM_LIST), LB_SETSEL, id == IDC_SELECT_ALL, -1);
        return;
    default:
        return;
    }
}

static void initialise(HWND dialog)
{
    adjustDialog(dialog);
    setMessage(dialog, IDC_BACK, 47);
    setMessage(dialog, IDCANCEL, 48);
    setMessage(dialog, IDC_SELECT_ALL, 49);
    setMessage(dialog, IDC_SELECT_NONE, 50);
    char caption[256] = "";
    GetWindowTextA(runState.mainWindow, caption, sizeof caption);
    SetWindowTextA(dialog, caption);
    RECT rect;
    GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(dialog, nullptr, (runState.screenWidth - width) / 2, (runState.screenHeight - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    runState.wizardDialog = dialog;
    if (runState.wizardPage == PerformPage && runState.automaticRun) {
        ShowWindow(GetDlgItem(dialog, IDOK), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_BACK), SW_HIDE);
    }
    ShowPage(dialog);
    rememberProgressBar(dialog);
}

extern "C" INT_PTR CALLBACK ItemDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog);
        return TRUE;
    case WM_PAINT: {
        if (!animationStarted) {
            animationStarted = true;
            SetTimer(dialog, kAnimationTimer, kAnimationPeriod, nullptr);
        }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        paintWizard(dialog, dc);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_COMMAND:
        command(dialog, LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kAnimationTimer && runState.progressActive)
            advanceAnimation(dialog);
        return TRUE;
    case WM_DESTROY:
        // The run and the progress display go on without a wizard once it is gone.
        if (runState.wizardDialog == dialog)
            runState.wizardDialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

HWND createWizard(HWND owner)
{
    animationStarted = false;
    return CreateDialogParamA(runState.instance, MAKEINTRESOURCEA(IDD_WIZARD), owner, ItemDlg, 0);
}
