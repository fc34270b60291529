// Whole silent uninstalls on the real disk and registry, one row for each
// effect of the platform: the log, the machine before, the switches and the
// machine after, files written as layOut takes them. Which items a run takes
// and why is proven on the in-memory machine; these rows prove that Windows
// does what the engine asks. Logs, files and values name {D} (the sandbox
// folder), {W} (the Windows folder), {R} (a drive letter made for the row on
// {D}\Drive), {SP} (the test's self-registering program) and {CP} (its CLSID
// key). The library servers' calls are the host's, proven on their own.
// UNINSTAL.EXE runs from {D}\Bin on {D}\App\INSTALL.LOG. SYSTEM.INI is put
// back as it was after each row.
#include <gtest/gtest.h>

#include <cstring>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

struct Row {
    std::string name;
    const char* switches;
    std::string log, before, after;
    const char* family = nullptr;        // "win98": the Windows 95 family
    const char* held = nullptr;          // held open without sharing during the run, which restarts Windows
    std::string afterRestart = {};
    std::string link = {}, target = {};  // a folder link ("{R}": the drive) to a sandbox folder
    Row& on(const char* version) { family = version; return *this; }
    Row& holding(const char* path, std::string restarted) { held = path, afterRestart = restarted; return *this; }
    Row& linking(const char* from, const char* to) { link = from, target = to; return *this; }
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

const std::string kLog = "***  x\nTitle: T\n";
const char kProgramClass[] = "CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A02}";
const std::string kFirst = "File Copy: {D}\\App\\a.dll\nFile Copy: {D}\\App\\b.dll\n";
const std::string kSecond = "File Copy: {D}\\App\\a.dll\nBackup Copy: {D}\\Backup\\a.dll\nFile Copy: {D}\\App\\c.dll\n"
                            "File Edit: {D}\\App\\cfg.txt\nBackup Copy: {D}\\Backup\\cfg.txt\n";
const std::string kOne = "***  one\nTitle: T\n" + kFirst, kTwo = "***  two\n" + kSecond;
const std::string kTwice = "App\\a.dll=version 2|App\\b.dll=version 1|App\\c.dll=version 2|App\\cfg.txt=edited|"
                           "Backup\\a.dll=version 1|Backup\\cfg.txt=original";
// The file in use stays; its old contents wait beside it for the restart.
const std::string kRestarted = "App\\a.dll=version 1|-App\\~RUX0000.TMP|-Backup\\a.dll|-{W}\\_MSRSTRT.EXE";

const std::vector<Row> kRows = {
    // A rollback undoes the last section and cuts the log. One that leaves a
    // file in use restarts Windows: on the NT family through the restart
    // program, which goes at that restart too; on the 95 family directly.
    Row{"ARollbackWithAFileInUseRestartsOnTheNtFamily", "/S /R", kOne + kTwo, kTwice,
        "App\\b.dll=version 1|-App\\c.dll|App\\cfg.txt=original|-Backup\\cfg.txt|App\\INSTALL.LOG=" + kOne}
        .holding("App\\a.dll", kRestarted),
    // An administrator's log loads on the 95 family too, where nothing is checked.
    Row{"ARollbackWithAFileInUseRestartsOnThe95Family", "/S /R", kLog + "User Rights: Admin\n" + kFirst + kTwo,
        kTwice, "-App\\c.dll"}
        .on("win98").holding("App\\a.dll", kRestarted),
    // Servers unregister before their files go (the program is waited for);
    // a text file named like a library is never loaded; the driver's
    // device lines become comments.
    {"ServersUnregisterAndDevicesBecomeComments", "/S",
     kLog + "File Copy: {D}\\App\\server.exe\nSelf-Register: {D}\\App\\server.exe\n"
            "File Copy: {D}\\App\\notes.dll\nSelf-Register: {D}\\App\\notes.dll\nAdd Device: {D}\\App\\notes.dll\n",
     "App\\server.exe<{SP}|App\\notes.dll=MZ text|HKCR\\{CP}\\LocalServer32:=sz:{D}\\App\\server.exe\0|"
     "{W}\\SYSTEM.INI=[386Enh]\ndevice={D}\\App\\notes.dll\ndevice=other.386"s,
     "-App|-HKCR\\{CP}|-{W}\\~RUVS383.TMP|"
     "{W}\\SYSTEM.INI=[386Enh]\n;device={D}\\App\\notes.dll\ndevice=other.386"},
    // Logs that aim a removal beyond what they installed: through a folder
    // link, and at a drive's root in other spellings (its empty folder
    // stands for what a removal of empty folders would take).
    Row{"AFolderLinkInAFileTreeIsNotFollowed", "/S", kLog + "File Tree: {D}\\App\\*.*\n",
        "App\\own.txt|Elsewhere\\kept.txt", "-App\\own.txt|Elsewhere\\kept.txt"}.linking("App\\Linked", "Elsewhere"),
    Row{"ADrivesRootInAnySpellingIsRefused", "/S",
        kLog + "File Tree: {R}\\*.*\nMade Dir: {R}\\\nFile Copy: {R}/*.TXT\nFile Tree: \\\\?\\{R}\\\n"
               "File Tree: {R}\\.\\*.*\n",
        "Drive\\canary.txt|Drive\\Empty\\", "Drive\\canary.txt|Drive\\Empty\\"}.linking("{R}", "Drive"),
};

struct WholeRun : ::testing::TestWithParam<Row> {
    const Row& row = GetParam();
    Sandbox box{"e2e run"};
    std::string link;   // {R} when it is a drive

    std::string expand(std::string text) const
    {
        for (auto [from, to] : {std::pair<const char*, std::string>{"{D}", box.root}, {"{W}", windowsDirectory()},
                                {"{R}", link}, {"{SP}", builtFile("RUVO_SERVER_PROGRAM")},
                                {"{CP}", kProgramClass}, {"\n", "\r\n"}})
            for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
                text.replace(at, strlen(from), to);
        return text;
    }

    std::string systemIni = readWholeFile(windowsDirectory() + "\\SYSTEM.INI");

    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgramClass);
        forgetRestartWork();
        layOut(box.root, expand(row.before));
        if (!row.link.empty()) {   // its target is laid out before
            link = linkFolder(row.link == "{R}" ? "*" : box.path(row.link), box.path(row.target));
            ASSERT_NE(link, "") << "no link, so no run";
        }
    }

    void TearDown() override
    {
        EXPECT_TRUE(link.empty() || unlinkFolder(link)) << link;
        removeLaidOut(box.root, expand(row.before));
        removeLaidOut(box.root, expand(row.after));
        if (!systemIni.empty())
            writeWholeFile(windowsDirectory() + "\\SYSTEM.INI", systemIni);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgramClass);
        forgetRestartWork();
    }
};

TEST_P(WholeRun, LeavesTheMachineAsExpected)
{
    WindowsVersionForProgram family("UNINSTAL.EXE", row.family);
    HeldFile held(row.held ? box.path(row.held) : "");
    ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(box.uninstall(row.switches, expand(row.log)), 0u);
    held.release();
    expectLaidOut(box.root, expand(row.after));
    if (row.held) {
        // Wine's restart carries out the queued work a second or two after
        // it was asked for.
        for (int i = 0; i < 300 && (present(windowsDirectory() + "\\WININIT.INI") || renamesPending()); ++i)
            Sleep(50);
        expectLaidOut(box.root, expand(row.afterRestart));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, WholeRun, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

} // namespace
