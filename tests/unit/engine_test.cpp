// The uninstall engine on the in-memory machine: the removal policy, the
// texts it edits, and whole runs of the driver over logs read by the real
// loader, checked through the host's trace, the action record and the
// machine left by runs stopped part-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/devices.h"
#include "engine/driver.h"
#include "engine/policy.h"
#include "engine/record.h"
#include "engine/shareddlls.h"
#include "engine/subsystem.h"
#include "fakehost.h"
#include "log/itemlists.h"
#include "log/loader.h"
#include "startup/runstate.h"

using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

const char kLog[] = "C:\\APP\\INSTALL.LOG";
const char kSharedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A named piece of the machine whose state tells whether its item was undone.
struct Item { const char* name; std::function<std::string()> state; };
using Items = std::vector<Item>;

// A log of many kinds of change on a machine laid out for it.
struct Scenario { const char* name; Lines sections; bool rollback; void (*layOut)(); const Items& items; };

struct Engine : ::testing::Test {
    char top[256] = "";
    // Also between the cases of a test: a fresh machine with only the log.
    void SetUp() override
    {
        resetFakeMachine();
        fake.windowsDir = "C:\\OS\\WINDOWS";
        fake.systemDir = "C:\\OS\\WINDOWS\\SYSTEM32";
        fake.wow64Dir = "C:\\OS\\WINDOWS\\SYSWOW64";
        fake.addFile(kLog, "log");
    }

    // Writes `sections` as the log (each a section's entries) and loads it.
    void load(const Lines& sections, int method = kMethodAutomatic, bool rollback = false)
    {
        fake.log.clear();
        for (size_t i = 0; i < sections.size(); ++i)
            fake.log += "***  Section " + std::to_string(i + 1) + "\r\n" + (i ? "" : "Title: Demo\r\n") + sections[i];
        fake.files[upper(kLog)].content = fake.log;
        ASSERT_EQ(loadInstallLog(kLog, top), 0);
        runState.uninstallMethod = method;
        runState.rollbackRequested = rollback;
        fake.trace.clear();
    }
    // ... and runs the driver. `choose` may select items and change the method before.
    void run(const Lines& sections, int method = kMethodAutomatic, bool rollback = false,
             const std::function<void()>& choose = nullptr)
    {
        load(sections, method, rollback);
        if (choose)
            choose();
        performUninstall(kLog);
    }
    // A fresh machine laid out for the scenario, its log loaded.
    void start(const Scenario& scenario)
    {
        SetUp();
        scenario.layOut();
        load(scenario.sections, kMethodAutomatic, scenario.rollback);
    }
    // Runs the loaded log (or previews it) with its record in fake.record.
    void runRecorded(bool preview = false)
    {
        fakeHost.writeRecordLine = recordToFake;
        gateHost(&fakeHost, preview);
        startRecord(RecordHeader{"", kLog, "", "uninstall", "NT", ""});
        performUninstall(kLog);
    }
    // The host's actions and announcements, without the others' noise.
    Lines actions(const std::vector<std::string>& kinds) const
    {
        Lines result;
        for (const std::string& entry : fake.trace)
            for (const std::string& kind : kinds)
                if (entry.compare(0, kind.size() + 1, kind + " ") == 0)
                    result.push_back(entry);
        return result;
    }
};

// --- The removal policy ------------------------------------------------------

// Windows lives in C:\OS\WINDOWS here, and the log made C:\OS\WINDOWS\MYAPP.
TEST_F(Engine, OnePolicyForEveryPathAnyRemovalTakes)
{
    fake.shortNames["C:\\OS\\WINDOWS"] = "C:\\OS\\WIN~1";
    load({"Made Dir: C:\\OS\\WINDOWS\\MYAPP\r\n"});
    copyText(runState.systemDirectory, kSystemDirectorySize, "C:\\OS\\WINDOWS\\SYSTEM");
    preparePolicy();
    const RemovalKind F = RemoveFile, P = RemovePattern, T = RemoveTree, E = RemoveEmptyFolders;
    // A canonical form of nullptr: refused.
    struct Case { const char* path; RemovalKind kind; const char* canonical; } cases[] = {
        {"c:/app//a.exe", F, "C:\\app\\a.exe"}, {"\\\\?\\C:\\APP\\A.EXE", F, "C:\\APP\\A.EXE"},
        {"C:\\APP\\A.EXE. .", F, "C:\\APP\\A.EXE"}, {"C:\\OS\\WIN~1\\APP.INI", F, "C:\\OS\\WINDOWS\\APP.INI"},
        {"\\\\?\\UNC\\server\\share\\f.txt", F, "\\\\server\\share\\f.txt"},
        {"C:\\OS\\WINDOWS\\SYSTEM32\\SHARED.DLL", F, "C:\\OS\\WINDOWS\\SYSTEM32\\SHARED.DLL"},
        {"C:\\APP\\COM10", F, "C:\\APP\\COM10"},
        // Roots, relative paths, namespaces, streams, dot components and device names.
        {"C:\\", F, nullptr}, {"\\\\server\\share\\", F, nullptr}, {"C:A.EXE", F, nullptr}, {"\\A.EXE", F, nullptr},
        {"\\\\.\\PhysicalDrive0", F, nullptr}, {"C:\\APP\\A.EXE:stream", F, nullptr}, {"C:\\APP\\..\\OS", F, nullptr},
        {"C:\\APP\\ \\A", F, nullptr}, {"C:\\APP\\lpt9.dat", F, nullptr}, {"C:\\APP\\AUX .x", F, nullptr},
        // The protected folders in any spelling.
        {"c:\\os\\windows.", F, nullptr}, {"C:/OS/Windows/System32/", F, nullptr}, {"C:\\OS\\WIN~1", F, nullptr},
        {"C:\\OS\\WINDOWS\\SYSWOW64 ", F, nullptr}, {"C:\\OS\\WINDOWS\\SYSTEM", F, nullptr},
        // Patterns.
        {"C:\\APP\\*.DAT", P, "C:\\APP\\*.DAT"}, {"C:\\OS\\WINDOWS\\MYAPP\\*.DAT", P, "C:\\OS\\WINDOWS\\MYAPP\\*.DAT"},
        {"C:\\APP\\*.DAT", F, nullptr}, {"C:\\*.*", P, nullptr}, {"C:\\OS\\WINDOWS\\X*.INI", P, nullptr},
        {"C:\\APP\\*\\X.DAT", P, nullptr},
        // Trees, with files and empty ones.
        {"C:\\APP", T, "C:\\APP"}, {"C:\\OS\\WINDOWS\\MYAPP", T, "C:\\OS\\WINDOWS\\MYAPP"}, {"C:\\OS", T, nullptr},
        {"C:\\OS\\WINDOWS\\FONTS", T, nullptr}, {"C:\\OS\\WINDOWS\\TEMP", E, nullptr},
    };
    for (const Case& c : cases) {
        char out[260] = "";
        std::string allowed = mayRemovePath(c.path, c.kind, out, sizeof out) ? out : "refused";
        EXPECT_EQ(allowed, c.canonical ? c.canonical : "refused") << c.path << " as " << c.kind;
    }

    // INI entries are written back into files only, wherever they are.
    for (const char* path : {"C:\\OS\\WINDOWS\\WIN.INI", "WIN.INI", "\\\\?\\C:\\APP\\A.INI", "\\\\server\\share\\A.INI"})
        EXPECT_TRUE(mayWriteIniFile(path)) << path;
    for (const char* path : {"C:\\APP\\COM1.INI", "NUL", "\\\\.\\PhysicalDrive0", "\\\\.\\C:", "C:\\APP\\A.INI:s",
                             "..\\A.INI", "C:A.INI"})
        EXPECT_FALSE(mayWriteIniFile(path)) << path;
    fake.addFile("C:\\APP\\COM1.INI");
    run({"INI File: C:\\APP\\COM1.INI\r\nINI Sect: S\r\nINI Item: k\r\nINI Val: new\r\nINI Old: old\r\n"});
    EXPECT_EQ(actions({"ini"}), Lines{});

    // A log that claims to have made the Windows folder makes nothing in it fair.
    resetFakeMachine();
    load({"Made Dir: C:\\WINDOWS\r\n"});
    preparePolicy();
    char out[260];
    EXPECT_FALSE(mayRemovePath("C:\\WINDOWS\\FONTS", RemoveTree, out, sizeof out));
    EXPECT_FALSE(mayRemovePath("C:\\WINDOWS\\FONTS\\*.*", RemovePattern, out, sizeof out));
}

TEST_F(Engine, OnePolicyForEveryKeyAnyRemovalTakes)
{
    const KeyRemovalKind T = RemoveKeyTree, V = RemoveKeyValue, E = RemoveEmptyKey;
    struct Case { int root; const char* key; KeyRemovalKind kind; bool allowed; } cases[] = {
        {1, "\\Software\\Ruvo\\", T, true}, {0, "Ruvo.Document", T, true}, {0, "CLSID\\{1234}", T, true},
        {2, "Software\\Classes\\Ruvo.Document", T, true}, {2, "System\\CurrentControlSet\\Services\\RuvoSvc", T, true},
        {3, ".DEFAULT\\Software\\Ruvo", T, true}, {1, "Software\\Microsoft", V, true}, {1, "MyCompany", E, true},
        {1, "\\", T, false}, {1, "MyCompany", T, false}, {1, "Software\\\\Microsoft", T, false},
        {2, "SOFTWARE\\MICROSOFT\\Windows\\CurrentVersion", T, false}, {2, "Software\\Classes", T, false},
        {2, "Software\\Classes\\CLSID", T, false}, {0, "CLSID", T, false}, {3, ".DEFAULT", T, false},
        {3, ".DEFAULT\\Software", T, false}, {5, "Software\\Ruvo", T, false}, {1, "", V, false},
        {1, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", E, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mayRemoveKey(c.root, c.key, c.kind), c.allowed) << c.root << " " << c.key << " as " << c.kind;
}

// --- Whole runs ----------------------------------------------------------

// Entries of every kind, in the log's order rather than the run's, and
// more of some: patterns, trees, help files, a server with its device line,
// shared counts, a file in use, a chosen system file.
const std::string kEveryKind =
    "Icon Group: Demo\r\nIcon Name: Demo App\r\nIcon Cmd: C:\\APP\\APP.EXE\r\n"
    "RegDB Tree: Software\\Ruvo\\Tree\r\nRegDB Root: 1\r\n"
    "RegDB Key: Software\\Ruvo\\Created\r\nRegDB Val: 1\r\nRegDB Name: v\r\nRegDB Root: 1\r\n"
    "RegDB Key: Software\\Ruvo\\A key long enough to be cut on the progress line\r\nRegDB Val: new\r\n"
    "RegDB Name: e\r\nRegDB Root: 1\r\nRegDB Old: old\r\n"
    "Made Dir: C:\\APP\\DATA\r\nFile Copy: C:\\OS\\WINDOWS\\SYSTEM32\\RUVO.DLL\r\nFile Copy: C:\\APP\\APP.EXE\r\n"
    "INI File: C:\\APP\\APP.INI\r\nINI Sect: S\r\nINI Item: k\r\nINI Val: new\r\nINI Old: old\r\n"
    "INI New: x\r\nINI File: C:\\APP\\NEW.INI\r\n"
    "SubSystem: BDE\r\nCreate Service: RuvoSvc\r\nPer-User ID: demo\r\n"
    "Execute Program: C:\\APP\\CLEANUP.EXE\r\nExecute Name: Clean up\r\n"
    "File Copy: C:\\APP\\DATA\\*.DAT\r\nMade Dir: C:\\APP\\TREE\\\r\nFile Tree: C:\\APP\\TREE\\*.*\r\n"
    "File Copy: C:\\APP\\SRV.DLL\r\nSelf-Register: C:\\APP\\SRV.DLL\r\nAdd Device: C:\\APP\\SRV.DLL\r\n"
    "File Copy: C:\\APP\\HELD.DLL\r\nCreate Service: Absent\r\nFile Tree: C:\\OS\\WINDOWS\\*.*\r\n"
    "File Copy: C:\\APP\\RO.TXT\r\nFile Copy: C:\\APP\\HELP\\APP.HLP\r\nFile Copy: C:\\APP\\LAST.DLL\r\n"
    "Non-System File:\r\nFile Copy: C:\\OS\\WINDOWS\\SYSTEM32\\CHOSEN.DLL\r\n"
    "INI File: C:\\APP\\APP.INI\r\nINI Sect: S\r\nINI Item: added\r\nINI Val: new\r\n"
    "Icon Group: Demo\r\nIcon Name: Two\r\nIcon Cmd: C:\\APP\\RO.TXT\r\n";

void layOutUninstall()
{
    fake.setValue(1, "Software\\Ruvo\\Tree\\Sub", "x", 1, "1");
    fake.setValue(1, "Software\\Ruvo\\Created", "v", 1, "1");
    fake.setValue(1, "Software\\Ruvo\\A key long enough to be cut on the progress line", "e", 1, "new");
    fake.setValue(2, "Software\\Borland\\Database Engine", "UseCount", 1, "1");
    fake.setValue(2, "Software\\Ruvo Solutions\\KovUser", "Path", 1, "C:\\KOV\\KOVUSER.EXE");
    for (const char* path : {"C:\\APP\\APP.EXE", "C:\\APP\\APP.INI", "C:\\APP\\NEW.INI", "C:\\APP\\DATA\\A.DAT",
                             "C:\\APP\\DATA\\B.DAT", "C:\\APP\\TREE\\SUB\\T.TXT", "C:\\APP\\HELD.DLL",
                             "C:\\APP\\HELP\\APP.HLP", "C:\\APP\\HELP\\APP.GID", "C:\\APP\\LAST.DLL",
                             "C:\\OS\\WINDOWS\\SYSTEM32\\RUVO.DLL", "C:\\OS\\WINDOWS\\SYSTEM32\\CHOSEN.DLL"})
        fake.addFile(path, path);
    fake.files["C:\\APP\\HELD.DLL"].inUse = true;
    fake.addFile("C:\\APP\\RO.TXT", "read-only", kAttributeReadOnly);
    fake.addFile("C:\\APP\\SRV.DLL", win32Image());
    fake.addFile("C:\\OS\\WINDOWS\\SYSTEM.INI", "[386Enh]\r\ndevice=C:\\APP\\SRV.DLL\r\n");
    fake.ini["C:\\APP\\APP.INI|S|ADDED"] = "new";
    fake.setValue(2, kSharedKey, "C:\\APP\\APP.EXE", 4, "\3\0\0\0"s);    // still used by others
    fake.setValue(2, kSharedKey, "C:\\APP\\LAST.DLL", 4, "\1\0\0\0"s);   // the last user: asked, Yes
    fake.answers = {kSharedYes};
    fake.progmanGroups = {{"Demo", "\"Demo\",d.grp,2,1\r\n\"Demo App\",\"C:\\APP\\APP.EXE\"\r\n"
                                   "\"Two\",\"C:\\APP\\RO.TXT\"\r\n"}};
}

std::string traced(const std::string& action)
{
    return std::count(fake.trace.begin(), fake.trace.end(), action) ? "done" : "-";
}

std::string value(int root, const char* key, const char* name)
{
    const FakeValue* found = fake.value(root, key, name);
    return found ? std::to_string(found->type) + ":" + found->data : fake.hasKey(root, key) ? "key" : "-";
}

std::string iniEntry(const char* entry) { return fake.ini.count(entry) ? fake.ini[entry] : "-"; }

// The items of several parts, which a stopped run must never leave half
// undone (the record shows what became of every other kind).
const Items kUninstallItems = {
    {"help file", [] { return fake.read("C:\\APP\\HELP\\APP.HLP") + "|" + fake.read("C:\\APP\\HELP\\APP.GID"); }},
    {"pattern", [] { return fake.read("C:\\APP\\DATA\\A.DAT") + "|" + fake.read("C:\\APP\\DATA\\B.DAT"); }},
    {"last shared use", [] { return fake.read("C:\\APP\\LAST.DLL") + "|" + value(2, kSharedKey, "C:\\APP\\LAST.DLL"); }},
    {"shared file", [] { return fake.read("C:\\APP\\APP.EXE") + "|" + value(2, kSharedKey, "C:\\APP\\APP.EXE"); }},
    {"server and device", [] {
         return fake.read("C:\\APP\\SRV.DLL").substr(0, 2) + "|" + traced("unregister C:\\APP\\SRV.DLL") + "|" +
                fake.read("C:\\OS\\WINDOWS\\SYSTEM.INI");
     }},
    {"tree", [] { return fake.read("C:\\APP\\TREE") + "|" + fake.read("C:\\APP\\TREE\\SUB\\T.TXT"); }},
    {"registry tree", [] { return value(1, "Software\\Ruvo\\Tree", "") + "|" + value(1, "Software\\Ruvo\\Tree\\Sub", "x"); }},
};

const Scenario kUninstall = {"uninstall", {kEveryKind}, false, layOutUninstall, kUninstallItems};

// Two installations; the rollback restores backups (a server among them)
// and edits of the last.
const std::string kFirst =
    "File Copy: C:\\APP\\A.DLL\r\nFile Copy: C:\\APP\\SRV.DLL\r\nSelf-Register: C:\\APP\\SRV.DLL\r\n"
    "File Copy: C:\\APP\\KEEP.TXT\r\n"
    "INI File: C:\\APP\\APP.INI\r\nINI Sect: S\r\nINI Item: k\r\nINI Val: one\r\n"
    "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: one\r\nRegDB Name: e\r\nRegDB Root: 1\r\n";
const std::string kSecond =
    "Create Service: S2\r\n"
    "INI File: C:\\APP\\APP.INI\r\nINI Sect: S\r\nINI Item: k\r\nINI Val: two\r\nINI Old: one\r\n"
    "File Copy: C:\\APP\\A.DLL\r\nBackup Copy: C:\\BAK\\A.DLL\r\n"
    "File Edit: C:\\APP\\CFG.TXT\r\nBackup Copy: C:\\BAK\\CFG.TXT\r\n"
    "File Copy: C:\\APP\\NEW.TXT\r\nFile Copy: C:\\APP\\B.DLL\r\nBackup Copy: C:\\BAK\\B.DLL\r\n"
    "File Copy: C:\\APP\\SRV.DLL\r\nBackup Copy: C:\\BAK\\SRV.DLL\r\nSelf-Register: C:\\APP\\SRV.DLL\r\n"
    "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: two\r\nRegDB Name: e\r\nRegDB Root: 1\r\nRegDB Old: one\r\n"
    "RegDB Key: Software\\Ruvo\\Created\r\nRegDB Val: 1\r\nRegDB Name: v\r\nRegDB Root: 1\r\n"
    "Icon Group: Demo\r\nIcon Name: Two\r\nIcon Cmd: C:\\APP\\NEW.TXT\r\n";

void layOutRollback()
{
    for (const char* path : {"C:\\APP\\A.DLL", "C:\\APP\\CFG.TXT", "C:\\APP\\NEW.TXT", "C:\\APP\\B.DLL", "C:\\APP\\KEEP.TXT"})
        fake.addFile(path, "new");
    for (const char* path : {"C:\\BAK\\A.DLL", "C:\\BAK\\CFG.TXT", "C:\\BAK\\B.DLL"})
        fake.addFile(path, "old");
    fake.addFile("C:\\APP\\SRV.DLL", win32Image() + "new");
    fake.addFile("C:\\BAK\\SRV.DLL", win32Image() + "old");
    fake.ini["C:\\APP\\APP.INI|S|K"] = "two";
    fake.addFile("C:\\APP\\APP.INI");
    fake.setValue(1, "Software\\Ruvo\\Changed", "e", 1, "two");
    fake.setValue(1, "Software\\Ruvo\\Created", "v", 1, "1");
    fake.progmanGroups = {{"Demo", "\"Demo\",d.grp,1,1\r\n\"Two\",\"C:\\APP\\NEW.TXT\"\r\n"}};
}

// The last three bytes of the file, and its backup.
std::string restored(const char* path, const char* backup)
{
    std::string content = fake.read(path);
    return content.substr(content.size() < 3 ? 0 : content.size() - 3) + "|" + fake.read(backup);
}

const Items kRollbackItems = {
    {"service", [] { return traced("service S2"); }},
    {"INI entry", [] { return iniEntry("C:\\APP\\APP.INI|S|K"); }},
    {"edited file", [] { return restored("C:\\APP\\CFG.TXT", "C:\\BAK\\CFG.TXT"); }},
    {"file with a backup", [] { return restored("C:\\APP\\A.DLL", "C:\\BAK\\A.DLL"); }},
    {"another file with a backup", [] { return restored("C:\\APP\\B.DLL", "C:\\BAK\\B.DLL"); }},
    {"new file", [] { return fake.read("C:\\APP\\NEW.TXT"); }},
    {"server with a backup", [] {
         return restored("C:\\APP\\SRV.DLL", "C:\\BAK\\SRV.DLL") + "|" + traced("register C:\\APP\\SRV.DLL");
     }},
    {"registry value", [] { return value(1, "Software\\Ruvo\\Changed", "e"); }},
    {"created value", [] { return value(1, "Software\\Ruvo\\Created", "v"); }},
    {"icon", [] { return traced("icon Two"); }},
};

const Scenario kRollback = {"rollback", {kFirst, kSecond}, true, layOutRollback, kRollbackItems};

Lines states(const Items& items)
{
    Lines result;
    for (const Item& item : items)
        result.push_back(item.state());
    return result;
}

// The action record gives each item the run takes its outcome from the
// operations themselves and sums them; a preview answers every change from
// the present state, makes none, and names the same items in the same order
// with the same kinds: for an uninstall of every kind of change with a
// failing deletion and a file in use (which the preview finds held, as the
// run would), and for a rollback that restores backups.
TEST_F(Engine, TheRecordSaysWhatBecameOfEachItemAndAPreviewWhatWould)
{
    // Some lines of the record, in order: of the preview, of the run.
    struct Case { const Scenario& scenario; Lines lines[2]; } cases[] = {
        {kUninstall,
         {{"would run\tprogram\tClean up\t", "missing\tservice\tAbsent\t",
           "would remove\tINI file\tC:\\APP\\NEW.INI\tpresent",
           "would remove\tserver\tC:\\APP\\SRV.DLL\tpresent", "would remove\tdevice\tC:\\APP\\SRV.DLL\tpresent",
           "would keep\tfile\tC:\\APP\\APP.EXE\tstill counted by other software (count 3, 2 after this run)",
           "would defer\tfile\tC:\\APP\\HELD.DLL\tpresent, at the next restart",
           "would keep\tdirectory\tC:\\APP\tstill holds files", "would remove\tdirectory\tC:\\APP\\TREE\tpresent",
           "would remove\tregistry tree\tHKCU\\Software\\Ruvo\\Tree\tpresent"},
          {"ran\tprogram\tClean up\t", "removed\tservice\tRuvoSvc\t", "removed\tsub-system\tBDE\t",
           "failed\tINI file\tC:\\APP\\NEW.INI\terror 5: text of 5", "restored\tINI entry\tC:\\APP\\APP.INI [S] k\t",
           "kept\tfile\tC:\\APP\\APP.EXE\tstill counted by other software (count 3, 2 after this run)",
           "deferred\tfile\tC:\\APP\\HELD.DLL\tat the next restart",
           "kept\tsystem file\tC:\\OS\\WINDOWS\\SYSTEM32\\RUVO.DLL\tnot chosen for removal",
           "kept\tdirectory\tC:\\APP\tstill holds files", "kept\tdirectory\tC:\\OS\\WINDOWS\trefused as unsafe",
           "restored\tregistry value\tHKCU\\Software\\Ruvo\\A key long enough to be cut on the progress line : e\t",
           "removed\tcreated value\tHKCU\\Software\\Ruvo\\Created : v\t",
           "removed\tregistry tree\tHKCU\\Software\\Ruvo\\Tree\t", "removed\ticon\tDemo App\t",
           "ran\tper-user uninstaller\tdemo\t",
           "ended\tcompleted\t16 removed, 2 restored, 4 kept, 1 deferred, 1 missing, 1 failed, 2 ran"}}},
        {kRollback,
         {{"would restore\tedited file\tC:\\APP\\CFG.TXT\tpresent", "would restore\tfile\tC:\\APP\\A.DLL\tpresent",
           "would remove\tfile\tC:\\APP\\NEW.TXT\tpresent"},
          {"restored\tedited file\tC:\\APP\\CFG.TXT\t", "restored\tfile\tC:\\APP\\A.DLL\t"}}},
    };
    for (const Case& c : cases) {
        Lines items[2];
        for (bool preview : {true, false}) {
            SCOPED_TRACE(std::string(c.scenario.name) + (preview ? " preview" : " run"));
            start(c.scenario);
            fake.failures["service ABSENT"] = 1060;
            fake.failures["delete C:\\APP\\NEW.INI"] = 5;
            runRecorded(preview);
            for (const std::string& line : fake.record)
                if (std::count(line.begin(), line.end(), '\t') == 3)
                    items[preview].push_back(line.substr(line.find('\t') + 1, line.rfind('\t') - line.find('\t') - 1));
            auto at = fake.record.begin();
            for (const std::string& line : c.lines[!preview])
                EXPECT_NE(at = std::find(at, fake.record.end(), line), fake.record.end()) << line;
            if (!preview) {   // the progress bar ends full
                EXPECT_EQ(runState.progressCount, runState.progressTotal);
            } else {   // every change the fake machine takes is traced
                EXPECT_EQ(actions({"delete", "rmdir", "copy", "write", "replace", "truncate", "ini", "regset",
                                   "regdelvalue", "regdelkey", "restart-move", "restart-rename", "service", "start",
                                   "exec", "dde", "register", "unregister", "attrib"}),
                          Lines{});
            }
        }
        EXPECT_EQ(items[0], items[1]);
        EXPECT_GT(items[0].size(), 3u);
    }
}

// Cancel between any two items of a run, or Abort at the sub-system's
// prompt, leaves every item undone whole or as it was, and
// the record says where the run stopped; a cancelled rollback still cuts
// its log.
TEST_F(Engine, CancelOrAbortLeavesEveryItemDoneOrUntouched)
{
    for (const Scenario* scenario : {&kUninstall, &kRollback}) {
        start(*scenario);
        Lines before = states(scenario->items);
        performUninstall(kLog);
        Lines done = states(scenario->items);
        int shown = fake.shown;
        for (size_t i = 0; i < done.size(); ++i)
            EXPECT_NE(done[i], before[i]) << scenario->name << ": " << scenario->items[i].name << " is never undone";
        std::string cut = fake.log.substr(0, fake.log.find("***  Section 2"));
        // -1: no Cancel, but the InterBase server still runs and the user aborts.
        for (int k = scenario->rollback ? 0 : -1; k <= shown; ++k) {
            SCOPED_TRACE(std::string(scenario->name) + ", cancelled after " + std::to_string(k) + " items shown");
            start(*scenario);
            fake.cancelAfterShown = k;
            if (k < 0) {
                fake.windows["IB_Server"] = 1;
                fake.answers = {3};   // Abort
            }
            runRecorded();
            Lines after = states(scenario->items);
            for (size_t i = 0; i < after.size(); ++i)
                EXPECT_TRUE(after[i] == before[i] || after[i] == done[i])
                    << scenario->items[i].name << ": " << after[i] << "\n  before: " << before[i]
                    << "\n  undone: " << done[i];
            std::string ended = k < 0 ? "ended\taborted at the sub-system prompt\t" : "ended\tcancelled after ";
            EXPECT_EQ(fake.record.back().compare(0, ended.size(), ended), 0) << fake.record.back();
            if (scenario->rollback) {
                EXPECT_EQ(fake.read(kLog), cut) << "a cancelled rollback still cuts its log";
            }
        }
    }
}

// Which items a run takes: by method and selection, by installation
// number, and in a rollback only what the last installation did. Logged
// programs start by their short paths; the per-user uninstaller only after
// an uninstall (or the rollback of the only section).
TEST_F(Engine, ItemsAreTakenByMethodSelectionInstallationAndRollback)
{
    auto section = [](const char* n) {
        return std::string("File Copy: C:\\APP\\") + (n[0] == '1' ? "ONE" : "TWO") + ".TXT\r\n" +
               "INI New: x\r\nINI File: C:\\APP\\I" + n + ".INI\r\n" +
               "RegDB Tree: Software\\Ruvo\\T" + n + "\r\nRegDB Root: 1\r\n" +
               "Icon Group: G\r\nIcon Name: Icon " + n + "\r\nIcon Cmd: C" + n + "\r\n" +
               "Create Service: S" + n + "\r\n" + "Execute Program: C:\\Program Files\\P" + n + ".EXE /q\r\n" +
               "Per-User ID: u\r\n";
    };
    std::function<void()> chooseSome = [] {
        itemAt<PrivateFileItem>(PrivateFileList, 0)->selected = 1;
        itemAt<RegistryTreeItem>(RegistryTreeList, 1)->selected = 1;
        itemAt<IconItem>(IconList, 0)->selected = 1;
        itemAt<ServiceItem>(ServiceList, 1)->selected = 1;
    };
    std::function<void()> chooseFolder = [] { itemAt<DirectoryItem>(DirectoryList, 0)->selected = 1; };
    const Lines chosen = {"service S2", "delete C:\\APP\\ONE.TXT", "regdelkey 1 Software\\Ruvo\\T2", "icon Icon 1"};
    struct Case { const char* name; int method; bool rollback; std::function<void()> choose; Lines acted; };
    const Case cases[] = {
        {"automatic", kMethodAutomatic, false, nullptr,
         {"start C:\\PROGRA~1\\P1.EXE /q", "start C:\\PROGRA~1\\P2.EXE /q", "service S1", "service S2",
          "delete C:\\APP\\I1.INI", "delete C:\\APP\\I2.INI", "delete C:\\APP\\ONE.TXT", "delete C:\\APP\\TWO.TXT",
          "delete C:\\APP\\INSTALL.LOG", "regdelkey 1 Software\\Ruvo\\T2", "regdelkey 1 Software\\Ruvo\\T1",
          "icon Icon 1", "icon Icon 2", "exec C:\\PROGRA~1\\KOV\\KOVUSER.EXE /U \"u\""}},
        {"rollback", kMethodAutomatic, true, nullptr,
         {"start C:\\PROGRA~1\\P2.EXE /q", "service S2", "delete C:\\APP\\I2.INI", "delete C:\\APP\\TWO.TXT",
          "truncate C:\\APP\\INSTALL.LOG", "regdelkey 1 Software\\Ruvo\\T2", "icon Icon 2"}},
        {"custom", kMethodCustom, false, chooseSome, chosen},
        {"custom never rolls back", kMethodCustom, true, chooseSome, chosen},
        {"custom, nothing chosen", kMethodCustom, false, nullptr, {}},
        {"custom, a folder chosen: with its files", kMethodCustom, false, chooseFolder,
         {"delete C:\\APP\\I1.INI", "delete C:\\APP\\I2.INI", "delete C:\\APP\\INSTALL.LOG",
          "delete C:\\APP\\ONE.TXT", "delete C:\\APP\\TWO.TXT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (const char* file : {"C:\\APP\\ONE.TXT", "C:\\APP\\TWO.TXT", "C:\\APP\\I1.INI", "C:\\APP\\I2.INI"})
            fake.addFile(file);
        fake.setValue(1, "Software\\Ruvo\\T1", "v", 1, "1");
        fake.setValue(1, "Software\\Ruvo\\T2", "v", 1, "1");
        fake.setValue(2, "Software\\Ruvo Solutions\\KovUser", "Path", 2, "C:\\Program Files\\KOV\\KOVUSER.EXE");
        fake.shortNames["C:\\PROGRAM FILES"] = "C:\\PROGRA~1";
        fake.progmanGroups = {{"G", "\"G\",g.grp,2,1\r\n\"Icon 1\",\"C1\"\r\n\"Icon 2\",\"C2\"\r\n"}};
        run({section("1"), section("2")}, c.method, c.rollback, c.choose);
        EXPECT_EQ(actions({"start", "service", "delete", "truncate", "regdelkey", "icon", "exec"}), c.acted);
    }
}

// --- Shared files, servers and devices ------------------------------------

TEST_F(Engine, SharedCountsGoDownAndAZeroCountAsks)
{
    using S = std::string;
    const int Yes = kSharedYes, No = kSharedNo;
    // The count as logged (type 0: no value), what the run gives back, the
    // answers, and the count's data afterwards ("" when deleted, "same").
    struct Case {
        const char* name; unsigned long type; S data; int sharedCount; std::vector<int> answers;
        SharedRelease result; S after; bool asked; int rollback = 0, windows4 = 1, silent = 0;
    } cases[] = {
        {"dword 3 less 1", 4, S("\3\0\0\0", 4), 1, {}, SharedKeep, S("\2\0\0\0", 4), false},
        {"text 2 less 2, Yes", 1, S("2\0", 2), 2, {Yes}, SharedRemove, "", true},
        {"text 2 less 2, No", 1, S(" +2x"), 2, {No}, SharedKeep, "", true},
        {"1 less 3 stops at 0", 4, S("\1\0\0\0", 4), 3, {2 /* Escape */}, SharedKeep, "", true},
        {"rollback gives back 1", 3, S("\5\0\0\0", 4), 3, {}, SharedKeep, S("\4\0\0\0", 4), false, 1},
        {"binary of 2 bytes", 3, S("\5\0", 2), 1, {}, SharedNotCounted, "same", false},
        {"no count above 0", 1, S("-3"), 1, {}, SharedNotCounted, "same", false},
        {"no value", 0, "", 1, {}, SharedNotCounted, "", false},
        {"before Windows 4", 4, S("\1\0\0\0", 4), 1, {}, SharedNotCounted, "same", false, 0, 0},
        {"silent runs keep", 4, S("\1\0\0\0", 4), 1, {Yes}, SharedKeep, "", false, 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.type)
            fake.setValue(2, kSharedKey, "C:\\A.DLL", c.type, c.data);
        fake.answers = c.answers;
        runState.rollbackRequested = c.rollback;
        runState.windows4OrLater = c.windows4;
        runState.silentRun = c.silent;
        EXPECT_EQ(releaseSharedFile("C:\\A.DLL", c.sharedCount), c.result);
        const FakeValue* value = fake.value(2, kSharedKey, "C:\\A.DLL");
        std::string after = !value ? "" : value->data == c.data && value->type == c.type ? "same" : value->data;
        EXPECT_EQ(after, c.after);
        EXPECT_TRUE(!value || value->type == c.type || value->type == 4);
        EXPECT_EQ(actions({"ask"}).size(), c.asked ? 1u : 0u);
    }
}

// Steps 8 and 9 over real counts: a file that others still count keeps its
// path emptied, so that no later step touches it; one nobody counts any
// more goes after a Yes, unregistered and with its device lines made
// comments first, a system file too. The same when SharedDLLs holds more
// counts than the run has files: the run then asks for each file's count
// instead of reading every name the key holds.
TEST_F(Engine, SharedFilesAreKeptOrReleased)
{
    for (int others : {0, 6}) {
        SetUp();
        for (int i = 0; i < others; ++i)   // named before the run's files
            fake.setValue(2, kSharedKey, "C:\\AAA\\X" + std::to_string(i) + ".DLL", 1, "1");
        const char* names[] = {"C:\\APP\\KEEP.DLL", "C:\\APP\\GONE.DLL", "C:\\OS\\WINDOWS\\SYSTEM32\\S1.DLL",
                               "C:\\OS\\WINDOWS\\SYSTEM32\\S2.DLL", "C:\\OS\\WINDOWS\\SYSTEM32\\S3.DLL"};
        const char* counts[] = {"2", "1", "2", "1", "1"};
        std::string log, systemIni = "[386Enh]\r\n";
        for (int i = 0; i < 5; ++i) {
            fake.addFile(names[i], win32Image());
            fake.setValue(2, kSharedKey, names[i], 1, counts[i]);
            std::string logged = "c" + std::string(names[i] + 1);   // the counts name "C:"
            log += "File Copy: " + logged + "\r\nSelf-Register: " + logged + "\r\nAdd Device: " + logged + "\r\n";
            systemIni += std::string("device=") + names[i] + "\r\n";
        }
        fake.addFile("C:\\OS\\WINDOWS\\SYSTEM.INI", systemIni);
        fake.answers = {kSharedYes, kSharedNo, kSharedYes};
        run({log});
        EXPECT_EQ(actions({"ask", "unregister", "replace", "delete"}),
                  (Lines{"ask c:\\APP\\GONE.DLL", "unregister c:\\APP\\GONE.DLL",
                         "replace C:\\OS\\WINDOWS\\~RUVS383.TMP > C:\\OS\\WINDOWS\\SYSTEM.INI",
                         "ask c:\\OS\\WINDOWS\\SYSTEM32\\S3.DLL", "ask c:\\OS\\WINDOWS\\SYSTEM32\\S2.DLL",
                         "unregister c:\\OS\\WINDOWS\\SYSTEM32\\S2.DLL",
                         "replace C:\\OS\\WINDOWS\\~RUVS383.TMP > C:\\OS\\WINDOWS\\SYSTEM.INI", "delete C:\\APP\\GONE.DLL",
                         "delete C:\\OS\\WINDOWS\\SYSTEM32\\S2.DLL", "delete C:\\APP\\INSTALL.LOG"}));
        EXPECT_EQ(fake.read("C:\\OS\\WINDOWS\\SYSTEM.INI"),
                  "[386Enh]\r\ndevice=C:\\APP\\KEEP.DLL\r\n;device=C:\\APP\\GONE.DLL\r\n"
                  "device=C:\\OS\\WINDOWS\\SYSTEM32\\S1.DLL\r\n;device=C:\\OS\\WINDOWS\\SYSTEM32\\S2.DLL\r\n"
                  "device=C:\\OS\\WINDOWS\\SYSTEM32\\S3.DLL\r\n");
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(value(2, kSharedKey, names[i]), counts[i][0] == '1' ? "key" : "4:\1\0\0\0"s) << names[i];
        EXPECT_TRUE(fake.exists(names[4])) << "a system file goes only after a Yes";
        EXPECT_STREQ(itemAt<PrivateFileItem>(PrivateFileList, 0)->path, "");
        EXPECT_STREQ(itemAt<SystemFileItem>(SystemFileList, 0)->path, "");
    }
}

// A driver's device lines in [386Enh] become comments; SYSTEM.INI is then
// replaced in one step or not at all, and the work file never stays behind:
// on the disk a failed write may leave part of it.
TEST_F(Engine, DeviceLinesBecomeCommentsInSystemIniReplacedWholeOrNotAtAll)
{
    const std::string kLong = "; " + std::string(300, 'x') + "\r\n";
    struct Case { std::string before, after; const char* name = "VXD.386"; } cases[] = {
        {"[386Enh]\r\ndevice=VXD.386\r\n  device=c:\\windows\\system\\vxd.386\r\n",
         "[386Enh]\r\n;device=VXD.386\r\n;  device=c:\\windows\\system\\vxd.386\r\n"},
        // Blanks around "=", text after the name, other sections: kept.
        {"[386Enh]\r\ndevice = VXD.386\r\ndevice=VXD.386 \r\n[other]\r\ndevice=VXD.386\r\n", ""},
        // A header inside the section ends it, another [386Enh] too; a
        // later one after another section starts it again.
        {"[386enh]\r\n[386Enh]\r\ndevice=VXD.386\r\n[x]\r\n\t[386ENH] ; y\ndevice=VXD.386\n",
         "[386enh]\r\n[386Enh]\r\ndevice=VXD.386\r\n[x]\r\n\t[386ENH] ; y\r\n;device=VXD.386\r\n"},
        // Long lines and a last line without an end are carried over whole.
        {"[386Enh]\r\n" + kLong + "device=VXD.386", "[386Enh]\r\n" + kLong + ";device=VXD.386"},
        // An empty name names no driver: a bare "device=" line stays.
        {"[386Enh]\r\ndevice=\r\n  device=", "", ""},
    };
    for (const Case& c : cases) {
        std::string out;
        bool changed = commentOutDevices(c.before, "C:\\WINDOWS\\SYSTEM\\VXD.386", c.name, &out);
        EXPECT_EQ(changed ? out : "", c.after) << c.before;
    }

    const std::string kIni = "[386Enh]\r\ndevice=VXD.386\r\n";
    const char kWork[] = "C:\\OS\\WINDOWS\\~RUVS383.TMP";
    const std::string write = "write "s + kWork, replace = "replace "s + kWork + " > C:\\OS\\WINDOWS\\SYSTEM.INI",
                      remove = "delete "s + kWork;
    struct Failure { std::string failing; Lines acted; } failures[] = {{write, {write, remove}},
                                                                      {replace, {write, replace, remove}}};
    for (const Failure& c : failures) {
        SCOPED_TRACE(c.failing);
        SetUp();
        fake.addFile("C:\\OS\\WINDOWS\\SYSTEM.INI", kIni);
        fake.failures[c.failing] = 29;
        removeDevice("C:\\OS\\WINDOWS\\SYSTEM32\\VXD.386");
        EXPECT_EQ(fake.read("C:\\OS\\WINDOWS\\SYSTEM.INI"), kIni);
        EXPECT_FALSE(fake.exists(kWork));
        EXPECT_EQ(actions({"write", "replace", "delete"}), c.acted);
    }
}

// --- Other software ----------------------------------------------------------

// The engine's use count in its three forms; the last use removes its
// registration once the InterBase server has stopped, or the user lets it.
TEST_F(Engine, TheBorlandEngineGivesBackItsUse)
{
    using S = std::string;
    const char kEngine[] = "Software\\Borland\\Database Engine";
    const int Abort = 3, Retry = 4, Ignore = 5;
    // The count, how often the server's window is still found, the answers;
    // the count afterwards as "type:data" ("-" with the trees) and the boxes shown.
    struct Case {
        const char* name; unsigned long type; S count; int serverChecks; std::vector<int> answers; int silent;
        bool goesOn; S after; int boxes; const char* otherProduct = nullptr;
    } cases[] = {
        {"text 3", 1, "3", 0, {}, 0, true, "1:2\0"s, 0},
        {"number 2", 4, S("\2\0\0\0", 4), 0, {}, 0, true, "1:1\0"s, 0},
        {"binary 1, no server", 3, S("\1\0\0\0", 4), 0, {}, 0, true, "-", 0},
        {"retry, then ignore", 1, "1", 5, {Retry, Ignore}, 0, true, "-", 2},
        {"retry until it stops", 1, "1", 1, {Retry}, 0, true, "-", 1},
        {"abort", 1, "1", 5, {Abort}, 0, false, "1:1", 1},
        {"silent: the engine stays", 1, "1", 5, {}, 1, true, "1:1", 0},
        {"no count", 2, "1", 0, {}, 0, true, "2:1", 0},
        {"another product keeps Software\\Borland", 1, "1", 0, {}, 0, true, "-", 0, "Delphi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fake.setValue(2, kEngine, "UseCount", c.type, c.count);
        fake.setValue(2, "Software\\Borland\\BLW32\\Sub", "v", 1, "1");
        if (c.otherProduct)
            fake.setValue(2, "Software\\Borland\\"s + c.otherProduct, "v", 1, "1");
        fake.windows["IB_Server"] = c.serverChecks;
        fake.answers = c.answers;
        runState.silentRun = c.silent;
        EXPECT_EQ(removeBorlandSubSystem(), c.goesOn);
        EXPECT_EQ(value(2, kEngine, "UseCount"), c.after);
        EXPECT_EQ(fake.hasKey(2, "Software\\Borland\\BLW32"), c.after != "-");
        EXPECT_EQ(fake.hasKey(2, "Software\\Borland"), c.after != "-" || c.otherProduct);
        EXPECT_EQ(actions({"box"}).size(), static_cast<size_t>(c.boxes));
    }
}

// A file in use goes at the next restart, in the platform's way, and no
// restart is asked for: on the NT family its folder too when it is then
// empty. A rollback puts the backup over it instead; the backup goes only
// once the replacement is queued; when it cannot be, backup and installed
// file both stay and no restart is due.
TEST_F(Engine, AFileInUseGoesOrIsReplacedAtTheNextRestart)
{
    // failing: the queuing call that fails, if any.
    struct Case { int platform; const char* failing; Lines queued; bool restored; bool rollback = true; } cases[] = {
        {kPlatformNt, nullptr, {"restart-move C:\\APP\\A.DLL > (delete)", "restart-move C:\\APP > (delete)"}, false, false},
        {kPlatformOther, nullptr, {"restart-rename NUL=C:\\APP~1\\A.DLL"}, false, false},
        {kPlatformNt, nullptr,
         {"restart-move C:\\APP\\A.DLL > (delete)", "restart-move C:\\APP~1\\~RUX0000.TMP > C:\\APP\\A.DLL"}, true},
        {kPlatformNt, "restart-move C:\\APP\\A.DLL > (DELETE)", {"restart-move C:\\APP\\A.DLL > (delete)"}, false},
        {kPlatformOther, nullptr, {"restart-rename C:\\APP~1\\A.DLL=C:\\APP~1\\~RUX0000.TMP"}, true},
        {kPlatformOther, "restart-rename C:\\APP~1\\A.DLL=C:\\APP~1\\~RUX0000.TMP",
         {"restart-rename C:\\APP~1\\A.DLL=C:\\APP~1\\~RUX0000.TMP"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing ? c.failing : "queued");
        SetUp();
        fake.addFile("C:\\APP\\A.DLL", "new");
        fake.files["C:\\APP\\A.DLL"].inUse = true;
        fake.addFile("C:\\BAK\\A.DLL", "old");
        fake.shortNames["C:\\APP"] = "C:\\APP~1";   // WININIT.INI knows only short names
        if (c.failing)
            fake.failures[c.failing] = 5;
        runState.platform = c.platform;
        run({"File Copy: C:\\APP\\A.DLL\r\n", "File Copy: C:\\APP\\A.DLL\r\nBackup Copy: C:\\BAK\\A.DLL\r\n"},
            kMethodAutomatic, c.rollback);
        EXPECT_EQ(actions({"restart-move", "restart-rename"}), c.queued);
        EXPECT_EQ(fake.read("C:\\APP\\A.DLL"), "new");
        EXPECT_EQ(runState.rebootNeeded, c.restored ? 1 : 0);
        EXPECT_EQ(fake.exists("C:\\BAK\\A.DLL"), !c.restored);
        EXPECT_EQ(fake.read("C:\\APP\\~RUX0000.TMP"), c.restored ? "old" : "<missing>");
    }
}

// A rollback cuts the log at its last section, even a read-only log; one
// that cannot be cut stays whole rather than half cut. Rolling back the only
// section is an uninstall, and starts the per-user uninstaller.
TEST_F(Engine, RollbackCutsTheLogOrLeavesItWhole)
{
    const Lines sections = {"File Copy: C:\\APP\\ONE.TXT\r\nPer-User ID: u\r\n", "File Copy: C:\\APP\\TWO.TXT\r\n"};
    const std::string first = "***  Section 1\r\nTitle: Demo\r\n" + sections[0];
    struct Case { const char* name; unsigned long attributes, failure; Lines sectionsLogged; std::string after; } cases[] = {
        {"read-only", kAttributeReadOnly, 0, sections, first},
        {"cannot be cut", kAttributeNormal, 32, sections, "whole"},
        {"one section", kAttributeReadOnly, 0, {sections[0]}, "<missing>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        fake.addFile("C:\\APP\\ONE.TXT");
        fake.addFile("C:\\APP\\TWO.TXT");
        fake.addFile(kLog, "", c.attributes);
        fake.setValue(2, "Software\\Ruvo Solutions\\KovUser", "Path", 1, "C:\\KOV.EXE");
        if (c.failure)
            fake.failures["truncate C:\\APP\\INSTALL.LOG"] = c.failure;
        run(c.sectionsLogged, kMethodAutomatic, true);
        std::string after = fake.read(kLog);
        EXPECT_EQ(after == fake.log ? "whole" : after, c.after);
        EXPECT_EQ(traced("exec C:\\KOV.EXE /U \"u\""), c.sectionsLogged.size() == 1 ? "done" : "-");
    }
}

// Trees and patterns on the disk: files go only with a tree, dot-folders
// keep what they hold, links are removed and never followed, read-only
// files go, help files take their companions, and a logged short name of
// the program's own file is noticed.
TEST_F(Engine, FilesAndFoldersGoAsTheirEntriesSay)
{
    for (const char* file : {"C:\\DATA\\TREE\\SUB\\b.txt", "C:\\DATA\\TREE\\.keep\\state", "C:\\ELSEWHERE\\target.txt",
                             "C:\\MADE\\user.doc", "C:\\APP\\DATA\\a.dat", "C:\\APP\\DATA\\b.DAT",
                             "C:\\APP\\DATA\\c.txt", "C:\\APP\\DATA\\Sub.dat\\inner.dat", "C:\\APP\\HELP\\APP.HLP",
                             "C:\\APP\\HELP\\APP.GID", "C:\\APP\\HELP\\APP.FTS", "C:\\APP\\HELP\\README.GID",
                             "C:\\APP\\UNINSTAL.EXE"})
        fake.addFile(file);
    fake.addFile("C:\\DATA\\TREE\\a.txt", "", kAttributeReadOnly);
    fake.addFile("C:\\DATA\\TREE\\LINK", "", kAttributeDirectory | kAttributeReparsePoint);
    fake.addFile("C:\\DATA\\TREE\\LINK\\target.txt");   // what the link shows of its target
    fake.addFile("C:\\MADE\\EMPTY", "", kAttributeDirectory);
    fake.addFile("C:\\MADE\\LINK", "", kAttributeDirectory | kAttributeReparsePoint);
    fake.shortNames["C:\\APP\\UNINSTAL.EXE"] = "C:\\APP\\UNINST~1.EXE";
    char program[256] = "C:\\APP\\UNINSTAL.EXE";
    runState.programPath = program;
    // A hundred thousand lines (ended by bare CRs) naming one file make one item.
    std::string repeated;
    for (int i = 0; i < 100000; ++i)
        repeated += "File Copy: C:\\APP\\HELP\\APP.HLP\r";
    run({"File Tree: C:\\DATA\\TREE\\*.*\r\nMade Dir: C:\\MADE\r\nFile Copy: C:\\APP\\DATA\\*.DAT\r\n"
         "File Copy: C:\\APP\\UNINST~1.EXE\r\n" + repeated});
    for (const char* gone : {"C:\\DATA\\TREE\\a.txt", "C:\\DATA\\TREE\\SUB", "C:\\DATA\\TREE\\LINK",
                             "C:\\MADE\\EMPTY", "C:\\APP\\DATA\\a.dat", "C:\\APP\\DATA\\b.DAT",
                             "C:\\APP\\HELP\\APP.HLP", "C:\\APP\\HELP\\APP.GID", "C:\\APP\\HELP\\APP.FTS"})
        EXPECT_FALSE(fake.exists(gone)) << gone;
    for (const char* kept : {"C:\\DATA\\TREE\\.keep\\state", "C:\\DATA\\TREE", "C:\\DATA\\TREE\\LINK\\target.txt",
                             "C:\\MADE\\user.doc", "C:\\MADE\\LINK", "C:\\APP\\DATA\\c.txt",
                             "C:\\APP\\DATA\\Sub.dat\\inner.dat", "C:\\APP\\HELP\\README.GID"})
        EXPECT_TRUE(fake.exists(kept)) << kept;
    EXPECT_EQ(std::count(fake.trace.begin(), fake.trace.end(), "delete C:\\APP\\HELP\\APP.HLP"), 1);
    EXPECT_EQ(runState.selfRemovalNeeded, 1);
}

// Registry values and trees: a created value takes the keys it leaves
// empty but never a shared one; a changed value goes back with its type,
// its logged text read as that type's data, under a key that still exists;
// trees the policy refuses stay.
TEST_F(Engine, RegistryChangesAreUndoneWithinTheirKeys)
{
    fake.setValue(1, "Software\\Ruvo\\Outer\\Inner", "v", 1, "1");
    fake.setValue(1, "Software\\Ruvo\\Busy", "other", 1, "1");
    fake.setValue(1, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Ruvo", 1, "x");
    fake.setValue(1, "Software\\Ruvo\\Changed", "d", 4, "new");
    fake.setValue(1, "Software\\Ruvo\\Changed", "x", 1, "new");
    fake.setValue(1, "Software\\Other", "keep", 1, "1");
    run({"RegDB Key: Software\\Ruvo\\Outer\\Inner\r\nRegDB Val: 1\r\nRegDB Name: v\r\nRegDB Root: 1\r\n"
         "RegDB Key: Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\nRegDB Val: x\r\nRegDB Name: Ruvo\r\nRegDB Root: 1\r\n"
         "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: 1\r\nRegDB Name: d\r\nRegDB Type: 3\r\nRegDB Root: 1\r\nRegDB Old: -2\r\n"
         "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: 1\r\nRegDB Name: x\r\nRegDB Type: 1\r\nRegDB Root: 1\r\nRegDB Old: %T%\r\n"
         "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: 1\r\nRegDB Name: b\r\nRegDB Type: 4\r\nRegDB Root: 1\r\nRegDB Old: 0a 1B,2c 3\r\n"
         "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: 1\r\nRegDB Name: m\r\nRegDB Type: 2\r\nRegDB Root: 1\r\nRegDB Old: a\r\nRegDB Old: bc\r\n"
         "RegDB Key: Software\\Ruvo\\Gone\r\nRegDB Val: 1\r\nRegDB Name: d\r\nRegDB Root: 1\r\nRegDB Old: x\r\n"
         "RegDB Tree: Software\r\nRegDB Root: 1\r\nRegDB Tree: \r\nRegDB Root: 1\r\n"});
    EXPECT_FALSE(fake.hasKey(1, "Software\\Ruvo\\Outer"));
    EXPECT_TRUE(fake.hasKey(1, "Software\\Ruvo\\Busy"));
    EXPECT_FALSE(fake.value(1, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Ruvo"));
    EXPECT_TRUE(fake.hasKey(1, "Software\\Microsoft\\Windows\\CurrentVersion\\Run")) << "a shared key stays, empty";
    EXPECT_EQ(value(1, "Software\\Ruvo\\Changed", "d"), "4:\xFE\xFF\xFF\xFF");
    EXPECT_EQ(value(1, "Software\\Ruvo\\Changed", "x"), "2:%T%\0"s);
    EXPECT_EQ(value(1, "Software\\Ruvo\\Changed", "b"), "3:\x0A\x1B\x2C");
    EXPECT_EQ(value(1, "Software\\Ruvo\\Changed", "m"), "7:a\0bc\0"s);
    EXPECT_FALSE(fake.hasKey(1, "Software\\Ruvo\\Gone")) << "a missing key is not made again";
    EXPECT_TRUE(fake.hasKey(1, "Software\\Other")) << "the tree at the top of the hive was refused";
}

} // namespace
