#include "startup/mainwnd.h"

#include "common/text.h"
#include "resources/resource.h"
#include "startup/gradient.h"
#include "startup/runstate.h"

static const char kSettings[] = "Settings";
static const char kClassName[] = "RUVSUninstall";

static int readSetting(const char* key, int fallback)
{
    return static_cast<int>(GetPrivateProfileIntA(kSettings, key, fallback, runState.companionIniPath));
}

static BandColour colourOfBand(int band)
{
    return bandColour(runState.gradientStart, runState.gradientDelta, band);
}

void loadAppearance()
{
    RunState& rs = runState;
    rs.gradientStart[0] = readSetting("Start Red", 0);
    rs.gradientStart[1] = readSetting("Start Green", 0);
    rs.gradientStart[2] = readSetting("Start Blue", 255);
    rs.gradientDelta[0] = readSetting("End Red", 0) - rs.gradientStart[0];
    rs.gradientDelta[1] = readSetting("End Green", 0) - rs.gradientStart[1];
    rs.gradientDelta[2] = readSetting("End Blue", 0) - rs.gradientStart[2];
    rs.noBackground = readSetting("No Background", 1);

    HDC screen = GetDC(nullptr);

    char fontName[kPathSize];
    GetPrivateProfileStringA(kSettings, "Text Font", "", fontName, sizeof fontName, rs.companionIniPath);
    if (fontName[0] != '\0') {
        rs.textFontName = static_cast<char*>(allocate(&rs.arena, kPathSize));
        copyText(rs.textFontName, kPathSize, fontName);
    }
    rs.fontCharSet = static_cast<unsigned char>(readSetting("Font Character Set", 0));
    rs.fontCharSize = static_cast<unsigned char>(readSetting("Font Character Size", 8));

    int planes = GetDeviceCaps(screen, PLANES);
    int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    rs.screenWidth = GetDeviceCaps(screen, HORZRES);
    rs.screenHeight = GetDeviceCaps(screen, VERTRES);

    if (static_cast<short>(planes * bitsPerPixel) >= 8) {
        struct {
            WORD version;
            WORD count;
            PALETTEENTRY entries[kBandCount];
        } palette;
        palette.version = 0x300;
        palette.count = kBandCount;
        for (int band = 0; band < kBandCount; ++band) {
            BandColour colour = colourOfBand(band);
            palette.entries[band] = PALETTEENTRY{colour.red, colour.green, colour.blue, 0};
        }
        if (rs.backgroundPalette)
            DeleteObject(rs.backgroundPalette);
        rs.backgroundPalette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette));
        if (rs.backgroundPalette) {
            // Realized once so the system palette holds the bands; the screen
            // DC is shared, so it gets its own palette back before release.
            HPALETTE previous = SelectPalette(screen, rs.backgroundPalette, FALSE);
            RealizePalette(screen);
            if (previous) {
                SelectPalette(screen, previous, TRUE);
                RealizePalette(screen);
            }
        }
    }
    ReleaseDC(nullptr, screen);
}

bool createMainWindow(HINSTANCE instance, HINSTANCE previous)
{
    if (!previous) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = MainWndProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    runState.instance = instance;
    runState.mainWindow = CreateWindowExA(0, kClassName, " ", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
                                          0, 0, 640, 480, nullptr, nullptr, instance, nullptr);
    if (!runState.mainWindow)
        return false;
    if (runState.titleText)
        SetWindowTextA(runState.mainWindow, runState.titleText);
    if (!runState.silentRun && !runState.relaunchedCopy && !runState.noBackground)
        ShowWindow(runState.mainWindow, SW_SHOWMAXIMIZED);
    UpdateWindow(runState.mainWindow);
    return true;
}

static void paintGradient(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HPALETTE previous = nullptr;
    if (runState.backgroundPalette) {
        previous = SelectPalette(dc, runState.backgroundPalette, FALSE);
        RealizePalette(dc);
    }
    int top = -1;
    for (int band = 0; band < kBandCount; ++band) {
        int bottom = bandBottom(client.bottom, band);
        COLORREF colour;
        if (runState.backgroundPalette) {
            colour = PALETTEINDEX(band);
        } else {
            BandColour rgb = colourOfBand(band);
            colour = RGB(rgb.red, rgb.green, rgb.blue);
        }
        HBRUSH brush = CreateSolidBrush(colour);
        HGDIOBJ old = SelectObject(dc, brush);
        PatBlt(dc, 0, top, client.right, bottom - top, PATCOPY);
        SelectObject(dc, old);
        DeleteObject(brush);
        top = bottom;
    }
    if (previous)
        SelectPalette(dc, previous, TRUE);
    EndPaint(window, &paint);
}

static LRESULT realizePalette(HWND window)
{
    if (!runState.backgroundPalette)
        return 0;
    HDC dc = GetDC(window);
    HPALETTE previous = SelectPalette(dc, runState.backgroundPalette, FALSE);
    UINT changed = RealizePalette(dc);
    if (changed != 0 && changed != GDI_ERROR)
        InvalidateRect(window, nullptr, TRUE);
    SelectPalette(dc, previous, TRUE);
    RealizePalette(dc);
    ReleaseDC(window, dc);
    return changed == GDI_ERROR ? 0 : changed;
}

extern "C" LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paintGradient(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;        // the paint covers the whole client area
    case WM_TIMER:
        runState.timerWait = 0;
        return 0;
    case WM_QUERYNEWPALETTE:
        return realizePalette(window);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == window)
            return 0;
        return realizePalette(window);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
