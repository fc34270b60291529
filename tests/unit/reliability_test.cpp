// Runs stopped part-way, on the in-memory machine: after Cancel between any
// two items, every item the log names is undone whole or as it was, and a
// cancelled rollback still cuts its log; a rollback killed at any change
// before its cut is finished by the same rollback run again.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/shareddlls.h"
#include "fakehost.h"
#include "log/loader.h"
#include "startup/runstate.h"

using namespace std::string_literals;

namespace {

const char kLog[] = "C:\\APP\\INSTALL.LOG";
const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string file(const char* path)
{
    return fake.read(path);
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

std::string iniEntry(const char* entry)
{
    return fake.ini.count(entry) ? fake.ini[entry] : "-";
}

// A named piece of the machine whose state tells whether its item was undone.
struct Item {
    const char* name;
    std::function<std::string()> state;
};
using Items = std::vector<Item>;

std::vector<std::string> states(const Items& items)
{
    std::vector<std::string> result;
    for (const Item& item : items)
        result.push_back(item.state());
    return result;
}

// One log of every kind of change: two sections for a rollback, whose last
// restores backups (a server among them) and edits, or one for an uninstall.
struct Scenario {
    const char* name;
    std::vector<std::string> sections;
    bool rollback;
    std::function<void()> layOut;
    Items items;
};

const std::string kUninstall =
    "Execute Program: C:\\APP\\CLEANUP.EXE\r\nExecute Name: Clean up\r\n"
    "Create Service: S1\r\nCreate Service: S2\r\nSubSystem: BDE\r\n"
    "INI New: x\r\nINI File: C:\\APP\\NEW.INI\r\n"
    "INI File: C:\\APP\\APP.INI\r\nINI Sect: S\r\nINI Item: k\r\nINI Val: new\r\nINI Old: old\r\n"
    "INI File: C:\\APP\\APP.INI\r\nINI Sect: S\r\nINI Item: added\r\nINI Val: new\r\n"
    "Made Dir: C:\\APP\\EMPTY\r\nFile Copy: C:\\APP\\A.TXT\r\nFile Copy: C:\\APP\\RO.TXT\r\n"
    "File Copy: C:\\APP\\HELP\\APP.HLP\r\nFile Copy: C:\\APP\\DATA\\*.DAT\r\n"
    "File Copy: C:\\APP\\LAST.DLL\r\nFile Copy: C:\\APP\\COMMON.DLL\r\n"
    "File Copy: C:\\APP\\SRV.DLL\r\nSelf-Register: C:\\APP\\SRV.DLL\r\nAdd Device: C:\\APP\\SRV.DLL\r\n"
    "Non-System File:\r\nFile Copy: C:\\OS\\WINDOWS\\SYSTEM32\\RUVO.DLL\r\n"
    "Made Dir: C:\\APP\\TREE\r\nFile Tree: C:\\APP\\TREE\\*.*\r\n"
    "RegDB Key: Software\\Ruvo\\Changed\r\nRegDB Val: new\r\nRegDB Name: e\r\nRegDB Root: 1\r\nRegDB Old: old\r\n"
    "RegDB Key: Software\\Ruvo\\Created\\Deep\r\nRegDB Val: 1\r\nRegDB Name: v\r\nRegDB Root: 1\r\n"
    "RegDB Tree: Software\\Ruvo\\Tree\r\nRegDB Root: 1\r\n"
    "Icon Group: Demo\r\nIcon Name: One\r\nIcon Cmd: C:\\APP\\A.TXT\r\n"
    "Icon Group: Demo\r\nIcon Name: Two\r\nIcon Cmd: C:\\APP\\RO.TXT\r\n"
    "Per-User ID: demo\r\n";

void layOutUninstall()
{
    for (const char* path : {"C:\\APP\\CLEANUP.EXE", "C:\\APP\\NEW.INI", "C:\\APP\\APP.INI", "C:\\APP\\A.TXT",
                             "C:\\APP\\HELP\\APP.HLP", "C:\\APP\\HELP\\APP.GID", "C:\\APP\\DATA\\A.DAT",
                             "C:\\APP\\DATA\\B.DAT", "C:\\APP\\LAST.DLL", "C:\\APP\\COMMON.DLL",
                             "C:\\OS\\WINDOWS\\SYSTEM32\\RUVO.DLL", "C:\\APP\\TREE\\T.TXT", "C:\\APP\\TREE\\SUB\\U.TXT"})
        fake.addFile(path, path);
    fake.addFile("C:\\APP\\RO.TXT", "read-only", kAttributeReadOnly);
    fake.addFolder("C:\\APP\\EMPTY");
    fake.addFile("C:\\APP\\SRV.DLL", win32Image());
    fake.addFile("C:\\OS\\WINDOWS\\SYSTEM.INI", "[386Enh]\r\ndevice=C:\\APP\\SRV.DLL\r\n");
    fake.ini["C:\\APP\\APP.INI|S|K"] = "new";
    fake.ini["C:\\APP\\APP.INI|S|ADDED"] = "new";
    fake.setValue(2, kSharedDlls, "C:\\APP\\LAST.DLL", 4, "\1\0\0\0"s);     // the last user: asked, Yes
    fake.setValue(2, kSharedDlls, "C:\\APP\\COMMON.DLL", 4, "\3\0\0\0"s);   // still used by others
    fake.setValue(2, "Software\\Borland\\Database Engine", "UseCount", 1, "2");
    fake.setValue(1, "Software\\Ruvo\\Changed", "e", 1, "new");
    fake.setValue(1, "Software\\Ruvo\\Created\\Deep", "v", 1, "1");
    fake.setValue(1, "Software\\Ruvo\\Tree\\Sub", "x", 1, "1");
    fake.setValue(2, "Software\\Ruvo Solutions\\KovUser", "Path", 1, "C:\\KOV\\KOVUSER.EXE");
    fake.progmanGroups = {{"Demo", "\"Demo\",d.grp,2,1\r\n\"One\",\"C:\\APP\\A.TXT\"\r\n\"Two\",\"C:\\APP\\RO.TXT\"\r\n"}};
    fake.answers = {kSharedYes};
}

const Items kUninstallItems = {
    {"program", [] { return traced("start C:\\APP\\CLEANUP.EXE"); }},
    {"service S1", [] { return traced("service S1"); }},
    {"service S2", [] { return traced("service S2"); }},
    {"sub-system", [] { return value(2, "Software\\Borland\\Database Engine", "UseCount"); }},
    {"INI file", [] { return file("C:\\APP\\NEW.INI"); }},
    {"INI entry", [] { return iniEntry("C:\\APP\\APP.INI|S|K"); }},
    {"added INI entry", [] { return iniEntry("C:\\APP\\APP.INI|S|ADDED"); }},
    {"file", [] { return file("C:\\APP\\A.TXT"); }},
    {"read-only file", [] { return file("C:\\APP\\RO.TXT"); }},
    {"help file", [] { return file("C:\\APP\\HELP\\APP.HLP") + "|" + file("C:\\APP\\HELP\\APP.GID"); }},
    {"pattern", [] { return file("C:\\APP\\DATA\\A.DAT") + "|" + file("C:\\APP\\DATA\\B.DAT"); }},
    {"last shared use", [] { return file("C:\\APP\\LAST.DLL") + "|" + value(2, kSharedDlls, "C:\\APP\\LAST.DLL"); }},
    {"shared file", [] { return file("C:\\APP\\COMMON.DLL") + "|" + value(2, kSharedDlls, "C:\\APP\\COMMON.DLL"); }},
    {"server and device", [] {
         return file("C:\\APP\\SRV.DLL").substr(0, 2) + "|" + traced("unregister C:\\APP\\SRV.DLL") + "|" +
                file("C:\\OS\\WINDOWS\\SYSTEM.INI");
     }},
    {"system file", [] { return file("C:\\OS\\WINDOWS\\SYSTEM32\\RUVO.DLL"); }},
    {"tree", [] { return file("C:\\APP\\TREE") + "|" + file("C:\\APP\\TREE\\T.TXT") + "|" + file("C:\\APP\\TREE\\SUB"); }},
    {"made folder", [] { return file("C:\\APP\\EMPTY"); }},
    {"registry value", [] { return value(1, "Software\\Ruvo\\Changed", "e"); }},
    {"created value", [] { return value(1, "Software\\Ruvo\\Created\\Deep", "v") + "|" + value(1, "Software\\Ruvo\\Created", ""); }},
    {"registry tree", [] { return value(1, "Software\\Ruvo\\Tree", "") + "|" + value(1, "Software\\Ruvo\\Tree\\Sub", "x"); }},
    {"icon One", [] { return traced("icon One"); }},
    {"icon Two", [] { return traced("icon Two"); }},
    {"per-user uninstaller", [] { return traced("exec C:\\KOV\\KOVUSER.EXE /U \"demo\""); }},
};

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

std::string restored(const char* path, const char* backup)
{
    return file(path).substr(file(path).size() < 3 ? 0 : file(path).size() - 3) + "|" + file(backup);
}

const Items kRollbackItems = {
    {"service", [] { return traced("service S2"); }},
    {"INI entry", [] { return iniEntry("C:\\APP\\APP.INI|S|K"); }},
    {"edited file", [] { return restored("C:\\APP\\CFG.TXT", "C:\\BAK\\CFG.TXT"); }},
    {"file with a backup", [] { return restored("C:\\APP\\A.DLL", "C:\\BAK\\A.DLL"); }},
    {"another file with a backup", [] { return restored("C:\\APP\\B.DLL", "C:\\BAK\\B.DLL"); }},
    {"new file", [] { return file("C:\\APP\\NEW.TXT"); }},
    {"server with a backup", [] {
         return restored("C:\\APP\\SRV.DLL", "C:\\BAK\\SRV.DLL") + "|" + traced("register C:\\APP\\SRV.DLL");
     }},
    {"registry value", [] { return value(1, "Software\\Ruvo\\Changed", "e"); }},
    {"created value", [] { return value(1, "Software\\Ruvo\\Created", "v"); }},
    {"icon", [] { return traced("icon Two"); }},
};

// The machine laid out and the log loaded, for a run that Cancel reaches
// once `cancelAfter` items were shown (-1: never).
void prepareRun(const Scenario& scenario, int cancelAfter)
{
    resetFakeMachine();
    fake.windowsDir = "C:\\OS\\WINDOWS";
    fake.systemDir = "C:\\OS\\WINDOWS\\SYSTEM32";
    fake.log.clear();
    for (size_t i = 0; i < scenario.sections.size(); ++i)
        fake.log += "***  Section " + std::to_string(i + 1) + "\r\n" + (i ? "" : "Title: Demo\r\n") + scenario.sections[i];
    fake.addFile(kLog, fake.log);
    scenario.layOut();
    char top[256] = "";
    ASSERT_EQ(loadInstallLog(kLog, top), 0);
    runState.uninstallMethod = kMethodAutomatic;
    runState.rollbackRequested = scenario.rollback;
    fake.cancelAfterShown = cancelAfter;
}

const Scenario kScenarios[] = {
    {"uninstall", {kUninstall}, false, layOutUninstall, kUninstallItems},
    {"rollback", {kFirst, kSecond}, true, layOutRollback, kRollbackItems},
};

TEST(Reliability, CancelAfterAnyItemLeavesEveryItemDoneOrUntouched)
{
    for (const Scenario& scenario : kScenarios) {
        prepareRun(scenario, -1);
        std::vector<std::string> before = states(scenario.items);
        performUninstall(kLog);
        std::vector<std::string> done = states(scenario.items);
        int shown = fake.shown;
        for (size_t i = 0; i < done.size(); ++i)
            EXPECT_NE(done[i], before[i]) << scenario.name << ": " << scenario.items[i].name << " is never undone";
        std::string cut = fake.log.substr(0, fake.log.find("***  Section 2"));
        for (int k = 0; k <= shown; ++k) {
            SCOPED_TRACE(std::string(scenario.name) + ", cancelled after " + std::to_string(k) + " items shown");
            prepareRun(scenario, k);
            performUninstall(kLog);
            std::vector<std::string> after = states(scenario.items);
            for (size_t i = 0; i < after.size(); ++i)
                EXPECT_TRUE(after[i] == before[i] || after[i] == done[i])
                    << scenario.items[i].name << ": " << after[i] << "\n  before: " << before[i]
                    << "\n  undone: " << done[i];
            if (scenario.rollback) {
                EXPECT_EQ(file(kLog), cut) << "a cancelled rollback still cuts its log";
            }
        }
        release(&runState.arena);
    }
}

// A process ended from outside after `changesLeft` changes to the machine:
// nothing it asks for afterwards happens, whatever it goes on doing.
EngineHost machine;
int changesLeft;

#define KILLABLE(action)                                                                                  \
    host.action = [](auto... arguments) -> unsigned long {                                               \
        return --changesLeft >= 0 ? machine.action(arguments...) : kErrorAccessDenied;                  \
    }

void runKilledAfter(int changes)
{
    machine = fakeHost;
    EngineHost host = fakeHost;
    KILLABLE(setAttributes);
    KILLABLE(deleteFile);
    KILLABLE(removeDirectory);
    KILLABLE(copyFile);
    KILLABLE(truncateFile);
    KILLABLE(writeNewFile);
    KILLABLE(replaceFile);
    KILLABLE(moveAtRestart);
    KILLABLE(renameAtRestart);
    KILLABLE(writeIniString);
    KILLABLE(setRegistryValue);
    KILLABLE(deleteRegistryValue);
    KILLABLE(deleteRegistryKey);
    KILLABLE(startAndWait);
    KILLABLE(startProgram);
    KILLABLE(removeService);
    KILLABLE(callServerEntry);
    KILLABLE(ddeExecute);
    changesLeft = changes;
    runState.host = &host;
    performUninstall(kLog);
    runState.host = &fakeHost;
}

// The rollback started again on what the killed run left: a new process
// with the log as it is now on the disk.
void rollBackAgain()
{
    FakeMachine left = fake;
    resetFakeMachine();
    fake = left;
    fake.log = fake.read(kLog);
    fake.shown = 0;
    char top[256] = "";
    ASSERT_EQ(loadInstallLog(kLog, top), 0);
    runState.uninstallMethod = kMethodAutomatic;
    runState.rollbackRequested = 1;
    performUninstall(kLog);
}

// A rollback ended at any change before it cuts its log leaves every file
// with either its backup or its old contents, and the same rollback run
// again finishes the work: the machine ends as one whole run leaves it.
// (Once the log is cut, a new run would undo the installation before.)
TEST(Reliability, ARollbackKilledBeforeItsCutFinishesWhenRunAgain)
{
    const Scenario& rollback = kScenarios[1];
    auto logCut = [] { return std::count(fake.trace.begin(), fake.trace.end(), "truncate "s + kLog) > 0; };
    prepareRun(rollback, -1);
    runKilledAfter(1 << 30);
    std::vector<std::string> done = states(rollback.items);
    int changes = (1 << 30) - changesLeft;
    ASSERT_TRUE(logCut());
    const char* backedUp[][2] = {{"C:\\APP\\A.DLL", "C:\\BAK\\A.DLL"}, {"C:\\APP\\B.DLL", "C:\\BAK\\B.DLL"},
                                 {"C:\\APP\\CFG.TXT", "C:\\BAK\\CFG.TXT"}, {"C:\\APP\\SRV.DLL", "C:\\BAK\\SRV.DLL"}};
    for (int n = 0; n < changes; ++n) {
        SCOPED_TRACE("killed after " + std::to_string(n) + " changes");
        prepareRun(rollback, -1);
        runKilledAfter(n);
        if (logCut())
            break;
        for (auto& [target, backup] : backedUp)
            EXPECT_TRUE(fake.exists(backup) || restored(target, backup) == "old|<missing>") << target;
        rollBackAgain();
        EXPECT_EQ(states(rollback.items), done);
    }
    release(&runState.arena);
}

} // namespace
