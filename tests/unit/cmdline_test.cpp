#include <gtest/gtest.h>

#include <string>

#include "startup/cmdline.h"

namespace {

struct Parsed {
    Switches switches;
    std::string logPath;
    bool hasTitle;
    std::string title;
};

Parsed parse(const char* text, bool splitWhenRelaunched = false)
{
    std::string buffer = text;
    Parsed result = {};
    char* cursor = parseSwitches(&buffer[0], &result.switches);
    char* title = nullptr;
    if (!result.switches.relaunchedCopy || splitWhenRelaunched)
        title = splitTitle(cursor);
    result.logPath = cursor;
    result.hasTitle = title != nullptr;
    result.title = title ? title : "";
    return result;
}

struct Case {
    const char* commandLine;
    int automaticRun, silentRun, rollbackRequested, finalPageStart, relaunchedCopy;
    const char* logPath;
    const char* title;   // nullptr: no title
};

// Switch letters are case-insensitive except that only "/z" marks the
// relaunched copy; a switch is two characters whatever follows it.
const Case kCases[] = {
    {"", 0, 0, 0, 0, 0, "", nullptr},
    {"C:\\APP\\INSTALL.LOG", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", nullptr},
    {"/a/s C:\\APP\\INSTALL.LOG", 1, 1, 0, 0, 0, "C:\\APP\\INSTALL.LOG", nullptr},
    {"/A /S C:\\APP\\INSTALL.LOG", 1, 1, 0, 0, 0, "C:\\APP\\INSTALL.LOG", nullptr},
    {"/Afoo", 1, 0, 0, 0, 0, "foo", nullptr},
    {"/X C:\\LOG", 0, 0, 0, 0, 0, "/X", "C:\\LOG"},
    {"/R /U C:\\A.LOG", 0, 0, 1, 1, 0, "C:\\A.LOG", nullptr},
    {"/r/u C:\\A.LOG", 0, 0, 1, 1, 0, "C:\\A.LOG", nullptr},
    {"/S C:\\A.LOG", 1, 1, 0, 0, 0, "C:\\A.LOG", nullptr},
    {"/Z C:\\A.LOG", 0, 0, 0, 0, 0, "C:\\A.LOG", nullptr},
    {"C:\\APP\\INSTALL.LOG \"My App\"", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", "My App"},
    {"C:\\APP\\INSTALL.LOG My App", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", "My App"},
    {"C:\\APP\\INSTALL.LOG  Title", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", " Title"},
    {"\"C:\\APP\\INSTALL.LOG\"", 0, 0, 0, 0, 0, "\"C:\\APP\\INSTALL.LOG\"", nullptr},
    {"C:\\My App\\INSTALL.LOG", 0, 0, 0, 0, 0, "C:\\My", "App\\INSTALL.LOG"},
    {"C:\\APP\\INSTALL.LOG \"Half", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", "Half"},
    {"C:\\APP\\INSTALL.LOG \"", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", nullptr},
    {"C:\\APP\\INSTALL.LOG ", 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", nullptr},
    {"/", 0, 0, 0, 0, 0, "/", nullptr},
    {"/A", 1, 0, 0, 0, 0, "", nullptr},
};

TEST(CommandLine, SwitchesLogPathAndTitle)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.commandLine);
        Parsed p = parse(c.commandLine);
        EXPECT_EQ(p.switches.automaticRun, c.automaticRun);
        EXPECT_EQ(p.switches.silentRun, c.silentRun);
        EXPECT_EQ(p.switches.rollbackRequested, c.rollbackRequested);
        EXPECT_EQ(p.switches.finalPageStart, c.finalPageStart);
        EXPECT_EQ(p.switches.relaunchedCopy, c.relaunchedCopy);
        EXPECT_EQ(p.logPath, c.logPath);
        EXPECT_EQ(p.hasTitle, c.title != nullptr);
        if (c.title) {
            EXPECT_EQ(p.title, c.title);
        }
    }
}

TEST(CommandLine, LowerZMarksTheRelaunchedCopyAndKeepsItsArgumentsWhole)
{
    Parsed p = parse("/z C:\\PROGRA~1\\APP\\UNINSTAL.EXE C:\\PROGRA~1\\APP\\");
    EXPECT_EQ(p.switches.relaunchedCopy, 1);
    EXPECT_EQ(p.logPath, "C:\\PROGRA~1\\APP\\UNINSTAL.EXE C:\\PROGRA~1\\APP\\");
    EXPECT_FALSE(p.hasTitle);

    Parsed alone = parse("/z");
    EXPECT_EQ(alone.switches.relaunchedCopy, 1);
    EXPECT_EQ(alone.logPath, "");
}

TEST(CommandLine, BeginsWithZInEitherCase)
{
    EXPECT_TRUE(beginsWithZ("/Z"));
    EXPECT_TRUE(beginsWithZ("/z C:\\X"));
    EXPECT_TRUE(beginsWithZ("/Zfoo"));
    EXPECT_FALSE(beginsWithZ("/A /Z"));
    EXPECT_FALSE(beginsWithZ("Z"));
    EXPECT_FALSE(beginsWithZ("/"));
    EXPECT_FALSE(beginsWithZ(""));
}

TEST(CommandLine, DefaultLogBesideTheProgram)
{
    char out[256];
    ASSERT_TRUE(defaultLogPath(out, sizeof out, "C:\\PROGRA~1\\APP\\UNINSTAL.INI"));
    EXPECT_STREQ(out, "C:\\PROGRA~1\\APP\\INSTALL.LOG");
    ASSERT_TRUE(defaultLogPath(out, sizeof out, "UNINSTAL.INI"));
    EXPECT_STREQ(out, "INSTALL.LOG");

    // A path that would be cut is refused rather than shortened.
    char exact[22];
    ASSERT_TRUE(defaultLogPath(exact, sizeof exact, "C:\\ABCDEF\\U.INI"));
    EXPECT_STREQ(exact, "C:\\ABCDEF\\INSTALL.LOG");
    char small[21];
    EXPECT_FALSE(defaultLogPath(small, sizeof small, "C:\\ABCDEF\\U.INI"));
}

} // namespace
