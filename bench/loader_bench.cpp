// Loader benchmark, run under Wine on real files: logs of 10,000 and
// 100,000 entries of every kind, half of them lines for files that exist.
// For each size it reports entries per second, the memory the load took, and
// the ratio of the load's time to the floor of merely reading the same file
// line by line through the same reader, best of several runs.
//
//   loader_bench.exe [folder]       (default C:\ruvobench)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "log/itemlists.h"
#include "log/loader.h"
#include "log/loaderhost.h"
#include "log/reader.h"
#include "startup/environment.h"
#include "startup/runstate.h"

#include "timing.h"

namespace {

std::string folder = "C:\\ruvobench";

void writeText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string filePath(int i)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\App\\D%03d\\F%06d.DAT", folder.c_str(), i % 100, i);
    return path;
}

// One entry of each kind in turn; every other entry is a line for a file
// that exists.
std::string makeLog(int entries, int* existingFiles)
{
    std::string log = "***  Installation\r\nTitle: Bench Installation\r\n";
    char line[1024];
    *existingFiles = 0;
    for (int i = 0; i < entries; ++i) {
        if (i % 2 == 0) {
            log += "File Copy: " + filePath(*existingFiles) + "\r\n";
            ++*existingFiles;
            continue;
        }
        switch ((i / 2) % 10) {
        case 0: snprintf(line, sizeof line, "File Copy: %s\\App\\GONE%06d.DAT\r\n", folder.c_str(), i); break;
        case 1: snprintf(line, sizeof line, "Made Dir: %s\\App\\D%03d\\S%06d\r\n", folder.c_str(), i % 100, i); break;
        case 2:
            snprintf(line, sizeof line, "RegDB Key: Software\\Bench\\K%06d\r\nRegDB Val: 1\r\nRegDB Name: V\r\nRegDB Root: 1\r\n", i);
            break;
        case 3:
            snprintf(line, sizeof line,
                     "RegDB Key: Software\\Bench\\E%06d\r\nRegDB Val: 1\r\nRegDB Type: 2\r\nRegDB Root: 2\r\n"
                     "RegDB Old: a\r\nRegDB Old: b\r\n", i);
            break;
        case 4:
            snprintf(line, sizeof line, "INI File: %s\\App\\APP.INI\r\nINI Sect: S%d\r\nINI Item: I%06d\r\nINI Val: v\r\nINI Old: o\r\n",
                     folder.c_str(), i % 50, i);
            break;
        case 5: snprintf(line, sizeof line, "Icon Group: Bench\r\nIcon Name: Icon %06d\r\nIcon Cmd: X.EXE %d\r\n", i, i); break;
        case 6: snprintf(line, sizeof line, "Execute Program: C:\\BENCH\\RUN%06d.EXE\r\nExecute Name: Run %d\r\n", i, i); break;
        case 7: snprintf(line, sizeof line, "Create Service: BenchService%06d\r\n", i); break;
        case 8: snprintf(line, sizeof line, "RegDB Tree: Software\\Bench\\Tree%06d\r\nRegDB Root: 2\r\n", i); break;
        default: snprintf(line, sizeof line, "File Tree: %s\\App\\T%06d\\*.*\r\n", folder.c_str(), i); break;
        }
        log += line;
    }
    return log;
}

void makeFiles(int count)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\App").c_str(), nullptr);
    for (int d = 0; d < 100; ++d) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%s\\App\\D%03d", folder.c_str(), d);
        CreateDirectoryA(dir, nullptr);
    }
    for (int i = 0; i < count; ++i) {
        std::string path = filePath(i);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            writeText(path, "x");
    }
}

void freshRun()
{
    release(&runState.arena);
    runState = RunState{};
    detectPlatform();
    installCaseFolding();
    allocateRunBuffers();
}

double readFloor(const std::string& log)
{
    freshRun();
    double start = seconds();
    void* file = openLogFile(log.c_str());
    startReading(&runState.reader, file, readLogFile);
    char line[2048];
    long lines = 0;
    while (readLine(&runState.reader, line, sizeof line, 0) || line[0])
        ++lines;
    closeLogFile(file);
    double elapsed = seconds() - start;
    if (lines < 0)
        printf("impossible\n");
    return elapsed;
}

struct LoadResult {
    double time;
    size_t arenaBytes;
    size_t peakBytes;
};

LoadResult load(const std::string& log)
{
    freshRun();
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    before.cb = after.cb = sizeof before;
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    char top[256];
    double start = seconds();
    int failed = loadInstallLog(log.c_str(), top);
    double elapsed = seconds() - start;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    if (failed)
        printf("the log did not load\n");
    size_t blocks = 0;
    for (unsigned char* b = runState.arena.firstBlock; b; b = *reinterpret_cast<unsigned char**>(b))
        ++blocks;
    return {elapsed, blocks * kArenaBlockSize, after.PeakPagefileUsage - before.PagefileUsage};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        folder = argv[1];
    const int sizes[] = {10000, 100000};
    double loadTimes[2] = {}, peaks[2] = {};
    printf("%-8s %12s %12s %10s %12s %14s %14s\n", "entries", "load s", "floor s", "ratio", "entries/s", "arena MiB",
           "peak MiB");
    for (int s = 0; s < 2; ++s) {
        int entries = sizes[s], files = 0;
        std::string text = makeLog(entries, &files);
        makeFiles(files);
        std::string log = folder + "\\INSTALL" + std::to_string(entries) + ".LOG";
        writeText(log, text);
        double best = 1e9, floorBest = 1e9;
        LoadResult result = {};
        for (int run = 0; run < 3; ++run) {
            LoadResult r = load(log);
            if (r.time < best) {
                best = r.time;
                result = r;
            }
            double f = readFloor(log);
            if (f < floorBest)
                floorBest = f;
        }
        loadTimes[s] = best;
        peaks[s] = static_cast<double>(result.peakBytes);
        printf("%-8d %12.4f %12.4f %10.1f %12.0f %14.1f %14.1f\n", entries, best, floorBest, best / floorBest,
               entries / best, result.arenaBytes / 1048576.0, result.peakBytes / 1048576.0);
    }
    printf("100,000 entries take %.1f times as long as 10,000 and %.1f times the memory (linear: 10)\n",
           loadTimes[1] / loadTimes[0], peaks[1] / peaks[0]);
    release(&runState.arena);
    return 0;
}
