// Keyword recognition and the small text rules of log lines.
#include <gtest/gtest.h>

#include <string>

#include "log/keywords.h"

namespace {

TEST(Keywords, RecognisedByTheirLeadingCharactersWithoutCase)
{
    struct Case { const char* line; Keyword expected; } cases[] = {
        {"file copy: C:\\APP\\A.DLL", KwFileCopy}, {"FILE COPY: x", KwFileCopy},
        {"File Copy:x", KwNone}, {"File Cop", KwNone},   // the blank is part of the keyword
        {"Execute Program: X", KwExecuteProgram}, {"Execute Path: X", KwExecutePath},
        {"*** second", KwHeader}, {"***second", KwNone},
        {"subsystem: bde", KwSubSystem}, {"SubSystem: X", KwNone},
        {"Title: X", KwNone}, {"RegDB Old: x", KwNone},   // only in the first header, only inside a group
        {"USER RIGHTS: ADMIN", KwUserRightsAdmin},
        {"User Rights: Administrator", KwNone},   // the whole line or nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(entryKeyword(c.line), c.expected) << c.line;
}

// Titles, path lines and numbers.
TEST(Keywords, TextRules)
{
    struct Case { void (*rule)(char*); std::string text, expected; } cases[] = {
        {trimTitle, "Suite Install Installation", "Suite"},   // both cuts in turn
        {trimTitle, " Installation", " Installation"},        // nothing would be left
        {trimTitle, "X INSTALLATION", "X"},
        {trimTitle, "Reinstall", "Reinstall"},
        {trimTitle, std::string(300, 'a'), std::string(255, 'a')},
        {cutAtBar, "C:\\APP\\A.DLL|1.0|x", "C:\\APP\\A.DLL"},
        {cutAtBar, "C:\\APP\\A.DLL  |", "C:\\APP\\A.DLL "},   // only one blank goes
        {cutAtBar, "|x", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        c.rule(&text[0]);
        EXPECT_STREQ(text.c_str(), c.expected.c_str()) << c.text;
    }
    struct Number { const char* text; int expected; } numbers[] = {
        {"2", 2}, {"  -12x", -12}, {"+7", 7}, {"x", 0}, {"", 0},
        {"99999999999999999999", 0x7FFFFFFF}, {"-99999999999999999999", -0x7FFFFFFF},
    };
    for (const Number& c : numbers)
        EXPECT_EQ(decimalNumber(c.text), c.expected) << c.text;
}

} // namespace
