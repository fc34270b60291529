// The status report's text: the built-in template filled in, compared byte
// for byte with tests/data/uninstall.mif, and the overrides of the
// companion INI.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "startup/statusreport.h"

namespace {

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

TEST(StatusReport, OverridesKeepWhatIsNotAPlaceholder)
{
    ReportValues values = {"%2%", "P", "%3", "", false, true, 1, 2, 1999, 23, 59};
    struct Case {
        const char *configured, *text;
    } cases[] = {
        {"One^Two^Three", "One\r\nTwo\r\nThree"},
        {"%1%|%0%|%9%|%8%|%%7%%", "%2%|%0%|%9%|Canceled by user|%Failed%"},
        {"%3%%4%%5% %6%", "%3Uninstall 01/02/99 23:59"},
        {"%1", "%1"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statusReportText(c.configured, values), c.text) << c.configured;
}

} // namespace
