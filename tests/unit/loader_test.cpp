// Reading INSTALL.LOG: the grammar that fills the item lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "fakehost.h"
#include "log/itemlists.h"
#include "log/loader.h"
#include "startup/runstate.h"

namespace {

using namespace std::string_literals;

// The log grammar on the in-memory machine: groups, look-ahead, which
// entries are left out, header values and the failure boxes. The same
// loader on real files and registry is tested under Wine.

template <class... Values>
std::string cat(const Values&... values)
{
    std::ostringstream out;
    (out << ... << values);
    return out.str();
}

// A string list as "first,second".
std::string strings(const char* list)
{
    std::string out;
    for (; *list; list += strlen(list) + 1)
        out += (out.empty() ? "" : ",") + std::string(list);
    return out;
}

template <class File>
std::string file(const char* tag, const File& f)
{
    return cat(tag, f.path, " i", f.install, " shared", f.sharedCount, "@", f.sharedInstall,
               f.autoRemove ? " auto" : "", f.backupPath[0] ? cat(" backup ", f.backupPath, "@", f.backupInstall) : "",
               f.deviceInstall ? cat(" device", f.deviceInstall) : "", f.selected ? " selected" : "",
               f.selfRegInstall ? cat(" selfreg", f.selfRegInstall) : "");
}

template <class Item, class Show>
void each(std::string& out, ItemListId list, Show show)
{
    for (int i = 0; i < itemCount(list); ++i)
        out += show(*itemAt<Item>(list, i)) + "\n";
}

// What the load left, one record a line, with the fields the uninstall acts on.
std::string loaded()
{
    std::string out;
    for (int box : fake.boxes)
        out += cat("box ", box, "\n");
    auto nonEmpty = [](const char* text) { return *text ? text : nullptr; };
    const char* values[][2] = {{"rollback", runState.rollbackAvailable ? "" : nullptr},
                               {"subsystem ", installLog.subSystemName}, {"per-user ", installLog.perUserId},
                               {"mif ", nonEmpty(runState.mifName)}, {"serial ", nonEmpty(runState.serialNumber)}};
    for (auto& [label, value] : values)
        out += value ? cat(label, value, "\n") : "";
    each<PrivateFileItem>(out, PrivateFileList, [](auto& f) { return file("P ", f); });
    each<SystemFileItem>(out, SystemFileList, [](auto& f) { return file("S ", f); });
    each<EditedFileItem>(out, EditedFileList,
                         [](auto& f) { return cat("E ", f.path, " i", f.install, " backup ", f.backupPath); });
    each<DirectoryItem>(out, DirectoryList, [](auto& d) {
        return cat("D ", d.path, " made", d.madeInstall, d.treeInstall ? cat(" tree", d.treeInstall) : "");
    });
    each<IniFileItem>(out, IniFileList, [](auto& f) { return cat("INI ", f.path, " i", f.install); });
    each<IniItem>(out, IniItemList, [](auto& e) {
        return cat("ENTRY ", e.file, " [", e.section, "] ", e.item, " was ", e.preInstallValue, " then ",
                   e.previousValue, " i", e.install);
    });
    each<RegistryKeyItem>(out, RegistryKeyList,
                          [](auto& k) { return cat("KEY ", k.root, " ", k.key, " ", k.valueName, " i", k.install); });
    each<RegistryEditItem>(out, RegistryEditList, [](auto& k) {
        return cat("EDIT ", k.root, " ", k.key, " ", k.valueName, " type", k.valueType, " was ",
                   strings(k.preInstallValue), " then ", strings(k.previousValue), " i", k.install);
    });
    each<RegistryTreeItem>(out, RegistryTreeList,
                           [](auto& t) { return cat("TREE ", t.root, " ", t.key, " i", t.install); });
    each<IconItem>(out, IconList,
                   [](auto& c) { return cat("ICON ", c.group, "/", c.name, " = ", c.command, " i", c.install); });
    each<ProgramItem>(out, ProgramList,
                      [](auto& p) { return cat("RUN ", p.command, " (", p.programName, ") i", p.install); });
    each<ServiceItem>(out, ServiceList, [](auto& s) { return cat("SERVICE ", s.name, " i", s.install); });
    return out;
}

struct LoaderTest : ::testing::Test {
    char topDirectory[256] = "";
    void SetUp() override { resetFakeMachine(); }

    // What the load left; "failed" first when it says so, and the top
    // created directory when Made Dir lines moved it above the log's own.
    std::string load(const std::string& log, const std::string& path = "C:\\WINDOWS\\INSTALL.LOG")
    {
        fake.log = log;
        int result = loadInstallLog(path.c_str(), topDirectory);
        bool moved = path.compare(0, path.rfind('\\') + 1, topDirectory) != 0;
        return (result ? "failed\n" : "") + (moved ? cat("top ", topDirectory, "\n") : "") + loaded();
    }
};

TEST_F(LoaderTest, HeadersAndInvalidLogs)
{
    struct Case {
        const char *log, *expected, *title = nullptr;   // no title: the log is refused
        int sections = 0;
        const char* lastHeader = nullptr;   // where the last section begins; nullptr: the whole log
        const char* given = nullptr;        // a title given on the command line
    } cases[] = {
        {"***Installation\r\nTitle: X\r\n", "failed\nbox 4\n"},   // no blank after the stars
        {"*** x\r\ntitle: X\r\n", "failed\nbox 4\n"},             // "Title:" only with case
        {"*** x\rTitle: Demo Installation\r", "", "Demo", 1},   // CR alone ends a line
        {"\r\n\r\n*** x\r\nnoise\r\nTitle: X", "", "X", 1},
        {"*** one\r\nTitle: T\r\nMade Dir: C:\\X\r\n*** two\r\n\r\n*** three\r\nMade Dir: C:\\Y",
         "D C:\\X\\ made1\nD C:\\Y\\ made3\n", "T", 3, "*** three"},
        {"*** x\r\nTitle: Sample Suite Install\r\n", "", "Sample Suite", 1, nullptr, "Given"},   // keeps the caption
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        resetFakeMachine();
        runState.titleText = const_cast<char*>(c.given);
        EXPECT_EQ(load(c.log), c.expected);
        if (!c.title)
            continue;
        EXPECT_STREQ(runState.applicationTitle, c.title);
        EXPECT_EQ(fake.caption, c.given ? "" : "Uninstall "s + c.title);
        EXPECT_EQ(installLog.installationCount, c.sections);
        EXPECT_EQ(installLog.lastSectionOffset, c.lastHeader ? fake.log.find(c.lastHeader) : 0u);
    }
}

const char* const kHeader = "*** Installation\nTitle: Demo\n";   // an OEM section

TEST_F(LoaderTest, Entries)
{
    struct Case {
        const char *what, *files;   // files: those that exist, ";" between; nullptr: every one
        std::string body;
        const char* expected;
        void (*setup)() = nullptr;
        const char* logPath = "C:\\WINDOWS\\INSTALL.LOG";   // not listed: it holds Windows
    } cases[] = {
        {"private and system files, missing and floppy ones left out, Non-System File: selects",
         "C:\\APP\\A.DLL;C:\\WINDOWS\\SYSTEM\\X.DLL;C:\\WINDOWS\\SYSTEM\\DRIVERS\\X.SYS;C:\\WINDOWS\\N.DLL;"
         "C:\\WINDOWS\\SYSTEM\\WIN32S\\W.DLL;C:\\APP\\DATA\\X.DAT;A:\\SETUP.INI",
         "File Copy: C:\\APP\\A.DLL | 1.0\nFile Copy: C:\\WINDOWS\\SYSTEM\\X.DLL\n"
         "File Copy: C:\\WINDOWS\\SYSTEM\\DRIVERS\\X.SYS\nFile Copy: C:\\windows\\system\\win32s\\W.DLL\n"
         "Non-System File:\nFile Copy: C:\\WINDOWS\\N.DLL\nFile Copy: C:\\APP\\GONE.DLL\nFile Copy: A:\\SETUP.INI\n"
         "File Copy: C:\\APP\\DATA\\*.DAT\nFile Copy: C:\\APP\\OLD\\*.DAT\n",
         "P C:\\APP\\A.DLL i1 shared1@1 auto\nP C:\\WINDOWS\\SYSTEM\\DRIVERS\\X.SYS i1 shared1@1 auto\n"
         "P C:\\APP\\DATA\\*.DAT i1 shared1@1 auto\nS C:\\WINDOWS\\SYSTEM\\X.DLL i1 shared1@1 auto\n"
         "S C:\\windows\\system\\win32s\\W.DLL i1 shared1@1 auto\nS C:\\WINDOWS\\N.DLL i1 shared1@1 auto selected\n"},
        {"a file logged again: counted unless ignored, its backup taken", nullptr,
         "File Copy: C:\\APP\\A.DLL\nFile Copy: C:\\APP\\B.DLL\nFile Copy: C:\\WINDOWS\\S.DLL\n*** second\n"
         "File Copy: c:\\app\\a.dll\nBackup Copy: C:\\APP\\BACKUP\\A.DLL\nShared DLL counter ignored:\n"
         "File Copy: C:\\APP\\B.DLL\nFile Copy: C:\\WINDOWS\\S.DLL\nBackup Copy: C:\\APP\\BACKUP\\S.DLL\n",
         "rollback\nP C:\\APP\\A.DLL i2 shared2@2 auto backup C:\\APP\\BACKUP\\A.DLL@2\n"
         "P C:\\APP\\B.DLL i2 shared1@1 auto\n"
         "S C:\\WINDOWS\\S.DLL i2 shared2@2 auto backup C:\\APP\\BACKUP\\S.DLL@2\n"},
        {"an overwritten or edited file needs a backup, or a shared count", nullptr,
         "File Overwrite: C:\\APP\\README.TXT\nFile Overwrite: C:\\APP\\COUNTED.DLL\n"
         "File Overwrite: C:\\APP\\SAVED.TXT\nBackup Copy: C:\\APP\\SAVED.BAK\n"
         "File Edit: C:\\APP\\NOBACKUP.INI\nFile Edit: C:\\APP\\EDIT.INI\nBackup Copy: C:\\APP\\EDIT.BAK\n",
         "rollback\nP C:\\APP\\COUNTED.DLL i1 shared1@1 auto\n"
         "P C:\\APP\\SAVED.TXT i1 shared1@1 backup C:\\APP\\SAVED.BAK@1\n"
         "E C:\\APP\\EDIT.INI i1 backup C:\\APP\\EDIT.BAK\n",
         [] { fake.sharedDlls.insert("C:\\APP\\COUNTED.DLL"); }},
        {"devices and self-registration mark the files logged before them", nullptr,
         "Add Device: C:\\WINDOWS\\SYSTEM\\V.386\nFile Copy: C:\\APP\\A.DLL\nFile Copy: C:\\WINDOWS\\SYSTEM\\V.386\n"
         "*** two\nAdd Device: c:\\windows\\system\\v.386\nSelf-Register: C:\\APP\\A.DLL\n",
         "P C:\\APP\\A.DLL i1 shared1@1 auto selfreg2\nS C:\\WINDOWS\\SYSTEM\\V.386 i1 shared1@1 auto device2\n"},
        {"registry groups: created, changed, dropped, trees", nullptr,
         "RegDB Key: Software\\App\nRegDB Val: 1\nRegDB Name: Version\nRegDB Root: 2\n"
         "RegDB Key: SOFTWARE\\APP\nRegDB Val: 2\nRegDB Name: version\nRegDB Root: 1\n"
         "RegDB Key: Software\\Old\nRegDB Val: new\nRegDB Type: 2\nRegDB Root: 1\nRegDB Old: first\nRegDB Old: second\n"
         "RegDB Key: Software\\Dropped\nMade Dir: C:\\APP\\SUB\n"
         "RegDB Tree: Software\\App\\Tree\nRegDB Root: 2\nRegDB Tree: SOFTWARE\\APP\\TREE\n"
         "*** two\nRegDB Key: Software\\Old\nRegDB Val: newer\nRegDB Type: 2\nRegDB Old: new\n",
         "D C:\\APP\\SUB\\ made1\nKEY 2 Software\\App Version i1\n"
         "EDIT 1 Software\\Old  type2 was first,second then new i2\n"
         "TREE 2 Software\\App\\Tree i1\nTREE 0 SOFTWARE\\APP\\TREE i1\n"},
        {"INI entries; the lines of a new INI file are skipped", nullptr,
         "INI New: x\nINI File: C:\\APP\\APP.INI\nINI Sect: S\nINI Item: I\nINI Val: V\n"
         "INI File: C:\\WINDOWS\\WIN.INI\nINI Sect: Extensions\nINI Item: txt\nINI Val: app.exe\nINI Old: notepad.exe\n"
         "INI File: C:\\WINDOWS\\WIN.INI\nINI Sect: Extensions\nINI Item: doc\nINI Val: app.exe\n"
         "INI File: C:\\WINDOWS\\WIN.INI\nINI Sect: Broken\nCreate Service: Svc\n*** three\n*** three\n"
         "INI File: C:\\WINDOWS\\WIN.INI\nINI Sect: Extensions\nINI Item: TXT\nINI Val: other.exe\nINI Old: app.exe\n",
         "INI C:\\APP\\APP.INI i1\nENTRY C:\\WINDOWS\\WIN.INI [Extensions] txt was notepad.exe then app.exe i3\n"
         "ENTRY C:\\WINDOWS\\WIN.INI [Extensions] doc was  then  i1\nSERVICE Svc i1\n"},
        {"icons, programs, services and single values", nullptr,
         "Icon Group: G\nIcon Name: N\nIcon Cmd: one\nIcon Group: G\nIcon Name: Missing cmd\n"
         "Execute Program: C:\\APP\\CLEAN.EXE\nExecute Name: Clean up\n"
         "Execute Path: C:\\APP\\CLEAN.EXE\nExecute Name: Other name\nSubSystem: BDE 32\n"
         "Uninstall MIF: APP\nManufacturer: Ruvo\nProduct: Sample\nVersion Number: 1.0\nSerial Number: 42\n"
         "*** two\nIcon Group: g\nIcon Name: n\nIcon Cmd: two\nCreate Service: Svc\nCreate Service: SVC\n",
         "subsystem BDE 32\nmif APP\nserial 42\nICON G/N = two i1\nRUN C:\\APP\\CLEAN.EXE (Clean up) i1\n"
         "SERVICE Svc i2\n"},
        {"per-user: other profiles' links and root-1 values are not this user's to undo", nullptr,
         "Per-User ID: 7\nShell Link: C:\\WINNT\\Profiles\\ann\\A.LNK\n"
         "Shell Link: C:\\WINNT\\PROFILES\\ALL USERS\\A.LNK\n"
         "RegDB Key: K1\nRegDB Val: v\nRegDB Root: 1\nRegDB Old: x\nRegDB Key: K2\nRegDB Val: v\nRegDB Root: 2\n",
         "per-user 7\nP C:\\WINNT\\PROFILES\\ALL USERS\\A.LNK i1 shared1@1 auto\nKEY 2 K2  i1\n", [] {
             fake.startMenu = "C:\\WINNT\\Profiles\\joe\\Start Menu";
             fake.commonStartMenu = "C:\\WINNT\\Profiles\\All Users\\Start Menu";
         }},
        {"paths are converted in OEM sections only", nullptr,
         "File Copy: C:\\APP\\\x84.TXT\nCreate Service: \x84\n***  ANSI\nFile Copy: C:\\APP\\\x84.DLL\n",
         "P C:\\APP\\\xE4.TXT i1 shared1@1 auto\nP C:\\APP\\\x84.DLL i2 shared1@2 auto\nSERVICE \x84 i1\n"},
        {"administrator rights are checked on the NT family", nullptr, "User Rights: Admin\nMade Dir: C:\\APP\n",
         "failed\nbox 67\n", [] { fake.adminDenied = true; }},
        {"the log's own directory is listed, but not a drive root", nullptr, "", "", nullptr, "D:\\INSTALL.LOG"},
        {"made directories merge outward, the log's too; relative ones are left out", nullptr,
         "Made Dir: C:\\APP\nMade Dir: C:\\APPLE\nMade Dir: APP\nMade Dir: D:\\DATA\n",
         "top C:\\APP\\\nD C:\\APP\\ made1\nD C:\\APPLE\\ made1\nD D:\\DATA\\ made1\n", nullptr,
         "C:\\APP\\SUB\\INSTALL.LOG"},
        {"a drive root is no directory to remove but moves the top", nullptr, "Made Dir: C:\n",
         "top C:\\\nD C:\\APP\\ made32767\n", nullptr, "C:\\APP\\INSTALL.LOG"},
        {"a file tree matches only its own path", nullptr,
         "File Tree: C:\\APP\\TREE\\*.*\n*** two\nFile Tree: c:\\app\\tree\\\n",
         "D C:\\APP\\ made32767\nD C:\\APP\\TREE\\ made2 tree2\n", nullptr, "C:\\APP\\INSTALL.LOG"},
        {"an outer directory takes in an inner one", nullptr, "Made Dir: C:\\APP\\SUB\n*** y\nMade Dir: C:\\APP\n",
         "D C:\\APP\\ made2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetFakeMachine();
        std::istringstream files(c.files ? c.files : "");
        for (std::string path; std::getline(files, path, ';');)
            fake.addFile(path);
        fake.everyFileExists = !c.files;
        if (c.setup)
            c.setup();
        std::string log = kHeader + c.body;   // its "\n" as the log's "\r\n"
        for (size_t at = 0; (at = log.find('\n', at)) != std::string::npos; at += 2)
            log.insert(at, "\r");
        EXPECT_EQ(load(log, c.logPath), c.expected);
    }
}

} // namespace
