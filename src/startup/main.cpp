// Program entry: start-up, the run, and the ordered teardown.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "engine/driver.h"
#include "engine/winhost.h"
#include "log/loader.h"
#include "resources/resource.h"
#include "startup/cmdline.h"
#include "startup/environment.h"
#include "startup/mainwnd.h"
#include "startup/restart.h"
#include "startup/runstate.h"
#include "startup/selfremove.h"
#include "startup/statusreport.h"
#include "startup/winrecord.h"
#include "common/messages.h"
#include "ui/progress.h"
#include "ui/wizard.h"

static void onArenaExhausted(size_t)
{
    // The heap is gone: say so (unless silent) and end the process rather
    // than run on with lists that forgot what they were told.
    if (!runState.silentRun) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        char caption[256];
        char text[256];
        LoadMessageText(instance, MSG_ERROR_CAPTION, caption, sizeof caption);
        LoadMessageText(instance, MSG_OUT_OF_MEMORY, text, sizeof text);
        MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
    ExitProcess(0);
}

static char* arenaText(size_t size)
{
    return static_cast<char*>(allocate(&runState.arena, size));
}

// A command line is kept whole, however long: a log path cut to fit a
// buffer would open some other file.
static char* copyCommandLine(const char* text)
{
    size_t size = strlen(text) + 1;
    char* copy = arenaText(size < kPathSize ? kPathSize : size);
    copyText(copy, size < kPathSize ? kPathSize : size, text);
    return copy;
}

static void loadCtl3d()
{
    RunState& rs = runState;
    rs.ctl3dLibrary = LoadLibraryA("CTL3D32.DLL");
    if (!rs.ctl3dLibrary)
        return;
    rs.ctl3dRegister = reinterpret_cast<Ctl3dInstanceProc>(reinterpret_cast<void*>(GetProcAddress(rs.ctl3dLibrary, "Ctl3dRegister")));
    rs.ctl3dUnregister = reinterpret_cast<Ctl3dInstanceProc>(reinterpret_cast<void*>(GetProcAddress(rs.ctl3dLibrary, "Ctl3dUnregister")));
    rs.ctl3dAutoSubclass = reinterpret_cast<Ctl3dInstanceProc>(reinterpret_cast<void*>(GetProcAddress(rs.ctl3dLibrary, "Ctl3dAutoSubclass")));
    rs.ctl3dSubclassDlgEx = reinterpret_cast<Ctl3dSubclassDlgExProc>(reinterpret_cast<void*>(GetProcAddress(rs.ctl3dLibrary, "Ctl3dSubclassDlgEx")));
    if (!rs.ctl3dRegister)
        return;
    if (rs.ctl3dRegister(rs.instance)) {
        if (!rs.windows4OrLater && rs.ctl3dAutoSubclass)
            rs.ctl3dAutoSubclass(rs.instance);
    } else {
        rs.ctl3dRegister = nullptr;
    }
}

// The Open dialog's library is loaded only when the dialog is wanted: with
// the libraries it brings (the print spooler's among them) it would add
// megabytes to every run that is given its log.
static bool openFileDialog(OPENFILENAMEA* dialog)
{
    using OpenProc = BOOL(WINAPI*)(OPENFILENAMEA*);
    HMODULE library = LoadLibraryA("COMDLG32.DLL");
    auto open = library ? reinterpret_cast<OpenProc>(reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameA")))
                        : nullptr;
    bool chosen = open && open(dialog);
    if (library)
        FreeLibrary(library);
    return chosen;
}

static void chooseLogFile(char* logPath)
{
    char description[256];
    LoadMessageText(runState.instance, MSG_LOG_FILTER, description, sizeof description);
    // One filter entry: description, pattern, and the closing empty string.
    char filter[256 + sizeof "install.log" + 2];
    size_t length = copyText(filter, sizeof filter - sizeof "install.log" - 1, description);
    memcpy(filter + length + 1, "install.log\0", sizeof "install.log\0");

    copyText(logPath, kPathSize, "INSTALL.LOG");
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = runState.mainWindow;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = logPath;
    dialog.nMaxFile = kPathSize;
    dialog.Flags = OFN_FILEMUSTEXIST;
    if (!openFileDialog(&dialog))
        logPath[0] = '\0';
}

static void dispatchToWizard(MSG& message)
{
    // A confirmed Cancel destroys the wizard, which leaves no dialog to ask.
    if (!runState.wizardDialog || !IsDialogMessageA(runState.wizardDialog, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Waits until Finish or a confirmed Cancel. It blocks for each message; both
// flags are only ever set while a message is handled, so they are tested
// again after every one.
static void waitForWizard()
{
    MSG message;
    while (!runState.finishPressed) {
        if (!IsWindow(runState.wizardDialog))
            runState.cancelRequested = 1;   // nothing could end the wait any more
        if (runState.cancelRequested) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(message.wParam));
                    break;
                }
                dispatchToWizard(message);
            }
            return;
        }
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            runState.cancelRequested = 1;
            return;
        }
        dispatchToWizard(message);
    }
}

static void askForRestart()
{
    char caption[256];
    char text[512];
    LoadMessageText(runState.instance, MSG_UNINSTALL, caption, sizeof caption);
    LoadMessageText(runState.instance, MSG_RESTART_QUESTION, text, sizeof text);
    if (MessageBoxA(runState.wizardDialog, text, caption, MB_OKCANCEL) == IDCANCEL)
        runState.rebootNeeded = 0;
}

static void showSwitches(HINSTANCE instance)
{
    char caption[256], text[1024];
    LoadMessageText(instance, MSG_ERROR_CAPTION, caption, sizeof caption);
    LoadMessageText(instance, MSG_SWITCHES, text, sizeof text);
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

// The end of a visible preview: where its record is, and the offer to open
// it. Shell32 is loaded only here, so that an uninstall never pays for it.
static void endPreview(bool written)
{
    char caption[256], format[1024], text[1536];
    LoadMessageText(runState.instance, MSG_UNINSTALL, caption, sizeof caption);
    LoadMessageText(runState.instance, written ? MSG_PREVIEW_DONE : MSG_PREVIEW_UNWRITTEN, format, sizeof format);
    formatMessage(text, sizeof text, format, recordPath());
    if (MessageBoxA(nullptr, text, caption, written ? MB_YESNO | MB_ICONINFORMATION : MB_OK | MB_ICONWARNING) != IDYES)
        return;
    using ShellExecuteProc = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    HMODULE shell = LoadLibraryA("SHELL32.DLL");
    auto open = shell ? reinterpret_cast<ShellExecuteProc>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")))
                      : nullptr;
    // A record named without a text file's extension may have no program
    // to open it: Notepad reads it all the same.
    if (!open || reinterpret_cast<INT_PTR>(open(nullptr, "open", recordPath(), nullptr, nullptr, SW_SHOWNORMAL)) <= 32) {
        std::string command = std::string("notepad.exe \"") + recordPath() + "\"";
        WinExec(command.c_str(), SW_SHOWNORMAL);
    }
    if (shell)
        FreeLibrary(shell);
}

static void runUninstall(const char* logPath, char* topDirectory)
{
    RunState& rs = runState;
    HCURSOR previous = nullptr;
    if (rs.mainWindow)
        previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));   // IDC_WAIT
    int failed = loadInstallLog(logPath, topDirectory);
    if (rs.mainWindow)
        SetCursor(previous);
    if (failed) {
        endRecordedRun(logPath, "the log could not be loaded");
        return;
    }

    if (rs.automaticRun || rs.finalPageStart) {
        rs.uninstallMethod = kMethodAutomatic;
        rs.wizardPage = kPerformPage;
    }
    if (!rs.silentRun) {
        EnableWindow(rs.mainWindow, FALSE);
        rs.wizardDialog = createWizard(IsWindowVisible(rs.mainWindow) ? rs.mainWindow : nullptr);
        // Without a dialog nobody could press Finish or Cancel.
        if (!rs.wizardDialog && !rs.automaticRun)
            rs.cancelRequested = 1;
    }
    if (!rs.automaticRun && !rs.cancelRequested)
        waitForWizard();

    if (!rs.cancelRequested) {
        SetCurrentDirectoryA("\\");
        startRecordedRun(logPath);
        performUninstall(logPath);
        if (rs.previewRun)
            rs.rebootNeeded = 0;   // the record says so; nothing waits for a restart
        else
            PostMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
    } else {
        endRecordedRun(logPath, "cancelled before the uninstall began");
    }
    if (rs.rebootNeeded && !rs.silentRun)
        askForRestart();
    if (!rs.silentRun && rs.wizardDialog) {
        DestroyWindow(rs.wizardDialog);
        rs.wizardDialog = nullptr;
    }
    if (rs.previewRun) {
        bool written = recordOpen();
        closeRecord();   // whole before anyone opens it
        if (!rs.silentRun)
            endPreview(written);
    } else {
        writeStatusReport();
    }
}

static int endMessageLoop()
{
    if (runState.mainWindow)
        DestroyWindow(runState.mainWindow);   // its end posts the quit
    else
        PostQuitMessage(0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLineText, int)
{
    RunState& rs = runState;
    rs.arena.onExhausted = onArenaExhausted;

    detectPlatform();
    installCaseFolding();
    rs.programPath = arenaText(kPathSize);
    moduleFileName(rs.programPath);
    convertPathForm(rs.programPath, kPathSize, LongForm);
    rs.companionIniPath = arenaText(kPathSize);
    formCompanionIniPath(rs.companionIniPath);
    rs.messageBuffer = arenaText(kMessageBufferSize);
    static EngineHost host;
    fillMachineHost(&host);
    fillUserHost(&host);
    rs.host = &host;

    char* commandLine = copyCommandLine(commandLineText ? commandLineText : "");
    if (commandLine[0] == '\0')
        substituteDefaultLog(commandLine, rs.companionIniPath);

    Switches switches = {};
    char* cursor = parseSwitches(commandLine, &switches);
    rs.previewRun = switches.previewRequested && !switches.relaunchedCopy;
    // A preview leaves its program where it is: neither deleted (/Z) nor
    // given a copy to remove it.
    bool startedWithZ = beginsWithZ(commandLine);
    char tempCopyPath[kPathSize] = "";
    if (!startedWithZ && !rs.previewRun)
        makeTemporaryCopy(tempCopyPath);
    startedWithZ = startedWithZ && !rs.previewRun;

    rs.automaticRun = switches.automaticRun;
    rs.silentRun = switches.silentRun;
    rs.rollbackRequested = switches.rollbackRequested;
    rs.finalPageStart = switches.finalPageStart;
    rs.relaunchedCopy = switches.relaunchedCopy;
    // A silent run shows nothing, so it opens no window and never connects
    // to the window system, whose driver (under Wine, with its X libraries)
    // would cost more memory than the log of 10,000 files. The temporary
    // copy keeps its window: its wait runs on the window's timer.
    bool windowless = rs.silentRun && !rs.relaunchedCopy;
    rs.instance = instance;
    if (!windowless)
        rs.panelBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_PANEL));
    if (switches.helpRequested) {
        showSwitches(instance);
        endOfRunRemoval(startedWithZ, tempCopyPath, "");
        return 0;
    }
    if ((switches.recordRequested || rs.previewRun) && !rs.relaunchedCopy)
        openRecord(switches.recordPath, &host, rs.previewRun);
    if (!rs.relaunchedCopy)
        rs.titleText = splitTitle(cursor);

    if (!windowless) {
        loadAppearance();
        if (!createMainWindow(instance, previous))
            return 0;
    }

    allocateRunBuffers();
    if (rs.relaunchedCopy && *cursor != '\0') {
        runSelfRemoval(cursor);
        int exitCode = endMessageLoop();
        if (rs.panelBitmap)
            DeleteObject(rs.panelBitmap);
        if (rs.textFont)
            DeleteObject(rs.textFont);
        release(&rs.arena);
        return exitCode;
    }

    SetErrorMode(SEM_NOOPENFILEERRORBOX);
    if (!windowless)
        loadCtl3d();   // three-dimensional dialogs: a silent run has none

    char logPath[kPathSize];
    char topDirectory[kPathSize] = "";
    const char* logToLoad = cursor;
    if (*cursor == '\0') {
        chooseLogFile(logPath);
        logToLoad = logPath;
    }

    if (*logToLoad != '\0')
        runUninstall(logToLoad, topDirectory);

    // Teardown, in this order.
    int exitCode = endMessageLoop();
    if (rs.ctl3dLibrary) {
        if (rs.ctl3dUnregister)
            rs.ctl3dUnregister(rs.instance);
        FreeLibrary(rs.ctl3dLibrary);
    }
    if (rs.panelBitmap)
        DeleteObject(rs.panelBitmap);
    if (rs.rebootNeeded)
        writeRestartProgram();
    if (rs.textFont)
        DeleteObject(rs.textFont);
    closeRecord();
    endOfRunRemoval(startedWithZ, tempCopyPath, topDirectory);
    release(&rs.arena);
    if (rs.backgroundPalette)
        DeleteObject(rs.backgroundPalette);
    if (rs.rebootNeeded)
        restartComputer();
    return exitCode;
}
