// Message texts: the string table as shipped, and the companion INI's
// [Language] overrides read through the platform's profile API.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "startup/runstate.h"
#include "common/messages.h"
#include "winsupport.h"

namespace {

struct MessagesTest : ::testing::Test {
    Sandbox box{"messages"};
    char iniPath[kPathSize] = {};

    void SetUp() override
    {
        setIniPath(box.path("UNINSTAL.INI"));
        runState.companionIniPath = iniPath;
    }
    void TearDown() override { runState.companionIniPath = nullptr; }

    void setIniPath(const std::string& path) { strncpy(iniPath, path.c_str(), sizeof iniPath - 1); }
    void writeIni(const std::string& content) { box.writeFile("UNINSTAL.INI", content); }

    std::string fetch(int id, int capacity = 1024)
    {
        std::string buffer(static_cast<size_t>(capacity) + 8, '#');
        LoadMessageText(GetModuleHandleA(nullptr), id, &buffer[0], capacity);
        EXPECT_EQ(buffer.substr(static_cast<size_t>(capacity)), std::string(8, '#')) << "wrote past the capacity";
        return buffer.c_str();
    }
};

// Without an override the string table's text is used, each of the 73
// there; an INI without a [Language] section overrides nothing.
TEST_F(MessagesTest, WithoutAnOverrideTheStringTableTextStays)
{
    for (int id = 1; id <= 73; ++id)
        EXPECT_NE(fetch(id), "") << "message " << id;
    writeIni("[Settings]\r\nNo Background=0\r\n");
    EXPECT_EQ(fetch(59), "Are you sure you want to cancel the uninstall?");
    EXPECT_EQ(fetch(29), "Removing File:\r\n");
}

TEST_F(MessagesTest, OverrideRules)
{
    writeIni("[Language]\r\n"
             "Msg59=\r\n"                    // empty: an empty text
             "Msg60=\x7f\r\n"                // a lone DEL counts as absent
             "Msg61=two|lines\r\n"
             "Msg62=trailing|\r\n"
             "Msg63=a||b\r\n"
             "msg64=  blanks around  \r\n"   // key names ignore case; the value is trimmed
             "Msg65=\"quoted value\"\r\n"
             "Msg7=Willkommen bei %s|Weiter\r\n");
    EXPECT_EQ(fetch(59), "");
    EXPECT_EQ(fetch(60), "&Automatic");
    EXPECT_EQ(fetch(61), "two\r\nlines");
    EXPECT_EQ(fetch(62), "trailing\r\n");
    EXPECT_EQ(fetch(63), "a\r\n\r\nb");
    EXPECT_EQ(fetch(64), "blanks around");
    EXPECT_EQ(fetch(65), "quoted value");
    EXPECT_EQ(fetch(7), "Willkommen bei %s\r\nWeiter");
    EXPECT_EQ(fetch(1), "Installation Logs");   // keys not given stay as shipped
}

TEST_F(MessagesTest, TextsAreCutAtTheCallersCapacity)
{
    // An action prefix is fetched into 64 bytes: an override keeps 63 characters.
    writeIni("[Language]\r\nMsg29=" + std::string(100, 'x') + "\r\nMsg30=" + std::string(62, 'y') + "|z\r\n" +
             "Msg31=" + std::string(61, 'w') + "|z\r\n");
    EXPECT_EQ(fetch(29, 64), std::string(63, 'x'));
    EXPECT_EQ(fetch(30, 64), std::string(62, 'y'));          // the line break no longer fits
    EXPECT_EQ(fetch(31, 64), std::string(61, 'w') + "\r\n");  // it fits, what follows does not
    // The string table text is cut the same way.
    EXPECT_EQ(fetch(2, 5), "Ruvo");
    EXPECT_EQ(fetch(2, 1), "");
}

TEST_F(MessagesTest, AnEditedIniTakesEffectOnTheNextFetch)
{
    writeIni("[Language]\r\nMsg25=Before\r\n");
    EXPECT_EQ(fetch(25), "Before");
    writeIni("[Language]\r\nMsg25=After\r\n");
    EXPECT_EQ(fetch(25), "After");
    DeleteFileA(iniPath);
    EXPECT_EQ(fetch(25), "Uninstall");
}

} // namespace
