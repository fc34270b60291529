// Service benchmark, run under Wine: five real services, each running the
// project's service double from a folder of its own, removed by a silent
// run of UNINSTAL.EXE together with their program files; beside it the
// same run over five services that do not exist, and a run over the files
// alone. A fixed pause of 3.5 s after each service would cost 17.5 s; the
// run waits for each service's process to end instead. Medians of three
// rounds; each run must leave no service and no program file behind (a
// program still running at the file step would wait for a restart).
//
//   service_bench.exe <UNINSTAL.EXE> <ruvo_service.exe>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "timing.h"

namespace {

const std::string kFolder = "C:\\ruvobench\\services";
const int kServices = 5;

std::string programPath(int i)
{
    return kFolder + "\\S" + std::to_string(i) + "\\service.exe";
}

std::string serviceName(int i, bool real)
{
    return (real ? "RuvoBench" : "RuvoBenchMissing") + std::to_string(i);
}

// Installs and starts the services; false when one does not run.
bool startServices(SC_HANDLE manager, const std::string& double_)
{
    CreateDirectoryA(kFolder.c_str(), nullptr);
    bool all = true;
    for (int i = 0; i < kServices; ++i) {
        CreateDirectoryA((kFolder + "\\S" + std::to_string(i)).c_str(), nullptr);
        CopyFileA(double_.c_str(), programPath(i).c_str(), FALSE);
        SC_HANDLE service = CreateServiceA(manager, serviceName(i, true).c_str(), nullptr, SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                           programPath(i).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
        all = all && service && StartServiceA(service, 0, nullptr);
        SERVICE_STATUS status = {};
        for (int wait = 0; service && wait < 100 && QueryServiceStatus(service, &status) &&
                           status.dwCurrentState != SERVICE_RUNNING;
             ++wait)
            Sleep(20);
        all = all && status.dwCurrentState == SERVICE_RUNNING;
        if (service)
            CloseServiceHandle(service);
    }
    return all;
}

std::string writeLog(bool services, bool real, const std::string& double_)
{
    CreateDirectoryA(kFolder.c_str(), nullptr);   // a run removes it with the log
    std::string log = "***  Installation\r\nTitle: Bench\r\n";
    for (int i = 0; i < kServices; ++i) {
        if (services)
            log += "Create Service: " + serviceName(i, real) + "\r\n";
        log += "File Copy: " + programPath(i) + "\r\n";
        CreateDirectoryA((kFolder + "\\S" + std::to_string(i)).c_str(), nullptr);
        CopyFileA(double_.c_str(), programPath(i).c_str(), TRUE);
    }
    std::string path = kFolder + "\\INSTALL.LOG";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, log.data(), static_cast<DWORD>(log.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

// Nothing of the run may stay: no service of the bench, no program file.
bool clean(SC_HANDLE manager)
{
    bool clean = true;
    for (int i = 0; i < kServices; ++i) {
        SC_HANDLE service = OpenServiceA(manager, serviceName(i, true).c_str(), SERVICE_ALL_ACCESS);
        if (service) {
            clean = false;
            DeleteService(service);
            CloseServiceHandle(service);
        }
        clean = clean && GetFileAttributesA(programPath(i).c_str()) == INVALID_FILE_ATTRIBUTES;
    }
    return clean;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: service_bench <UNINSTAL.EXE> <ruvo_service.exe>\n");
        return 2;
    }
    std::string program = argv[1], double_ = argv[2];
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) {
        fprintf(stderr, "no service manager\n");
        return 1;
    }
    CreateDirectoryA("C:\\ruvobench", nullptr);
    CreateDirectoryA(kFolder.c_str(), nullptr);
    std::vector<double> real, missing, files;
    bool started = true, complete = true;
    for (int round = 0; round < 3; ++round) {
        started = startServices(manager, double_) && started;
        real.push_back(timedRun(program, "/S " + writeLog(true, true, double_)));
        complete = clean(manager) && complete;
        missing.push_back(timedRun(program, "/S " + writeLog(true, false, double_)));
        complete = clean(manager) && complete;
        files.push_back(timedRun(program, "/S " + writeLog(false, false, double_)));
        complete = clean(manager) && complete;
    }
    CloseServiceHandle(manager);
    double floor = median(files);
    printf("%d services, medians of 3 rounds: files alone %.2f s; %d running services %.2f s (%.2f s more); "
           "%d missing services %.2f s (%.2f s more); a fixed 3.5 s pause would add %.1f s%s%s\n",
           kServices, floor, kServices, median(real), median(real) - floor, kServices, median(missing),
           median(missing) - floor, 3.5 * kServices, started ? "" : " (a service did not start)",
           complete ? "" : " (a run left a service or a file behind)");
    return 0;
}
