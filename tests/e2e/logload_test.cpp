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

// Each log written as `log` holds "*** x\r\nTitle: T\r\n" unless `content`
// says otherwise; `argument` names the log on the command line.
TEST(LogLoading, ALogThatCannotBeOpenedOrIsNotALog)
{
    const char kMissing[] = "Could not open INSTALL.LOG file.", kInvalid[] = "Invalid INSTALL.LOG file.";
    // The first 255 characters of the overlong path name a log that exists:
    // a command line cut to fit a buffer would open it.
    std::string longLog = "Deep" + std::string(120, 'x') + "\\" + std::string(200, 'y') + ".LOG";
    struct Case {
        std::string log, content, argument;
        const char* message;
    } cases[] = {
        {"", "", "MISSING.LOG", kMissing},
        {"INSTALL.LOG", "", "\"INSTALL.LOG\"", kMissing},   // quotes are kept
        {longLog.substr(0, 255 - (sizeof "C:\\ruvotest\\logload\\" - 1)), "", longLog, kMissing},
        {"INSTALL.LOG", "Title: T\r\n*** x\r\n", "INSTALL.LOG", kInvalid},
        {"INSTALL.LOG", "*** x\nTitle: T\n", "INSTALL.LOG", kInvalid},
    };
    for (const Case& c : cases) {
        Sandbox box("logload");
        if (!c.log.empty())
            box.writeFile(c.log, c.content.empty() ? "*** x\r\nTitle: T\r\n" : c.content);
        std::string argument = c.argument[0] == '"' ? "\"" + box.path(c.argument.substr(1)) : box.path(c.argument);
        BoxSeen seen = runUntilBox(box, argument);
        EXPECT_EQ(seen.caption, "Ruvo Uninstall") << c.argument;
        EXPECT_EQ(seen.message, c.message) << c.argument;
    }
    // /? shows the switches, and ends.
    {
        Sandbox help("logload");
        EXPECT_EQ(runUntilBox(help, "/?").message.substr(0, 21), "UNINSTAL.EXE [/A] [/S");
    }
    // A silent run shows no box: it ends.
    Sandbox box("logload");
    Process program;
    ASSERT_TRUE(program.start(box.installProgram(), "/S " + box.path("MISSING.LOG")));
    EXPECT_EQ(program.wait(kWait), 0u);
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
