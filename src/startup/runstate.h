// RunState: the one process-wide record of a run. Everything that lives for
// the run is reached through it; it is written and read on the one thread.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/wintypes.h"
#include "log/reader.h"
#include "startup/arena.h"

constexpr int kPlatformNt = 1;       // Windows NT family
constexpr int kPlatformOther = 2;    // Windows 95 family and every other Win32 platform

constexpr int kMethodAutomatic = 1000;   // ids of the wizard's two radio buttons
constexpr int kMethodCustom = 1001;

constexpr unsigned char kPerformPage = 11;
constexpr unsigned char kRollbackPage = 12;

constexpr size_t kPathSize = 256;
constexpr size_t kMessageBufferSize = 16384;
constexpr size_t kReadBufferSize = 16384;
constexpr size_t kProgressTextSize = 1024;
constexpr size_t kSystemDirectorySize = 260;
constexpr size_t kHeaderValueSize = 128;

struct EngineHost;

typedef int(WINAPI* Ctl3dInstanceProc)(HINSTANCE);
typedef int(WINAPI* Ctl3dSubclassDlgExProc)(HWND, DWORD);

struct RunState {
    int platform;
    int windows4OrLater;

    int automaticRun;
    int silentRun;
    int rollbackRequested;
    int finalPageStart;
    int relaunchedCopy;
    int previewRun;   // /P: nothing on the machine changes

    int uninstallMethod;
    unsigned char wizardPage;
    int finishPressed;
    int cancelRequested;
    int rebootNeeded;
    int selfRemovalNeeded;
    int progressActive;
    int progressCount;
    int progressTotal;
    int sharedYesToAll;
    int sharedNoToAll;
    int rollbackAvailable;
    unsigned short tempNameCounter;   // "~RUXnnnn.TMP" names never repeat in a run
    volatile int timerWait;

    const EngineHost* host;     // what the uninstall engine acts through

    HINSTANCE instance;
    HWND mainWindow;
    HWND wizardDialog;

    char* titleText;
    char* programPath;          // kPathSize, long form
    char* companionIniPath;     // kPathSize
    char* messageBuffer;        // kMessageBufferSize
    char* applicationTitle;     // kPathSize
    char* readBuffer;           // kReadBufferSize, zeroed
    LineReader reader;          // the line reader over readBuffer
    char* pageBuffer;           // kPathSize, the wizard pages' scratch text
    char* progressText;         // kProgressTextSize
    char* workBuffer;           // kPathSize
    char* systemDirectory;      // kSystemDirectorySize
    char* progmanBuffer;        // 512, zeroed: the Program Manager conversation

    HBITMAP panelBitmap;
    HFONT textFont;
    HPALETTE backgroundPalette;

    char* textFontName;         // kPathSize, or none when "Text Font" is empty
    unsigned char fontCharSet;
    unsigned char fontCharSize;
    int noBackground;
    int gradientStart[3];
    int gradientDelta[3];
    int screenWidth;
    int screenHeight;

    char mifName[kHeaderValueSize];
    char manufacturer[kHeaderValueSize];
    char product[kHeaderValueSize];
    char versionNumber[kHeaderValueSize];
    char serialNumber[kHeaderValueSize];

    HMODULE ctl3dLibrary;
    Ctl3dInstanceProc ctl3dRegister;       // cleared when registration fails
    Ctl3dInstanceProc ctl3dUnregister;
    Ctl3dInstanceProc ctl3dAutoSubclass;
    Ctl3dSubclassDlgExProc ctl3dSubclassDlgEx;

    BlockArena arena;
};

extern RunState runState;

// Takes the run's buffers and the item lists from the arena, in the order
// start-up has always taken them.
void allocateRunBuffers();
