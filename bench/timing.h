// What every benchmark measures with: a clock, whole runs of a program with
// their peak working set, and the median of rounds (single runs vary by a
// fifth on this machine).
#pragma once
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

inline double seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct RunFigures {
    double seconds;      // -1 when the program could not start
    size_t peakBytes;    // its peak working set
};

// Runs `program` with `arguments` to its end: its time from start to end and
// its peak working set. Wine forgets a process's counters once it has ended,
// so they are read while it runs, every 10 ms; the peak only grows, and the
// last reading misses at most what the final 10 ms added.
inline RunFigures measuredRun(const std::string& program, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = seconds();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return {-1, 0};
    size_t peak = 0;
    do {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters))
            peak = std::max(peak, static_cast<size_t>(counters.PeakWorkingSetSize));
    } while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT);
    double elapsed = seconds() - start;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return {elapsed, peak};
}

inline double timedRun(const std::string& program, const std::string& arguments)
{
    return measuredRun(program, arguments).seconds;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
