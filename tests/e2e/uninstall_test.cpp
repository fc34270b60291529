// Whole silent uninstalls, one row each: the log, the machine before, the
// switches and the machine after, files written as layOut takes them. Logs,
// files and values name {D} (the sandbox folder), {S} (the System folder),
// {W} (the Windows folder), {K} (the sandbox key), {R} (a drive letter made
// for the row on {D}\Drive), {SL} and {SP} (the test's self-registering
// library and program, {CL} and {CP} their CLSID keys). UNINSTAL.EXE runs
// from {D}\Bin on {D}\App\INSTALL.LOG. SYSTEM.INI is put back as it was
// after each row.
#include <gtest/gtest.h>

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
const char kLibraryClass[] = "CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A01}";
const char kProgramClass[] = "CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A02}";
const std::string kFirst = "File Copy: {D}\\App\\a.dll\nFile Copy: {D}\\App\\b.dll\n";
const std::string kSecond = "File Copy: {D}\\App\\a.dll\nBackup Copy: {D}\\Backup\\a.dll\nFile Copy: {D}\\App\\c.dll\n"
                            "File Edit: {D}\\App\\cfg.txt\nBackup Copy: {D}\\Backup\\cfg.txt\n";
const std::string kOne = "***  one\nTitle: T\n" + kFirst, kTwo = "***  two\n" + kSecond;
const std::string kTwice = "App\\a.dll=version 2|App\\b.dll=version 1|App\\c.dll=version 2|App\\cfg.txt=edited|"
                           "Backup\\a.dll=version 1|Backup\\cfg.txt=original";
// The file in use stays; its old contents wait beside it for the restart.
const std::string kRestarted = "App\\a.dll=version 1|-App\\~RUX0000.TMP|-Backup\\a.dll|-{W}\\_MSRSTRT.EXE";

const std::string kServers = "File Copy: {D}\\App\\server.dll\nSelf-Register: {D}\\App\\server.dll\n"
                              "File Copy: {D}\\App\\server.exe\nSelf-Register: {D}\\App\\server.exe\n";
const std::string kRegistered = "HKCR\\{CL}\\InprocServer32:=sz:{D}\\App\\server.dll\0|"
                                "HKCR\\{CP}\\LocalServer32:=sz:{D}\\App\\server.exe\0"s;

const std::vector<Row> kRows = {
    {"EveryKindOfChange", "/S",
     kLog + "User Rights: Admin\nMade Dir: {D}\\App\nMade Dir: {D}\\App\\Made\nMade Dir: {D}\\App\\Empty Made\n"
            "File Tree: {D}\\Tree\\*.*\nFile Copy: {D}\\App\\MAIN.EXE | 1.0\nFile Copy: {D}\\App\\HELP\\APP.HLP\n"
            "File Copy: {D}\\App\\DATA\\*.dat\nFile Copy: {D}\\App\\RO.TXT\nFile Copy: {D}\\App\\HID.TXT\n"
            "File Copy: {S}\\RUVOE2E1.DLL\nNon-System File:\nFile Copy: {S}\\RUVOE2E2.DLL\nINI New: x\n"
            "INI File: {D}\\App\\APP.INI\nINI Sect: S\nINI Item: I\nINI Val: V\nINI File: {D}\\App\\APP.INI\n"
            "INI Sect: S\nINI Item: J\nINI Val: V\nINI Old: W\nINI File: {D}\\s.ini\nINI Sect: S\nINI Item: restored\n"
            "INI Val: new\nINI Old: old\nINI File: {D}\\s.ini\nINI Sect: S\nINI Item: added\nINI Val: new\n"
            "RegDB Key: {K}\\Created\\Deep\nRegDB Val: 1\nRegDB Name: v\nRegDB Root: 1\n"
            "RegDB Key: {K}\\Changed\nRegDB Val: new\nRegDB Name: sz\nRegDB Root: 1\nRegDB Old: old text\n"
            "RegDB Key: {K}\\Changed\nRegDB Val: new\nRegDB Name: expand\nRegDB Type: 1\nRegDB Root: 1\n"
            "RegDB Old: %TEMP%\\x\nRegDB Key: {K}\\Changed\nRegDB Val: new\nRegDB Name: multi\nRegDB Type: 2\n"
            "RegDB Root: 1\nRegDB Old: a\nRegDB Old: bc\nRegDB Key: {K}\\Changed\nRegDB Val: new\n"
            "RegDB Name: dword\nRegDB Type: 3\nRegDB Root: 1\nRegDB Old: -1\nRegDB Key: {K}\\Changed\n"
            "RegDB Val: new\nRegDB Name: binary\nRegDB Type: 4\nRegDB Root: 1\nRegDB Old: de ad be\n"
            "RegDB Tree: {K}\\Tree\nRegDB Root: 1\n",
     "App\\MAIN.EXE|App\\HELP\\APP.HLP|App\\HELP\\APP.GID|App\\HELP\\APP.FTS|App\\DATA\\a.dat|App\\DATA\\b.dat|"
     "App\\DATA\\keep.txt|App\\APP.INI|App\\RO.TXT (read-only)|App\\HID.TXT (hidden)|App\\Made\\user.doc|"
     "App\\Empty Made\\|Tree\\t1.txt|Tree\\Sub\\t2.txt|Tree\\.keep\\state|{S}\\RUVOE2E1.DLL|{S}\\RUVOE2E2.DLL|"
     "s.ini=[S]\nrestored=new\nadded=new\nother=stays\n|HKCU\\{K}\\Created\\Deep:v=sz:1\0|"
     "HKCU\\{K}\\Tree\\A\\B:v=sz:1\0|HKCU\\{K}\\Changed:sz=sz:new\0|HKCU\\{K}\\Changed:expand=sz:new\0|"
     "HKCU\\{K}\\Changed:multi=sz:new\0|HKCU\\{K}\\Changed:dword=dword:\1\0\0\0|HKCU\\{K}\\Changed:binary=binary:\1"s,
     // Logged files go with their help companions and whole patterns; made
     // folders only when empty, a file tree with its files but not its
     // dot-folders; a system file nobody chose stays, a Non-System File
     // goes; the entries of a deleted INI file are not written again.
     "-App\\MAIN.EXE|-App\\HELP|-App\\DATA\\a.dat|-App\\DATA\\b.dat|App\\DATA\\keep.txt|-App\\RO.TXT|-App\\HID.TXT|"
     "-App\\INSTALL.LOG|-App\\Empty Made|App\\Made\\user.doc|-Tree\\t1.txt|-Tree\\Sub|Tree\\.keep\\state|"
     "{S}\\RUVOE2E1.DLL|-{S}\\RUVOE2E2.DLL|-App\\APP.INI|s.ini=[S]\nrestored=old\nother=stays\n|-HKCU\\{K}\\Created|"
     "-HKCU\\{K}\\Tree|HKCU\\{K}\\Changed:sz=sz:old text\0|HKCU\\{K}\\Changed:expand=expand:%TEMP%\\x\0|"
     "HKCU\\{K}\\Changed:multi=multi:a\0bc\0|HKCU\\{K}\\Changed:dword=dword:\xFF\xFF\xFF\xFF|"
     "HKCU\\{K}\\Changed:binary=binary:\xDE\xAD\xBE"s},
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
     kLog + kServers + "File Copy: {D}\\App\\notes.dll\nSelf-Register: {D}\\App\\notes.dll\n"
            "Add Device: {D}\\App\\notes.dll\n",
     "App\\server.dll<{SL}|App\\server.exe<{SP}|App\\notes.dll=MZ text|" + kRegistered +
         "|{W}\\SYSTEM.INI=[386Enh]\ndevice={D}\\App\\notes.dll\ndevice=other.386",
     "-App|-HKCR\\{CL}|-HKCR\\{CP}|-{W}\\~RUVS383.TMP|"
     "{W}\\SYSTEM.INI=[386Enh]\n;device={D}\\App\\notes.dll\ndevice=other.386"},

    // The status report the log names, in the Windows folder, from the
    // companion INI's template.
    {"TheStatusReportGoesToTheWindowsFolder", "/S",
     kLog + "Uninstall MIF: RUVOTEST.MIF\nProduct: Ruvo Sample\nFile Copy: {D}\\App\\a.txt\n",
     "App\\a.txt|Bin\\UNINSTAL.INI=[Language]\nMsg1000=%5%^%7%^%8%^%2%^%9%",
     "-App\\a.txt|{W}\\RUVOTEST.MIF=Uninstall\nSuccess\n\nRuvo Sample\n%9%"},

    // Logs that aim a removal beyond what they installed. A failing run can
    // harm only the sandbox, or the empty folders of the Windows folder,
    // which the fixture makes again: that is why the Windows folder is a
    // made folder here, not a file tree, and why no row names a whole
    // top-level key such as Software (a failing run would take all of it).
    Row{"AFolderLinkInAFileTreeIsNotFollowed", "/S", kLog + "File Tree: {D}\\App\\*.*\n",
        "App\\own.txt|Elsewhere\\kept.txt", "-App\\own.txt|Elsewhere\\kept.txt"}.linking("App\\Linked", "Elsewhere"),
    // A drive's root in other spellings; its empty folder stands for what a
    // removal of empty folders would take.
    Row{"ADrivesRootInAnySpellingIsRefused", "/S",
        kLog + "File Tree: {R}\\*.*\nFile Tree: {R}\nMade Dir: {R}\\\nFile Copy: {R}\\*.*\nFile Copy: {R}/*.TXT\n"
               "Made Dir: \\\\.\\{R}\\\nFile Tree: {R}\\.\\*.*\nFile Tree: {R}\\Empty\\..\\*.*\n"
               "File Tree: \\\\?\\{R}\\\n",
        "Drive\\canary.txt|Drive\\Empty\\", "Drive\\canary.txt|Drive\\Empty\\"}.linking("{R}", "Drive"),
    // Patterns only the canaries match; a log that claims to have made the
    // Windows folder gains nothing.
    {"TheWindowsAndSystemFoldersInAnyCaseAreRefused", "/S",
     kLog + "Made Dir: {W}\\\nMade Dir: {W}.\\\nMade Dir: C:\\WINDOWS\\\nMade Dir: c:\\Windows\\System32\\\n"
            "Made Dir: C:/WINDOWS/SYSWOW64/\nMade Dir: \\\\?\\C:\\WINDOWS\\\nMade Dir: {S}\\..\\\nNon-System File:\n"
            "File Copy: C:\\WINDOWS\\RUVOCANARY*.TXT\nFile Copy: c:\\windows\\SYSTEM32\\ruvocanary?.txt\n"
            "File Copy: c:\\WINDOWS\\RuvoCanary\\*.*\n",
     "{W}\\RuvoCanary1.txt|{S}\\RuvoCanary2.txt|{W}\\RuvoCanary\\keep.txt|{W}\\RuvoCanary\\Empty\\",
     "{W}\\RuvoCanary1.txt|{S}\\RuvoCanary2.txt|{W}\\RuvoCanary\\keep.txt|{W}\\RuvoCanary\\Empty\\"},
    // "." and ".." as Windows reads them and, behind "\\?\", as it does not,
    // in paths and in keys.
    {"DotComponentsInAnyFormAreRefused", "/S",
     kLog + "File Tree: {D}\\App\\..\\*.*\nMade Dir: {D}\\App\\..\\\nFile Copy: {D}\\App\\..\\*.*\n"
            "File Tree: {D}\\App\\.\\*.*\nMade Dir: {D}\\Keep\\.\\\nFile Copy: {D}\\App\\..\\precious.txt\n"
            "File Copy: {D}\\App\\...\\*.*\nFile Tree: \\\\?\\{D}\\App\\.\\*.*\nFile Tree: \\\\.\\{D}\\App\\..\\Keep\\*.*\n"
            "INI New: x\nINI File: {D}\\App\\..\\precious.ini\nRegDB Tree: {K}\\..\nRegDB Root: 1\n",
     "precious.txt|precious.ini|App\\mine.txt|Keep\\Empty\\|HKCU\\{K}:canary=sz:x\0"s,
     "precious.txt|precious.ini|App\\mine.txt|Keep\\Empty\\|HKCU\\{K}:canary=sz:x\0"s},
    // A path longer than its field is not cut, and a NUL byte ends none
    // early: cut, each would name Keep.
    {"OverLongPathsAreNotCutShort", "/S",
     kLog + "File Tree: {D}\\Keep" + std::string(300, '\\') + "Sub\\*.*\nFile Tree: {D}\\Keep" + std::string(300, ' ') +
         "\\Sub\\*.*\nFile Copy: {D}\\Keep\\precious.txt" + std::string(300, ' ') + "\\x.txt\nMade Dir: {D}\\Keep" +
         std::string(3000, '\\') + "x\nRegDB Tree: {K}\\Keep" + std::string(300, '\\') + "Sub\nRegDB Root: 1\n"
         "File Tree: {D}\\Keep\\" + std::string(5000, 'x') + "\\*.*\nFile Tree: {D}\\Keep\\\0Sub\\*.*\n"
         "File Copy: {D}\\Keep\\precious.txt\0.bak\nMade Dir: {D}\\Keep\0\\Sub\\\n"s,
     "Keep\\precious.txt|Keep\\Empty\\|Keep\\Sub\\logged.txt|HKCU\\{K}\\Keep:canary=sz:x\0"s,
     "Keep\\precious.txt|Keep\\Empty\\|Keep\\Sub\\logged.txt|HKCU\\{K}\\Keep:canary=sz:x\0"s},
};

struct WholeRun : ::testing::TestWithParam<Row> {
    const Row& row = GetParam();
    Sandbox box{"e2e run"};
    SandboxKey key{"e2e_run"};
    std::string link;   // {R} when it is a drive
    std::vector<std::string> windowsFolders;   // made again after the run

    std::string expand(std::string text) const
    {
        for (auto [from, to] : {std::pair<const char*, std::string>{"{D}", box.root}, {"{S}", systemDirectory()},
                                {"{W}", windowsDirectory()}, {"{K}", key.subKey}, {"{R}", link},
                                {"{SL}", builtFile("RUVO_SERVER_LIBRARY")}, {"{SP}", builtFile("RUVO_SERVER_PROGRAM")},
                                {"{CL}", kLibraryClass}, {"{CP}", kProgramClass}, {"\n", "\r\n"}})
            replaceAll(text, from, to);
        return text;
    }

    std::string systemIni = readWholeFile(windowsDirectory() + "\\SYSTEM.INI");

    void forgetServers()
    {
        for (const char* key : {kLibraryClass, kProgramClass})
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
    }

    void SetUp() override
    {
        forgetServers();
        forgetRestartWork();
        if (row.log.find("{W}") != std::string::npos)
            windowsFolders = subfolders(windowsDirectory());
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
        for (const std::string& folder : windowsFolders)
            CreateDirectoryA(folder.c_str(), nullptr);
        if (!systemIni.empty())
            writeWholeFile(windowsDirectory() + "\\SYSTEM.INI", systemIni);
        forgetServers();
        forgetRestartWork();
    }
};

// Each row runs twice: first as a preview (/P), which must leave every
// place the run touches as it was, then for real.
TEST_P(WholeRun, LeavesTheMachineAsExpected)
{
    WindowsVersionForProgram family("UNINSTAL.EXE", row.family);
    box.writeFile("App\\INSTALL.LOG", expand(row.log));
    HeldFile held(row.held ? box.path(row.held) : "");
    ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    std::string program = box.installProgram("Bin\\UNINSTAL.EXE");
    std::string log = " " + shortPath(box.path("App\\INSTALL.LOG"));
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::vector<std::string> places = {
        box.root, windowsDirectory() + "\\SYSTEM.INI", windowsDirectory() + "\\WININIT.INI",
        windowsDirectory() + "\\_MSRSTRT.EXE", windowsDirectory() + "\\RUVOTEST.MIF", systemDirectory() + "\\RUVOE2E1.DLL",
        systemDirectory() + "\\RUVOE2E2.DLL", std::string(temp) + "RUV1A2B.EXE", "HKCU\\" + key.subKey,
        std::string("HKCR\\") + kLibraryClass, std::string("HKCR\\") + kProgramClass};
    std::string before = snapshot(places);
    Process preview;
    ASSERT_TRUE(preview.start(program, std::string(row.switches) + " /P" + log));
    EXPECT_EQ(preview.wait(60000), 0u);
    EXPECT_EQ(snapshot(places), before);
    DWORD type;
    std::string pending;
    EXPECT_FALSE(readValue(kSessionManager, "PendingFileRenameOperations", &type, &pending));

    Process run;
    ASSERT_TRUE(run.start(program, row.switches + log));
    EXPECT_EQ(run.wait(60000), 0u);
    held.release();
    expectLaidOut(box.root, expand(row.after));
    if (row.held) {
        // Wine's restart carries out the queued work a second or two after
        // it was asked for.
        for (int i = 0; i < 300 && (present(windowsDirectory() + "\\WININIT.INI") ||
                                    readValue(kSessionManager, "PendingFileRenameOperations", &type, &pending));
             ++i)
            Sleep(50);
        expectLaidOut(box.root, expand(row.afterRestart));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, WholeRun, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

} // namespace
