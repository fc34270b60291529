// Path forms and file look-ups on Wine's real file system (drive C: is a
// folder of the prefix; Wine makes 8.3 names such as LONGFO~1 for long ones).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "common/winfiles.h"
#include "startup/environment.h"
#include "winsupport.h"

namespace {

std::string converted(const std::string& path, PathForm form, size_t capacity = 260)
{
    std::string buffer(capacity + 8, '#');
    copyText(&buffer[0], capacity, path.c_str());
    convertPathForm(&buffer[0], capacity, form);
    EXPECT_EQ(buffer.substr(capacity), std::string(8, '#')) << "wrote past the capacity";
    return buffer.c_str();
}

TEST(Files, PathFormsComponentByComponent)
{
    Sandbox box("files");
    box.writeFile("Long Folder Name\\Another Long File.txt", "x");
    box.writeFile("Mixed Case Folder\\File.txt", "x");
    std::string longFile = box.path("Long Folder Name\\Another Long File.txt");
    std::string shortDir = shortPath(box.path("Long Folder Name")), shortFile = shortPath(longFile);
    std::string shortMixed = shortPath(box.path("Mixed Case Folder"));
    shortMixed[0] = 'c';
    std::string lower = "c:\\ruvotest\\files\\mixed case folder\\file.txt";
    struct Case {
        std::string path;
        PathForm form;
        std::string expected;
        size_t capacity;
    } cases[] = {
        {longFile, ShortForm, shortFile, 260},
        {shortFile, LongForm, longFile, 260},
        // Without "~" a path holds no short component: left alone, case and all.
        {lower, LongForm, lower, 260},
        // With one, every component found takes its name on disk; the drive goes upper case.
        {shortMixed + "\\file.txt", LongForm, box.path("Mixed Case Folder\\File.txt"), 260},
        // Components not found, wildcards, dots and trailing backslashes stay.
        {box.path("Long Folder Name\\Missing Part\\x.txt"), ShortForm, shortDir + "\\Missing Part\\x.txt", 260},
        {"C:\\No Such Folder~1\\x", LongForm, "C:\\No Such Folder~1\\x", 260},
        {box.path("Long Folder Name\\"), ShortForm, shortDir + "\\", 260},
        {box.path("Long Folder Name\\*.*"), ShortForm, shortDir + "\\*.*", 260},
        {box.path("Long Folder Name\\..\\x"), ShortForm, shortDir + "\\..\\x", 260},
        // Roots are never rewritten.
        {"c:\\", ShortForm, "C:\\", 260},
        {"\\\\server\\share\\Some Dir~1\\x", LongForm, "\\\\server\\share\\Some Dir~1\\x", 260},
        // A result that does not fit leaves the path as it was.
        {shortFile, LongForm, shortFile, shortFile.size() + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(converted(c.path, c.form, c.capacity), c.expected) << c.path;

    // A bare name is taken from the current directory.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(box.path("Long Folder Name").c_str());
    std::string bare = converted("Another Long File.txt", ShortForm);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(bare, shortFile);
}

TEST(Files, LookUps)
{
    Sandbox box("files");
    box.writeFile("a.txt", "x");
    box.writeFile("b.txt", "x");
    SetFileAttributesA(box.path("b.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(fileMissing(box.path("a.txt").c_str()));
    EXPECT_FALSE(fileMissing(box.path().c_str()));
    EXPECT_TRUE(fileMissing(box.path("gone.txt").c_str()));
    EXPECT_TRUE(fileMissing("Q:\\nowhere\\x"));
    FindState find;
    int seen = 0;
    for (int found = findFirst(&find, box.path("*.txt").c_str()); found == 0; found = findNext(&find))
        ++seen;
    findClose(&find);
    EXPECT_EQ(seen, 2) << "hidden files are found too";
    EXPECT_EQ(findFirst(&find, box.path("*.none").c_str()), 1);
    findClose(&find);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_TRUE(isWin32Executable(self));
    std::string dosOnly(128, '\0');
    dosOnly[0] = 'M';
    dosOnly[1] = 'Z';
    dosOnly[0x3C] = 0x40;   // points at zeros, not at "PE"
    box.writeFile("dos.exe", dosOnly);
    EXPECT_FALSE(isWin32Executable(box.path("dos.exe").c_str()));
    EXPECT_FALSE(isWin32Executable(box.path("a.txt").c_str()));
    EXPECT_FALSE(isWin32Executable(box.path("missing.exe").c_str()));
}

TEST(Files, DefaultLogIsFoundBesideTheProgramInShortForm)
{
    Sandbox box("files");
    box.writeFile("App Folder\\INSTALL.LOG", "*** x\r\n");
    char commandLine[256] = "";
    std::string ini = box.path("App Folder\\UNINSTAL.INI");
    ASSERT_TRUE(substituteDefaultLog(commandLine, ini.c_str()));
    EXPECT_EQ(std::string(commandLine), shortPath(box.path("App Folder")) + "\\INSTALL.LOG");
    EXPECT_EQ(strchr(commandLine, ' '), nullptr);
    DeleteFileA(box.path("App Folder\\INSTALL.LOG").c_str());
    commandLine[0] = '\0';
    EXPECT_FALSE(substituteDefaultLog(commandLine, ini.c_str()));
    EXPECT_STREQ(commandLine, "");
}

} // namespace
