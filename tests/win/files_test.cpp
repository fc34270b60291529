// Path forms and file tests on Wine's real file system (drive C: is a
// folder of the prefix; Wine makes 8.3 names such as LONGFO~1 for long ones).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "common/winfiles.h"
#include "startup/environment.h"
#include "winsupport.h"

namespace {

struct FilesTest : ::testing::Test {
    Sandbox box{"files"};

    std::string converted(const std::string& path, PathForm form, size_t capacity = 260)
    {
        std::string buffer(capacity + 8, '#');
        copyText(&buffer[0], capacity, path.c_str());
        convertPathForm(&buffer[0], capacity, form);
        EXPECT_EQ(buffer.substr(capacity), std::string(8, '#')) << "wrote past the capacity";
        return buffer.c_str();
    }

    std::string shortName(const std::string& path)
    {
        char result[MAX_PATH] = "";
        GetShortPathNameA(path.c_str(), result, sizeof result);
        return result;
    }
};

TEST_F(FilesTest, ShortAndLongFormRoundTrip)
{
    box.writeFile("Long Folder Name\\Another Long File.txt", "x");
    std::string longPath = box.path("Long Folder Name\\Another Long File.txt");
    std::string shortPath = converted(longPath, ShortForm);
    EXPECT_EQ(shortPath, shortName(longPath));
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_NE(shortPath.find('~'), std::string::npos) << shortPath;
    EXPECT_EQ(converted(shortPath, LongForm), longPath);
}

TEST_F(FilesTest, LongFormTakesTheCaseOnDiskButOnlyForShortNames)
{
    box.writeFile("Mixed Case Folder\\File.txt", "x");
    // Without "~" the path holds no short component and is left alone,
    // even when its case differs from the disk.
    std::string lower = "c:\\ruvotest\\files\\mixed case folder\\file.txt";
    EXPECT_EQ(converted(lower, LongForm), lower);
    // With one, every component found takes the name on disk.
    std::string shortDir = shortName(box.path("Mixed Case Folder"));
    std::string input = shortDir + "\\file.txt";
    input[0] = 'c';
    EXPECT_EQ(converted(input, LongForm), box.path("Mixed Case Folder\\File.txt"));
}

TEST_F(FilesTest, ComponentsNotFoundStayAsTheyAre)
{
    box.writeFile("Long Folder Name\\a.txt", "x");
    std::string shortDir = shortName(box.path("Long Folder Name"));
    EXPECT_EQ(converted(box.path("Long Folder Name\\Missing Part\\x.txt"), ShortForm),
              shortDir + "\\Missing Part\\x.txt");
    EXPECT_EQ(converted("C:\\No Such Folder~1\\x", LongForm), "C:\\No Such Folder~1\\x");
}

TEST_F(FilesTest, RootsAreNeverRewritten)
{
    EXPECT_EQ(converted("c:\\", ShortForm), "C:\\");
    EXPECT_EQ(converted("\\\\server\\share\\Some Dir~1\\x", LongForm), "\\\\server\\share\\Some Dir~1\\x");
    EXPECT_EQ(converted("\\\\server\\share", ShortForm), "\\\\server\\share");
}

TEST_F(FilesTest, TrailingBackslashWildcardsAndDotsSurvive)
{
    box.writeFile("Long Folder Name\\a.txt", "x");
    std::string shortDir = shortName(box.path("Long Folder Name"));
    EXPECT_EQ(converted(box.path("Long Folder Name\\"), ShortForm), shortDir + "\\");
    EXPECT_EQ(converted(box.path("Long Folder Name\\*.*"), ShortForm), shortDir + "\\*.*");
    EXPECT_EQ(converted(box.path("Long Folder Name\\..\\Long Folder Name"), ShortForm),
              shortDir + "\\..\\" + shortDir.substr(shortDir.rfind('\\') + 1));
}

TEST_F(FilesTest, ABareNameIsTakenFromTheCurrentDirectory)
{
    box.writeFile("Long File Name.txt", "x");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(box.path().c_str());
    std::string result = converted("Long File Name.txt", ShortForm);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(result, shortName(box.path("Long File Name.txt")));
}

TEST_F(FilesTest, AResultThatDoesNotFitLeavesThePathUnchanged)
{
    box.writeFile("Long Folder Name\\Another Long File.txt", "x");
    std::string shortPath = shortName(box.path("Long Folder Name\\Another Long File.txt"));
    // Room for the short path but not for the long one it expands to.
    EXPECT_EQ(converted(shortPath, LongForm, shortPath.size() + 1), shortPath);
}

TEST_F(FilesTest, FileMissing)
{
    box.writeFile("here.txt", "x");
    EXPECT_FALSE(fileMissing(box.path("here.txt").c_str()));
    EXPECT_FALSE(fileMissing(box.path().c_str()));
    EXPECT_TRUE(fileMissing(box.path("gone.txt").c_str()));
    EXPECT_TRUE(fileMissing("Q:\\nowhere\\x"));
}

TEST_F(FilesTest, FindWalksEveryEntryIncludingHiddenOnes)
{
    box.writeFile("a.txt", "x");
    box.writeFile("b.txt", "x");
    SetFileAttributesA(box.path("b.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    FindState find;
    int seen = 0;
    for (int found = findFirst(&find, box.path("*.txt").c_str()); found == 0; found = findNext(&find))
        ++seen;
    findClose(&find);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(findFirst(&find, box.path("*.none").c_str()), 1);
    EXPECT_EQ(findNext(&find), 1);
    findClose(&find);
}

TEST_F(FilesTest, DefaultLogIsFoundBesideTheProgramInShortForm)
{
    box.writeFile("App Folder\\INSTALL.LOG", "*** x\r\n");
    char commandLine[256] = "";
    std::string ini = box.path("App Folder\\UNINSTAL.INI");
    ASSERT_TRUE(substituteDefaultLog(commandLine, ini.c_str()));
    EXPECT_EQ(std::string(commandLine), shortName(box.path("App Folder")) + "\\INSTALL.LOG");
    EXPECT_EQ(strchr(commandLine, ' '), nullptr);

    DeleteFileA(box.path("App Folder\\INSTALL.LOG").c_str());
    commandLine[0] = '\0';
    EXPECT_FALSE(substituteDefaultLog(commandLine, ini.c_str()));
    EXPECT_STREQ(commandLine, "");
}

} // namespace
