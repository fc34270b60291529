#include <gtest/gtest.h>

#include <string>

#include "startup/cmdline.h"

namespace {

// Switch letters are case-insensitive except that only "/z" marks the
// relaunched copy, whose arguments are kept whole; a switch is two
// characters whatever follows it.
TEST(CommandLine, SwitchesLogPathAndTitle)
{
    struct Case { const char *commandLine, *switches, *logPath, *title; } cases[] = {   // title nullptr: none
        {"", "", "", nullptr},
        {"/a/R /u C:\\A.LOG", "ARU", "C:\\A.LOG", nullptr},
        {"/s C:\\A.LOG", "AS", "C:\\A.LOG", nullptr},   // silent runs are automatic
        {"/Afoo", "A", "foo", nullptr},
        {"/X C:\\LOG", "", "/X", "C:\\LOG"},
        {"/Z C:\\A.LOG", "", "C:\\A.LOG", nullptr},
        {"/z C:\\APP\\UNINSTAL.EXE C:\\APP\\", "Z", "C:\\APP\\UNINSTAL.EXE C:\\APP\\", nullptr},
        {"C:\\APP\\INSTALL.LOG \"My App\"", "", "C:\\APP\\INSTALL.LOG", "My App"},
        {"C:\\APP\\INSTALL.LOG  Title", "", "C:\\APP\\INSTALL.LOG", " Title"},
        {"\"C:\\APP\\INSTALL.LOG\"", "", "\"C:\\APP\\INSTALL.LOG\"", nullptr},
        {"C:\\My App\\INSTALL.LOG", "", "C:\\My", "App\\INSTALL.LOG"},
        {"C:\\APP\\INSTALL.LOG \"Half", "", "C:\\APP\\INSTALL.LOG", "Half"},
        {"C:\\APP\\INSTALL.LOG ", "", "C:\\APP\\INSTALL.LOG", nullptr},   // an empty title is none
        {"/l C:\\A.LOG", "L", "C:\\A.LOG", nullptr},
        {"/S/L=C:\\REC.TXT C:\\A.LOG T", "ASL=C:\\REC.TXT", "C:\\A.LOG", "T"},
        {"/L=\"C:\\My Records\\R.TXT\"/A C:\\A.LOG", "AL=C:\\My Records\\R.TXT", "C:\\A.LOG", nullptr},
        {"/L=\"C:\\R.TXT C:\\A.LOG", "L=C:\\R.TXT C:\\A.LOG", "", nullptr},
        {"/S/? C:\\A.LOG", "AS?", "C:\\A.LOG", nullptr},
        {"/p/R/L=C:\\R.TXT C:\\A.LOG", "RPL=C:\\R.TXT", "C:\\A.LOG", nullptr},
        {"/U /P C:\\A.LOG T", "UP", "C:\\A.LOG", "T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        std::string buffer = c.commandLine;
        Switches s = {};
        char* cursor = parseSwitches(&buffer[0], &s);
        const char* title = s.relaunchedCopy ? nullptr : splitTitle(cursor);
        std::string flags = std::string(s.automaticRun ? "A" : "") + (s.rollbackRequested ? "R" : "") +
                            (s.silentRun ? "S" : "") + (s.finalPageStart ? "U" : "") + (s.relaunchedCopy ? "Z" : "") +
                            (s.previewRequested ? "P" : "") +
                            (s.recordRequested ? "L" : "") + (s.recordPath[0] ? "=" + std::string(s.recordPath) : "") +
                            (s.helpRequested ? "?" : "");
        EXPECT_EQ(flags, c.switches);
        EXPECT_EQ(std::string(cursor), c.logPath);
        EXPECT_EQ(std::string(title ? title : "(none)"), c.title ? c.title : "(none)");
    }
    for (const char* text : {"/Z", "/z C:\\X", "/Zfoo"})
        EXPECT_TRUE(beginsWithZ(text)) << text;
    for (const char* text : {"/A /Z", "Z", "/", ""})
        EXPECT_FALSE(beginsWithZ(text)) << text;
}

TEST(CommandLine, DefaultLogBesideTheProgram)
{
    char out[256];
    ASSERT_TRUE(defaultLogPath(out, sizeof out, "C:\\PROGRA~1\\APP\\UNINSTAL.INI"));
    EXPECT_STREQ(out, "C:\\PROGRA~1\\APP\\INSTALL.LOG");
    ASSERT_TRUE(defaultLogPath(out, sizeof out, "UNINSTAL.INI"));
    EXPECT_STREQ(out, "INSTALL.LOG");
    // A path that would be cut is refused rather than shortened.
    char exact[22], small[21];
    ASSERT_TRUE(defaultLogPath(exact, sizeof exact, "C:\\ABCDEF\\U.INI"));
    EXPECT_STREQ(exact, "C:\\ABCDEF\\INSTALL.LOG");
    EXPECT_FALSE(defaultLogPath(small, sizeof small, "C:\\ABCDEF\\U.INI"));
}

} // namespace
