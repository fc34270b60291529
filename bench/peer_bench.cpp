// Peer benchmark, run under Wine: the uninstall benchmark's tree (files in
// 100 folders) removed by UNINSTAL.EXE and by two uninstallers that Debian
// can build: an NSIS uninstaller and Windows Installer (a wixl package, one
// component per folder, removed with msiexec /x /qn). Every contender runs
// once a round, on a tree laid out or installed just before it, in an order
// that turns with the round; the table gives the medians of the rounds, their
// ratios to the floor of DeleteFileA and RemoveDirectoryA in this process,
// and each program's peak working set. Beside them, the kernel's own share
// of that floor: the same tree removed by rm(1) from Linux, outside Wine.
//
// The NSIS uninstaller is started with _?=<folder>: without it, it copies
// itself to the temporary folder, starts the copy and ends at once, and the
// process waited for would not be the one that removes the files.
//
//   peer_bench.exe sources <folder> <files>   payload.dat, BENCH<files>.NSI and .WXS for makensis and wixl
//   peer_bench.exe floor <files>              the floor's loop as a process of its own
//   peer_bench.exe run <files> <rounds> <UNINSTAL.EXE> <folder of NSIS<files>.EXE and BENCH<files>.MSI, or ->
//                  [<other UNINSTAL.EXE>]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "timing.h"
#include "tree.h"

namespace {

BenchTree treeOf(int files)
{
    return BenchTree{files / 100};
}

std::string nsisUninstaller(const BenchTree& tree)
{
    // Outside App, so that every contender removes the same tree.
    return tree.folder + "\\NSISUNIN.EXE";
}

// A GUID that names what `kind` and `number` say, the same in every build.
std::string guid(int kind, int number, int files)
{
    char text[64];
    snprintf(text, sizeof text, "{6A1C%04d-0000-4000-8000-%012d}", kind * 1000 + number % 1000, files);
    return text;
}

// A folder of the tree as the NSIS script names it.
std::string nsisFolder(const BenchTree& tree, int d)
{
    return "$INSTDIR" + folderPath(tree, d).substr(appFolder(tree).size());
}

// The installer lists every file, and its uninstaller deletes each by name,
// as a generated NSIS script does.
std::string nsisScript(const BenchTree& tree)
{
    int files = tree.folders * tree.filesPerFolder;
    std::string script = "Target amd64-unicode\nName \"Ruvo Bench\"\nOutFile \"NSIS" + std::to_string(files) +
                         ".EXE\"\nInstallDir \"" + appFolder(tree) +
                         "\"\nRequestExecutionLevel user\nSilentInstall silent\nSilentUnInstall silent\nSection\n";
    for (int d = 0; d < tree.folders; ++d) {
        script += "SetOutPath \"" + nsisFolder(tree, d) + "\"\n";
        for (int f = 0; f < tree.filesPerFolder; ++f)
            script += "File \"/oname=" + fileName(f) + "\" payload.dat\n";
    }
    script += "WriteUninstaller \"" + nsisUninstaller(tree) + "\"\nSectionEnd\nSection \"Uninstall\"\n";
    for (int d = 0; d < tree.folders; ++d) {
        std::string folder = nsisFolder(tree, d);
        for (int f = 0; f < tree.filesPerFolder; ++f)
            script += "Delete \"" + folder + "\\" + fileName(f) + "\"\n";
        script += "RMDir \"" + folder + "\"\n";
    }
    return script + "RMDir \"$INSTDIR\"\nSectionEnd\n";
}

std::string wixSource(const BenchTree& tree)
{
    int files = tree.folders * tree.filesPerFolder;
    std::string source = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                         "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
                         "<Product Id=\"" + guid(1, 0, files) + "\" Name=\"Ruvo Bench " + std::to_string(files) +
                         "\" Language=\"1033\" Version=\"1.0.0\" Manufacturer=\"Ruvo\" UpgradeCode=\"" +
                         guid(2, 0, files) + "\">\n"
                         "<Package InstallerVersion=\"200\" Compressed=\"yes\" InstallScope=\"perMachine\"/>\n"
                         "<Media Id=\"1\" Cabinet=\"bench.cab\" EmbedCab=\"yes\"/>\n"
                         "<Property Id=\"ROOTDRIVE\" Value=\"" + tree.folder.substr(0, 3) + "\"/>\n"
                         "<Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n";
    // The tree's own place is the package's default, so that the removal
    // finds it without being told again (Wine's msiexec does not keep a
    // folder given on the command line of the installation).
    size_t levels = 0;
    for (size_t start = 3, end; start < tree.folder.size(); start = end + 1, ++levels) {
        end = std::min(tree.folder.find('\\', start), tree.folder.size());
        source += "<Directory Id=\"UP" + std::to_string(levels) + "\" Name=\"" + tree.folder.substr(start, end - start) +
                  "\">\n";
    }
    source += "<Directory Id=\"INSTALLDIR\" Name=\"App\">\n";
    // App holds no file, so it is no component's folder, and the removal
    // would leave it behind without a component of its own that removes it.
    source += "<Component Id=\"CApp\" Guid=\"" + guid(4, 0, files) +
              "\">\n<RemoveFolder Id=\"RemoveApp\" On=\"uninstall\"/>\n</Component>\n";
    std::string features = "<ComponentRef Id=\"CApp\"/>\n";
    char id[32];
    for (int d = 0; d < tree.folders; ++d) {
        snprintf(id, sizeof id, "%03d", d);
        source += std::string("<Directory Id=\"D") + id + "\" Name=\"D" + id + "\">\n<Component Id=\"C" + id +
                  "\" Guid=\"" + guid(3, d, files) + "\">\n";
        for (int f = 0; f < tree.filesPerFolder; ++f)
            source += std::string("<File Id=\"F") + id + "_" + std::to_string(f) + "\" Name=\"" + fileName(f) +
                      "\" Source=\"payload.dat\"" + (f == 0 ? " KeyPath=\"yes\"" : "") + "/>\n";
        source += "</Component>\n</Directory>\n";
        features += std::string("<ComponentRef Id=\"C") + id + "\"/>\n";
    }
    for (size_t i = 0; i < levels; ++i)
        source += "</Directory>\n";
    return source + "</Directory>\n</Directory>\n<Feature Id=\"Main\" Level=\"1\">\n" + features +
           "</Feature>\n</Product>\n</Wix>\n";
}

void writeSources(const std::string& folder, int files)
{
    BenchTree tree = treeOf(files);
    CreateDirectoryA(folder.c_str(), nullptr);
    writeWholeFile(folder + "\\payload.dat", "data");
    writeWholeFile(folder + "\\BENCH" + std::to_string(files) + ".NSI", nsisScript(tree));
    writeWholeFile(folder + "\\BENCH" + std::to_string(files) + ".WXS", wixSource(tree));
}

// An installer's tree is there when its first and last files are.
bool treeInstalled(const BenchTree& tree)
{
    return GetFileAttributesA(filePath(tree, 0, 0).c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetFileAttributesA(filePath(tree, tree.folders - 1, tree.filesPerFolder - 1).c_str()) !=
               INVALID_FILE_ATTRIBUTES;
}

struct Contender {
    std::string name;
    std::function<bool()> prepare;   // lays out or installs a fresh tree; false when it could not
    std::function<RunFigures()> run;
    std::vector<double> times, peaks;
    bool unprepared = false, leftBehind = false;
};

void addContender(std::vector<Contender>& contenders, const char* name, std::function<bool()> prepare,
                  std::function<RunFigures()> run)
{
    contenders.emplace_back();
    contenders.back().name = name;
    contenders.back().prepare = std::move(prepare);
    contenders.back().run = std::move(run);
}

std::string thisProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

double medianTime(const std::vector<Contender>& contenders, const char* name)
{
    for (const Contender& c : contenders)
        if (c.name == name && !c.times.empty())
            return median(c.times);
    return 0;
}

void printTable(const std::vector<Contender>& contenders, const BenchTree& tree, int rounds)
{
    double floor = median(contenders[0].times);
    printf("%d files in %d folders, medians of %d rounds, each contender on a fresh tree, the order turning each "
           "round:\n",
           tree.folders * tree.filesPerFolder, tree.folders, rounds);
    printf("%-42s %10s %8s %10s\n", "contender", "median s", "ratio", "peak MiB");
    for (const Contender& c : contenders) {
        if (c.times.empty()) {
            printf("%-42s could not install its tree\n", c.name.c_str());
            continue;
        }
        char peak[16] = "-";   // none for the loop inside this process
        if (median(c.peaks) > 0)
            snprintf(peak, sizeof peak, "%.1f", median(c.peaks));
        printf("%-42s %10.3f %8.2f %10s%s%s\n", c.name.c_str(), median(c.times), median(c.times) / floor, peak,
               c.leftBehind ? "  (left files behind)" : "", c.unprepared ? "  (an install failed)" : "");
    }
}

// Wine's own export that names a path's Linux file; null outside Wine.
using UnixName = char*(CDECL*)(const WCHAR*);
UnixName wineUnixName()
{
    return reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

// rm -rf of the tree's App folder from Linux; a run of -1 s when rm cannot
// be started. Wine starts a Linux program but gives back no process to wait
// on, so the run ends when App is gone (rm removes it last), polled each
// millisecond.
RunFigures linuxRemoval(const BenchTree& tree)
{
    WCHAR app[MAX_PATH];
    char* name = MultiByteToWideChar(CP_ACP, 0, appFolder(tree).c_str(), -1, app, MAX_PATH) ? wineUnixName()(app)
                                                                                           : nullptr;
    if (!name)
        return {-1, 0};
    std::string arguments = std::string("-rf \"") + name + "\"";
    HeapFree(GetProcessHeap(), 0, name);
    double start = seconds();
    if (measuredRun("Z:\\bin\\rm", arguments).seconds < 0)
        return {-1, 0};
    while (!treeRemoved(tree) && seconds() - start < 600)
        Sleep(1);
    return {seconds() - start, 0};
}

const char kSilent[] = "UNINSTAL.EXE /S", kSecond[] = "second UNINSTAL.EXE /S",
           kNsis[] = "NSIS uninstaller /S _?=<folder>", kMsi[] = "msiexec /x /qn";

int runPeers(int files, int rounds, const std::string& program, const std::string& peers, const std::string& other)
{
    BenchTree tree = treeOf(files);
    std::string app = appFolder(tree), log = app + "\\INSTALL.LOG";
    auto layOut = [&] {
        makeTree(tree);
        writeLog(tree);
        return true;
    };
    std::vector<Contender> contenders;
    addContender(contenders, "DeleteFile floor (in this process)", layOut, [&] {
        double start = seconds();
        deleteTree(tree);
        return RunFigures{seconds() - start, 0};
    });
    addContender(contenders, "DeleteFile loop as a process of its own", layOut,
                 [&] { return measuredRun(thisProgram(), "floor " + std::to_string(files)); });
    if (wineUnixName())
        addContender(contenders, "rm -rf from Linux (the kernel's share)", layOut, [&] { return linuxRemoval(tree); });
    addContender(contenders, kSilent, layOut, [&] { return measuredRun(program, "/S " + log); });
    addContender(contenders, "UNINSTAL.EXE /A (the wizard's progress)", layOut,
                 [&] { return measuredRun(program, "/A " + log); });
    if (!other.empty())
        addContender(contenders, kSecond, layOut, [&] { return measuredRun(other, "/S " + log); });

    char systemFolder[MAX_PATH];
    GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    std::string msiexec = std::string(systemFolder) + "\\msiexec.exe";
    std::string nsis = peers + "\\NSIS" + std::to_string(files) + ".EXE";
    std::string msi = "\"" + peers + "\\BENCH" + std::to_string(files) + ".MSI\"";
    if (peers != "-") {
        addContender(
            contenders, kNsis,
            [&] { return measuredRun(nsis, "/S /D=" + app).seconds >= 0 && treeInstalled(tree); },
            [&] { return measuredRun(nsisUninstaller(tree), "/S _?=" + app); });
        addContender(
            contenders, kMsi,
            [&] { return measuredRun(msiexec, "/i " + msi + " /qn").seconds >= 0 && treeInstalled(tree); },
            [&] { return measuredRun(msiexec, "/x " + msi + " /qn"); });
        measuredRun(msiexec, "/x " + msi + " /qn");   // left installed by an interrupted run
    }
    deleteTree(tree);

    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < contenders.size(); ++i) {
            Contender& c = contenders[(round + i) % contenders.size()];
            if (!c.prepare()) {
                c.unprepared = true;
                deleteTree(tree);
                continue;
            }
            RunFigures figures = c.run();
            c.times.push_back(figures.seconds);
            c.peaks.push_back(static_cast<double>(figures.peakBytes) / 1048576.0);
            if (!treeRemoved(tree)) {
                c.leftBehind = true;
                deleteTree(tree);
            }
        }
    }
    DeleteFileA(nsisUninstaller(tree).c_str());

    printTable(contenders, tree, rounds);
    if (!other.empty())
        printf("second UNINSTAL.EXE: %s\n", other.c_str());
    if (peers == "-")
        return 0;
    for (const char* name : {kSilent, kSecond}) {
        double silent = medianTime(contenders, name);
        if (silent > 0)
            printf("%s is %.2f times as fast as the NSIS uninstaller and %.2f times as fast as msiexec\n", name,
                   medianTime(contenders, kNsis) / silent, medianTime(contenders, kMsi) / silent);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sources" && argc == 4) {
        writeSources(argv[2], atoi(argv[3]));
        return 0;
    }
    if (mode == "floor" && argc == 3) {
        deleteTree(treeOf(atoi(argv[2])));
        return 0;
    }
    if (mode == "run" && argc >= 6)
        return runPeers(atoi(argv[2]), atoi(argv[3]), argv[4], argv[5], argc > 6 ? argv[6] : "");
    fprintf(stderr, "usage: peer_bench sources <folder> <files> | floor <files> |\n"
                    "       run <files> <rounds> <UNINSTAL.EXE> <peers folder or -> [<other UNINSTAL.EXE>]\n");
    return 2;
}
