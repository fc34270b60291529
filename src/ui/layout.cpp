#include "ui/layout.h"

#include "common/text.h"
#include "resources/resource.h"
#include "startup/runstate.h"
#include "ui/geometry.h"

namespace {

HICON animationFrames[kAnimationIcons];
int animationFrame = 1;
RECT animationRect;
RECT progressBarRect;

void buildTextFont(HWND dialog)
{
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!dialogFont)
        return;
    LOGFONTA font;
    if (!GetObjectA(dialogFont, sizeof font, &font))
        return;
    HDC dc = GetDC(dialog);
    font.lfWeight = 300;
    font.lfCharSet = runState.fontCharSet;
    font.lfHeight = -MulDiv(runState.fontCharSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(dialog, dc);
    if (runState.textFontName)
        copyText(font.lfFaceName, runState.textFontName);
    runState.textFont = CreateFontIndirectA(&font);
}

BOOL CALLBACK widenChild(HWND child, LPARAM)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    MoveWindow(child, widenedBySixth(rect.left), rect.top, widenedBySixth(rect.right) - widenedBySixth(rect.left),
               rect.bottom - rect.top, FALSE);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(runState.textFont), FALSE);
    return TRUE;
}

void paintPanel(HDC dc)
{
    if (!runState.panelBitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, runState.panelBitmap);
    BitBlt(dc, 12, 12, 122, 262, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void paintAnimation(HWND dialog, HDC dc)
{
    HWND panel = GetDlgItem(dialog, IDC_ANIMATION);
    if (!panel)
        return;
    GetWindowRect(panel, &animationRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&animationRect), 2);
    LONG units = GetDialogBaseUnits();
    int bx = LOWORD(units), by = HIWORD(units);
    int width = animationRect.right - animationRect.left + 1, height = animationRect.bottom - animationRect.top + 1;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (!bitmap) {
        if (memory)
            DeleteDC(memory);
        return;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    // The bin stands still at the left; the moving sheet follows its path.
    if (animationFrames[0])
        DrawIcon(memory, 0, by * 10 / 8, animationFrames[0]);
    int x = 0, y = 0;
    if (animationOffset(animationFrame, bx, by, &x, &y) && animationFrames[animationFrame])
        DrawIcon(memory, x, y, animationFrames[animationFrame]);
    BitBlt(dc, animationRect.left, animationRect.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void paintProgressBar(HDC dc)
{
    Box bar = {progressBarRect.left, progressBarRect.top, progressBarRect.right, progressBarRect.bottom};
    Box blocks[512];
    int count = progressBlocks(bar, runState.progressCount, runState.progressTotal, blocks, 512);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 127));
    for (int i = 0; i < count; ++i) {
        RECT block = {blocks[i].left, blocks[i].top, blocks[i].right, blocks[i].bottom};
        FillRect(dc, &block, brush);
    }
    DeleteObject(brush);
    RECT frame = {progressBarRect.left - 1, progressBarRect.top - 1, progressBarRect.right + 1,
                  progressBarRect.bottom + 1};
    if (runState.ctl3dRegister)
        DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);   // with 3-D controls, a sunken frame
    else
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

} // namespace

void adjustDialog(HWND dialog)
{
    RECT rect;
    GetWindowRect(dialog, &rect);
    MoveWindow(dialog, widenedBySixth(rect.left), rect.top, widenedBySixth(rect.right) - widenedBySixth(rect.left),
               rect.bottom - rect.top, FALSE);
    if (runState.windows4OrLater && runState.ctl3dSubclassDlgEx)
        runState.ctl3dSubclassDlgEx(dialog, 56);
    if (!runState.textFont)
        buildTextFont(dialog);
    if (runState.textFont)
        EnumChildWindows(dialog, widenChild, 0);
}

void loadAnimationFrames()
{
    for (int i = 0; i < kAnimationIcons; ++i)
        animationFrames[i] = LoadIconA(runState.instance, MAKEINTRESOURCEA(IDI_ANIMATION_FIRST + i));
    animationFrame = 1;
}

void rememberProgressBar(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    ShowWindow(bar, SW_HIDE);
    GetWindowRect(bar, &progressBarRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&progressBarRect), 2);
    InflateRect(&progressBarRect, -1, -1);
}

void paintWizard(HWND dialog, HDC dc)
{
    paintPanel(dc);
    if (!runState.progressActive)
        return;
    paintAnimation(dialog, dc);
    paintProgressBar(dc);
}

void advanceAnimation(HWND dialog)
{
    animationFrame = nextAnimationFrame(animationFrame);
    InvalidateRect(dialog, &animationRect, FALSE);
    UpdateWindow(dialog);
}
