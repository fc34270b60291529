// What every benchmark measures with: a clock, whole runs of a program, and
// the median of rounds (single runs vary by a fifth on this machine).
#pragma once
#include <windows.h>

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

// Runs `program` with `arguments` to its end; its time from start to end,
// or -1 when it cannot start.
inline double timedRun(const std::string& program, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = seconds();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    double elapsed = seconds() - start;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return elapsed;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
