// Uninstall benchmark, run under Wine: 10,000 logged files in 100 folders
// removed by a silent run of UNINSTAL.EXE, against the floor of a plain loop
// of DeleteFileA and RemoveDirectoryA over the same tree, interleaved in one
// run (each round runs every contender once; medians of five rounds, the
// floor varying by a fifth on this machine), the silent run also with its
// action record (/L), and the floor's loop split between two threads. A
// second program, such as an earlier build, joins the rounds with its
// silent run. Then the CPU time
// that the 3.5-second message wait after each service costs.
//
//   uninstall_bench.exe <UNINSTAL.EXE> [<other UNINSTAL.EXE>]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "startup/mainwnd.h"
#include "startup/runstate.h"
#include "ui/progress.h"

#include "timing.h"
#include "tree.h"

namespace {

const BenchTree tree = {100};

double floorRun()
{
    double start = seconds();
    deleteTree(tree);
    return seconds() - start;
}

// The floor's loop over the half of the folders that begins at *first.
DWORD WINAPI deleteHalf(void* first)
{
    int begin = *static_cast<int*>(first);
    deleteFolders(tree, begin, begin + tree.folders / 2);
    return 0;
}

// The floor's loop split between two threads: what a second deleting
// thread could gain at best.
double twoThreadFloorRun()
{
    int firsts[2] = {0, tree.folders / 2};
    double start = seconds();
    HANDLE threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = CreateThread(nullptr, 0, deleteHalf, &firsts[t], 0, nullptr);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    deleteAppFolder(tree);
    double elapsed = seconds() - start;
    for (HANDLE thread : threads)
        CloseHandle(thread);
    return elapsed;
}

double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return value(kernel) + value(user);
}


} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: uninstall_bench <UNINSTAL.EXE> [<other UNINSTAL.EXE>]\n");
        return 2;
    }
    std::string program = argv[1], other = argc > 2 ? argv[2] : "";

    std::vector<double> floors, twoThreads, silents, recorded, visibles, others;
    bool complete = true;
    for (int round = 0; round < 5; ++round) {
        makeTree(tree);
        silents.push_back(timedRun(program, "/S " + writeLog(tree)));
        complete = complete && treeRemoved(tree);
        makeTree(tree);
        recorded.push_back(timedRun(program, "/S /L=" + tree.folder + "\\RECORD.TXT " + writeLog(tree)));
        complete = complete && treeRemoved(tree);
        makeTree(tree);
        visibles.push_back(timedRun(program, "/A " + writeLog(tree)));   // the wizard shows the progress
        complete = complete && treeRemoved(tree);
        if (!other.empty()) {
            makeTree(tree);
            others.push_back(timedRun(other, "/S " + writeLog(tree)));
            complete = complete && treeRemoved(tree);
        }
        makeTree(tree);
        writeLog(tree);
        floors.push_back(floorRun());
        makeTree(tree);
        writeLog(tree);
        twoThreads.push_back(twoThreadFloorRun());
        complete = complete && treeRemoved(tree);
    }
    double floor = median(floors);
    printf("%d files in %d folders, medians of 5 rounds: DeleteFile floor %.3f s; silent run %.3f s (ratio %.2f); "
           "run with the wizard's progress %.3f s (ratio %.2f)%s\n",
           tree.folders * tree.filesPerFolder, tree.folders, floor, median(silents), median(silents) / floor, median(visibles),
           median(visibles) / floor, complete ? "" : " (a run left files behind)");
    printf("silent run with the action record (/L) %.3f s (ratio %.2f; %.2f times the run without it)\n",
           median(recorded), median(recorded) / floor, median(recorded) / median(silents));
    printf("the floor's loop in two threads %.3f s (ratio %.2f)\n", median(twoThreads), median(twoThreads) / floor);
    if (!other.empty())
        printf("the other program's silent run %.3f s (ratio %.2f)\n", median(others), median(others) / floor);

    // The wait after each service: the interface stays alive for 3.5 s.
    runState.companionIniPath = const_cast<char*>("");
    runState.noBackground = 1;
    createMainWindow(GetModuleHandleA(nullptr), nullptr);
    double cpu = cpuSeconds(), start = seconds();
    pumpMessages(3500);
    printf("3.5-second message wait: %.2f s of wall time, %.3f s of CPU\n", seconds() - start, cpuSeconds() - cpu);
    return 0;
}
