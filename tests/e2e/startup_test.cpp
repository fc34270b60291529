// The program as a real process under Wine: start-up, the Open File dialog
// for the log, the companion INI, the background window, and the boxes for
// a log that cannot be opened or is not a log, each followed by a normal end.
#include <gtest/gtest.h>

#include "winsupport.h"

namespace {

const DWORD kWait = 15000;

std::string fileTypeText(HWND dialog)
{
    return windowText(findDescendant(dialog, "ComboBox", 0x470));   // cmb1: files of type
}

std::string fileNameText(HWND dialog)
{
    // The explorer-style name box (cmb13) is a ComboBoxEx whose inner edit
    // control carries its id; the old-style dialog has edt1 instead.
    HWND name = findDescendant(dialog, "Edit", 0x47c);
    return windowText(name ? name : findDescendant(dialog, "Edit", 0x480));
}

// Without a log the Open File dialog asks for one, its filter text from the
// companion INI, which is the program's own path with the extension
// replaced (a program renamed SETUPX.EXE reads SETUPX.INI, not
// UNINSTAL.INI). The background window, hidden unless that INI says
// "No Background=0", then shows maximized, with its gradient.
TEST(Startup, WithoutALogTheOpenFileDialogAsksForIt)
{
    Sandbox box("startup_open");
    box.writeFile("UNINSTAL.INI", "[Language]\r\nMsg1=Wrong\r\n");
    box.writeFile("SETUPX.INI", "[Language]\r\nMsg1=Ruvo Logs|Anything\r\n[Settings]\r\nNo Background=0\r\n");
    Process program;
    ASSERT_TRUE(program.start(box.installProgram("SETUPX.EXE"), ""));
    // The common dialog, once it has filled in its file type and name.
    HWND dialog = waitForBox(program.info.dwProcessId, kWait,
                             [](HWND w) { return !fileTypeText(w).empty() && !fileNameText(w).empty(); });
    ASSERT_NE(dialog, nullptr) << "no Open File dialog";
    EXPECT_EQ(fileTypeText(dialog), "Ruvo Logs\r\nAnything");
    EXPECT_EQ(fileNameText(dialog), "INSTALL.LOG");
    HWND main = waitForWindow(program.info.dwProcessId, "RUVSUninstall", kWait);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(main) && IsZoomed(main));
    // Owned by the main window, the dialog stands in front of it; move it
    // aside so the gradient's left edge is in view.
    SetWindowPos(dialog, nullptr, GetSystemMetrics(SM_CXSCREEN) - 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(500);
    RECT client;
    GetClientRect(main, &client);
    POINT topLeft = {0, 0};
    ClientToScreen(main, &topLeft);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, topLeft.x + 10, topLeft.y + 1), RGB(0, 0, 255)) << "band 0 is pure blue";
    EXPECT_EQ(GetPixel(screen, topLeft.x + 10, topLeft.y + client.bottom - 1), RGB(0, 0, 0)) << "band 95 is black";
    ReleaseDC(nullptr, screen);
    pressButton(findDescendant(dialog, "Button", IDCANCEL));
    EXPECT_EQ(program.wait(kWait), 0u);
}

// The box's message: the text of its static control that is not the icon.
std::string boxMessage(HWND box)
{
    for (HWND child : descendants(box))
        if (className(child) == "Static" && !windowText(child).empty())
            return windowText(child);
    return "";
}

// Each case's log, when it names one, holds "*** x\r\nTitle: T\r\n" unless
// `content` says otherwise; `argument` names the log on the command line.
// The box's caption and message come from the companion INI when there is
// one. A silent run shows no box: it ends.
TEST(Startup, ALogThatCannotBeOpenedOrIsNotALogEndsAfterABox)
{
    const char kMissing[] = "Could not open INSTALL.LOG file.", kInvalid[] = "Invalid INSTALL.LOG file.";
    // The first 255 characters of the overlong path name a log that exists:
    // a command line cut to fit a buffer would open it.
    std::string longLog = "Deep" + std::string(120, 'x') + "\\" + std::string(200, 'y') + ".LOG";
    struct Case {
        std::string log, content, argument, message, caption = "Ruvo Uninstall", ini = "";
    } cases[] = {
        {"", "", "MISSING.LOG", kMissing},
        {longLog.substr(0, 255 - (sizeof "C:\\ruvotest\\logload\\" - 1)), "", longLog, kMissing},
        {"INSTALL.LOG", "Title: T\r\n*** x\r\n", "INSTALL.LOG", kInvalid},
        {"", "", "/?", "UNINSTAL.EXE [/A] [/S"},
        {"", "", "NONE.LOG", "Protokoll\r\nfehlt.", "Ruvo Deinstallation",
         "[Language]\r\nMsg2=Ruvo Deinstallation\r\nMsg3=Protokoll|fehlt.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        Sandbox box("logload");
        if (!c.log.empty())
            box.writeFile(c.log, c.content.empty() ? "*** x\r\nTitle: T\r\n" : c.content);
        if (!c.ini.empty())
            box.writeFile("UNINSTAL.INI", c.ini);
        Process program;
        ASSERT_TRUE(program.start(box.installProgram(), c.argument[0] == '/' ? c.argument : box.path(c.argument)));
        HWND dialog = waitForBox(program.info.dwProcessId, kWait, [](HWND w) { return !boxMessage(w).empty(); });
        ASSERT_NE(dialog, nullptr) << "no message box";
        EXPECT_EQ(windowText(dialog), c.caption);
        // The switches' text is checked by its start only.
        EXPECT_EQ(boxMessage(dialog).substr(0, c.argument == "/?" ? c.message.size() : std::string::npos), c.message);
        pressButton(findDescendant(dialog, "Button", IDOK));
        EXPECT_EQ(program.wait(kWait), 0u);
    }
    Sandbox box("logload");
    Process program;
    ASSERT_TRUE(program.start(box.installProgram(), "/S " + box.path("MISSING.LOG")));
    EXPECT_EQ(program.wait(kWait), 0u);
}

} // namespace
