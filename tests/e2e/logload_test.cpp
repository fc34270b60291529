// Loading the log as the running program does it: the boxes for a log that
// cannot be opened or is not a log, each followed by a normal end.
#include <gtest/gtest.h>

#include "winsupport.h"

namespace {

const DWORD kWait = 15000;

// The box's message: the text of its static control that is not the icon.
std::string boxMessage(HWND box)
{
    for (HWND child : descendants(box))
        if (className(child) == "Static" && !windowText(child).empty())
            return windowText(child);
    return "";
}

struct BoxSeen {
    std::string caption, message;
};

// Starts the program with `arguments`, waits for its message box, reads it,
// presses OK and returns what it said; the program must then end with 0.
BoxSeen runUntilBox(const Sandbox& box, const std::string& arguments)
{
    BoxSeen seen;
    Process program;
    EXPECT_TRUE(program.start(box.installProgram(), arguments));
    HWND dialog = waitForWindow(program.info.dwProcessId, "#32770", kWait,
                                [](HWND w) { return IsWindowVisible(w) && !boxMessage(w).empty(); });
    EXPECT_NE(dialog, nullptr) << "no message box";
    if (!dialog)
        return seen;
    seen.caption = windowText(dialog);
    seen.message = boxMessage(dialog);
    pressButton(findDescendant(dialog, "Button", IDOK));
    EXPECT_EQ(program.wait(kWait), 0u);
    return seen;
}

TEST(LogLoading, ALogThatCannotBeOpened)
{
    Sandbox box("logload_missing");
    BoxSeen seen = runUntilBox(box, box.path("MISSING.LOG"));
    EXPECT_EQ(seen.caption, "Ruvo Uninstall");
    EXPECT_EQ(seen.message, "Could not open INSTALL.LOG file.");
}

TEST(LogLoading, ALogPathInQuotesKeepsThemAndFailsToOpen)
{
    Sandbox box("logload_quoted");
    box.writeFile("INSTALL.LOG", "*** x\r\nTitle: T\r\n");
    BoxSeen seen = runUntilBox(box, "\"" + box.path("INSTALL.LOG") + "\"");
    EXPECT_EQ(seen.message, "Could not open INSTALL.LOG file.");
}

TEST(LogLoading, AnOverlongCommandLineIsKeptWholeAndNotOpenedShortened)
{
    // The first 255 characters of this path name a log that exists: a
    // command line cut to fit a buffer would open it.
    Sandbox box("logload_long");
    std::string folder = "Deep" + std::string(120, 'x');
    CreateDirectoryA(box.path(folder).c_str(), nullptr);
    std::string log = box.path(folder + "\\" + std::string(200, 'y') + ".LOG");
    std::string cut = log.substr(0, 255);
    box.writeFile(cut.substr(box.root.size() + 1), "*** x\r\nTitle: T\r\n");
    BoxSeen seen = runUntilBox(box, log);
    EXPECT_EQ(seen.message, "Could not open INSTALL.LOG file.");
}

TEST(LogLoading, ALogThatIsNotALog)
{
    for (const char* content : {"Title: T\r\n*** x\r\n", "*** x\nTitle: T\n", "***x\r\nTitle: T\r\n"}) {
        SCOPED_TRACE(content);
        Sandbox box("logload_invalid");
        box.writeFile("INSTALL.LOG", content);
        BoxSeen seen = runUntilBox(box, box.path("INSTALL.LOG"));
        EXPECT_EQ(seen.caption, "Ruvo Uninstall");
        EXPECT_EQ(seen.message, "Invalid INSTALL.LOG file.");
    }
}

TEST(LogLoading, BoxesSpeakTheCompanionIniLanguage)
{
    Sandbox box("logload_language");
    box.writeFile("UNINSTAL.INI", "[Language]\r\nMsg2=Ruvo Deinstallation\r\nMsg3=Protokoll|fehlt.\r\n");
    BoxSeen seen = runUntilBox(box, box.path("NONE.LOG"));
    EXPECT_EQ(seen.caption, "Ruvo Deinstallation");
    EXPECT_EQ(seen.message, "Protokoll\r\nfehlt.");
}

} // namespace
