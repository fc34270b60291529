// Keyword recognition and the small text rules of log lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log/keywords.h"

namespace {

TEST(Keywords, RecognisedByTheirLeadingCharactersWithoutCase)
{
    EXPECT_EQ(entryKeyword("File Copy: C:\\APP\\A.DLL"), KwFileCopy);
    EXPECT_EQ(entryKeyword("file copy: C:\\APP\\A.DLL"), KwFileCopy);
    EXPECT_EQ(entryKeyword("FILE COPY: x"), KwFileCopy);
    EXPECT_EQ(entryKeyword("File Copy:x"), KwNone);        // the blank is part of the keyword
    EXPECT_EQ(entryKeyword("File Cop"), KwNone);
    EXPECT_EQ(entryKeyword("RegDB Tree: K"), KwRegTree);
    EXPECT_EQ(entryKeyword("Execute Program: X"), KwExecuteProgram);
    EXPECT_EQ(entryKeyword("Execute Path: X"), KwExecutePath);
    EXPECT_EQ(entryKeyword("*** second"), KwHeader);
    EXPECT_EQ(entryKeyword("***second"), KwNone);
    EXPECT_EQ(entryKeyword("subsystem: bde"), KwSubSystem);
    EXPECT_EQ(entryKeyword("SubSystem: X"), KwNone);
    EXPECT_EQ(entryKeyword("Title: X"), KwNone);            // only in the first section's header
    EXPECT_EQ(entryKeyword("RegDB Old: x"), KwNone);        // only inside a value group
}

TEST(Keywords, WholeLineKeywordsMustBeTheWholeLine)
{
    EXPECT_TRUE(lineIs("Non-System File:", KwNonSystemFile));
    EXPECT_TRUE(lineIs("non-system file:", KwNonSystemFile));
    EXPECT_FALSE(lineIs("Non-System File: ", KwNonSystemFile));
    EXPECT_TRUE(lineIs("User Rights: Admin", KwUserRightsAdmin));
    EXPECT_FALSE(lineIs("User Rights: Administrator", KwUserRightsAdmin));
    EXPECT_EQ(entryKeyword("USER RIGHTS: ADMIN"), KwUserRightsAdmin);
}

TEST(Keywords, Arguments)
{
    EXPECT_STREQ(argumentOf("File Copy: C:\\A B\\x ", KwFileCopy), "C:\\A B\\x ");
    EXPECT_STREQ(argumentOf("SubSystem: BDE 32", KwSubSystem), "BDE 32");
    EXPECT_STREQ(argumentOf("Execute Program: X.EXE /q", KwExecuteProgram), "X.EXE /q");
}

TEST(Keywords, TitleLineIsCaseSensitive)
{
    EXPECT_TRUE(isTitleLine("Title: X"));
    EXPECT_TRUE(isTitleLine("Title:"));
    EXPECT_FALSE(isTitleLine("title: X"));
    EXPECT_FALSE(isTitleLine("TITLE: X"));
}

std::string trimmed(const char* text)
{
    char buffer[600];
    strcpy(buffer, text);
    trimTitle(buffer);
    return buffer;
}

TEST(Keywords, TitleTrimming)
{
    EXPECT_EQ(trimmed("Sample Suite INSTALLATION"), "Sample Suite");
    EXPECT_EQ(trimmed("Sample Suite Install"), "Sample Suite");
    EXPECT_EQ(trimmed("Suite Install Installation"), "Suite");   // both cuts in turn
    EXPECT_EQ(trimmed(" INSTALL"), " INSTALL");                  // exactly 8: not cut
    EXPECT_EQ(trimmed(" INSTALLATION"), " INSTALLATION");        // exactly 13: not cut
    EXPECT_EQ(trimmed("X INSTALLATION"), "X");
    EXPECT_EQ(trimmed("Reinstall"), "Reinstall");
    EXPECT_EQ(trimmed(std::string(300, 'a').c_str()), std::string(255, 'a'));
}

TEST(Keywords, FileLinesAreCutAtTheBar)
{
    char a[] = "C:\\APP\\A.DLL | 1.0";
    cutAtBar(a);
    EXPECT_STREQ(a, "C:\\APP\\A.DLL");
    char b[] = "C:\\APP\\A.DLL|1.0|x";
    cutAtBar(b);
    EXPECT_STREQ(b, "C:\\APP\\A.DLL");
    char c[] = "C:\\APP\\A.DLL  |";   // only one blank goes
    cutAtBar(c);
    EXPECT_STREQ(c, "C:\\APP\\A.DLL ");
    char d[] = "|x";
    cutAtBar(d);
    EXPECT_STREQ(d, "");
}

TEST(Keywords, DecimalNumbers)
{
    EXPECT_EQ(decimalNumber("2"), 2);
    EXPECT_EQ(decimalNumber("  -12x"), -12);
    EXPECT_EQ(decimalNumber("+7"), 7);
    EXPECT_EQ(decimalNumber("x"), 0);
    EXPECT_EQ(decimalNumber(""), 0);
    EXPECT_EQ(decimalNumber("99999999999999999999"), 0x7FFFFFFF);
    EXPECT_EQ(decimalNumber("-99999999999999999999"), -0x7FFFFFFF);
}

} // namespace
