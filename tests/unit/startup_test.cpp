// Start-up: the command line and the status report.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "startup/cmdline.h"
#include "startup/statusreport.h"

namespace {

// Switch letters are case-insensitive except that only "/z" marks the
// relaunched copy, whose arguments are kept whole; a switch is two
// characters whatever follows it.
TEST(CommandLine, SwitchesLogPathAndTitle)
{
    struct Case { const char *commandLine, *switches, *logPath, *title; } cases[] = {   // title nullptr: none
        {"", "", "", nullptr},
        {"/a/R /u /s C:\\A.LOG", "ARSU", "C:\\A.LOG", nullptr},   // silent runs are automatic
        {"/Afoo", "A", "foo", nullptr},
        {"/X C:\\LOG", "", "/X", "C:\\LOG"},
        {"/Z C:\\A.LOG", "", "C:\\A.LOG", nullptr},
        {"/z C:\\APP\\UNINSTAL.EXE C:\\APP\\", "Z", "C:\\APP\\UNINSTAL.EXE C:\\APP\\", nullptr},
        {"C:\\APP\\INSTALL.LOG \"My App\"", "", "C:\\APP\\INSTALL.LOG", "My App"},
        {"\"C:\\APP\\INSTALL.LOG\"", "", "\"C:\\APP\\INSTALL.LOG\"", nullptr},
        {"C:\\My App\\INSTALL.LOG", "", "C:\\My", "App\\INSTALL.LOG"},
        {"C:\\APP\\INSTALL.LOG ", "", "C:\\APP\\INSTALL.LOG", nullptr},   // an empty title is none
        {"/S/L=C:\\REC.TXT C:\\A.LOG T", "ASL=C:\\REC.TXT", "C:\\A.LOG", "T"},
        {"/L=\"C:\\My Records\\R.TXT\"/A C:\\A.LOG", "AL=C:\\My Records\\R.TXT", "C:\\A.LOG", nullptr},
        {"/p/?/l C:\\A.LOG", "PL?", "C:\\A.LOG", nullptr},
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
    for (const char* text : {"/Zfoo", "/z C:\\X"})
        EXPECT_TRUE(beginsWithZ(text)) << text;
    for (const char* text : {"/A /Z", "Z"})
        EXPECT_FALSE(beginsWithZ(text)) << text;
    // The default log beside the program: a path that would be cut is
    // refused rather than shortened.
    char exact[22], small[21];
    EXPECT_TRUE(defaultLogPath(exact, sizeof exact, "C:\\ABCDEF\\U.INI") && std::string(exact) == "C:\\ABCDEF\\INSTALL.LOG");
    EXPECT_FALSE(defaultLogPath(small, sizeof small, "C:\\ABCDEF\\U.INI"));
}

// The status report's text: the built-in template filled in, compared byte
// for byte with tests/data/uninstall.mif, and the overrides of the
// companion INI.

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

TEST(StatusReport, TheTemplateFilledInForEachKindOfRun)
{
    std::ifstream file(RUVO_TEST_DATA "/uninstall.mif", std::ios::binary);
    std::stringstream expected;
    expected << file.rdbuf();
    const std::string uninstall = expected.str();
    ASSERT_FALSE(uninstall.empty());
    const std::string cancelled = replaced(replaced(uninstall, "\"Success\"", "\"Failed\""),
                                           "VALUE = \"\"\r\n    END ATTRIBUTE\r\n  END GROUP",
                                           "VALUE = \"Canceled by user\"\r\n    END ATTRIBUTE\r\n  END GROUP");
    const std::string rollback = replaced(uninstall, "Uninstall", "Rollback");
    ReportValues values = {"Ruvo Solutions", "Ruvo Sample", "1.0", "", false, false, 12, 6, 2026, 9, 5};
    EXPECT_EQ(statusReportText("\x7F", values), uninstall);
    values.cancelled = true;
    EXPECT_EQ(statusReportText("\x7F", values), cancelled);
    values.cancelled = false;
    values.rollback = true;
    EXPECT_EQ(statusReportText("\x7F", values), rollback);
}

} // namespace
