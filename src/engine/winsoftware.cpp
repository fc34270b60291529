// The engine's dealings with other software on Win32: programs it starts,
// services it removes, self-registering servers, windows it looks for, and
// its DDE conversation with Program Manager.
#include "engine/winhost.h"

#include <windows.h>
#include <ddeml.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/progress.h"

namespace {

unsigned long startAndWait(const char* commandLine)
{
    std::vector<char> line(commandLine, commandLine + strlen(commandLine) + 1);   // CreateProcess may write to it
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    waitForProcess(process.hProcess);
    CloseHandle(process.hProcess);
    return 0;
}

unsigned long setCurrentDirectory(const char* path, char* previous, size_t capacity)
{
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(capacity), previous);
    if (length == 0 || length >= capacity)
        previous[0] = '\0';
    return SetCurrentDirectoryA(path) ? 0 : GetLastError();
}

// The server's entry runs with OLE initialised on this thread. OleInitialize
// answers S_FALSE when the thread already was: that is success too, and is
// balanced by OleUninitialize the same way. A failed initialisation is not
// balanced, so that it cannot undo someone else's.
unsigned long callServerEntry(const char* path, bool registerServer)
{
    typedef HRESULT(WINAPI * Initialize)(LPVOID);
    typedef void(WINAPI * Uninitialize)();
    typedef HRESULT(WINAPI * Entry)();
    HMODULE ole = LoadLibraryA("OLE32.DLL");
    if (!ole)
        return GetLastError();
    auto initialize = reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(ole, "OleInitialize")));
    auto uninitialize = reinterpret_cast<Uninitialize>(reinterpret_cast<void*>(GetProcAddress(ole, "OleUninitialize")));
    HRESULT initialised = initialize ? initialize(nullptr) : E_FAIL;
    unsigned long error = static_cast<unsigned long>(initialised);
    if (SUCCEEDED(initialised)) {
        // A library that lacks one of its own libraries fails to load here,
        // without a box that would stop a silent run.
        UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        HMODULE server = LoadLibraryA(path);
        SetErrorMode(oldMode);
        if (!server) {
            error = GetLastError();
        } else {
            auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
                GetProcAddress(server, registerServer ? "DllRegisterServer" : "DllUnregisterServer")));
            HRESULT answer = entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
            error = SUCCEEDED(answer) ? 0 : static_cast<unsigned long>(answer);
            FreeLibrary(server);
        }
        if (uninitialize)
            uninitialize();
    }
    FreeLibrary(ole);
    return error;
}


unsigned long startProgram(const char* commandLine)
{
    // WinExec answers values above 31 for success, the error otherwise.
    UINT answer = WinExec(commandLine, SW_SHOW);
    return answer > 31 ? 0 : (answer ? answer : ERROR_OUTOFMEMORY);
}

bool windowExists(const char* className)
{
    return FindWindowA(className, nullptr) != nullptr;
}

// --- Services ------------------------------------------------------------

constexpr UINT kServicePause = 3500;

typedef BOOL(WINAPI* QueryStatusEx)(SC_HANDLE, SC_STATUS_TYPE, LPBYTE, DWORD, LPDWORD);

// The process of a running service: 0 when it runs in none (stopped), false
// when the platform cannot tell.
bool serviceProcess(SC_HANDLE service, DWORD* processId)
{
    // Looked up at run time: systems before Windows 2000 lack it.
    auto query = reinterpret_cast<QueryStatusEx>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("advapi32.dll"), "QueryServiceStatusEx")));
    SERVICE_STATUS_PROCESS status;
    DWORD needed = 0;
    if (!query || !query(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status, &needed))
        return false;
    *processId = status.dwCurrentState == SERVICE_STOPPED ? 0 : status.dwProcessId;
    return true;
}

bool serviceStillOpens(SC_HANDLE manager, const char* name)
{
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
    if (service)
        CloseServiceHandle(service);
    return service != nullptr;
}

// A service's files are deleted right after it: its process must be gone
// by then, or a file still in use would wait for a restart. The wait ends
// as soon as the process has ended or the service is gone, and never lasts
// longer than the pause a stopping service is given.
void waitForServiceToEnd(SC_HANDLE manager, const char* name, bool known, DWORD processId)
{
    if (known && processId == 0)
        return;   // it was not running
    HANDLE process = known ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    if (process) {
        pumpMessagesUntil(process, kServicePause);
        CloseHandle(process);
        return;
    }
    if (!known) {
        pumpMessages(kServicePause);
        return;
    }
    for (DWORD start = GetTickCount(); GetTickCount() - start < kServicePause && serviceStillOpens(manager, name);)
        pumpMessagesUntil(nullptr, 100);
}

unsigned long removeService(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return GetLastError();   // no service manager: nothing to wait for
    SC_HANDLE service = OpenServiceA(manager, name, DELETE | SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!service)
        service = OpenServiceA(manager, name, DELETE | SERVICE_STOP);
    if (!service) {
        DWORD error = GetLastError();
        CloseServiceHandle(manager);
        return error;
    }
    DWORD processId = 0;
    bool known = serviceProcess(service, &processId);
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    unsigned long error = DeleteService(service) ? 0 : GetLastError();
    CloseServiceHandle(service);
    waitForServiceToEnd(manager, name, known, processId);
    CloseServiceHandle(manager);
    return error;
}

unsigned long queryService(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return GetLastError();
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
    unsigned long error = service ? 0 : GetLastError();
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return error;
}

// --- DDE: a client only ----------------------------------------------------

DWORD ddeInstance;
HCONV conversation;

HDDEDATA CALLBACK ddeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

void ddeDisconnect()
{
    if (conversation)
        DdeDisconnect(conversation);
    conversation = nullptr;
    if (ddeInstance)
        DdeUninitialize(ddeInstance);
    ddeInstance = 0;
}

bool ddeConnect(const char* service, const char* topic)
{
    ddeDisconnect();
    if (DdeInitializeA(&ddeInstance, ddeCallback, CBF_FAIL_ALLSVRXACTIONS, 0) != DMLERR_NO_ERROR) {
        ddeInstance = 0;
        return false;
    }
    HSZ serviceName = DdeCreateStringHandleA(ddeInstance, service, CP_WINANSI);
    HSZ topicName = DdeCreateStringHandleA(ddeInstance, topic, CP_WINANSI);
    conversation = DdeConnect(ddeInstance, serviceName, topicName, nullptr);
    DdeFreeStringHandle(ddeInstance, serviceName);
    DdeFreeStringHandle(ddeInstance, topicName);
    if (!conversation)
        ddeDisconnect();
    return conversation != nullptr;
}

unsigned long ddeRequest(const char* item, std::string* answer)
{
    answer->clear();
    if (!conversation)
        return ERROR_NOT_CONNECTED;
    HSZ itemName = DdeCreateStringHandleA(ddeInstance, item, CP_WINANSI);
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation, itemName, CF_TEXT, XTYP_REQUEST, 5000, nullptr);
    DdeFreeStringHandle(ddeInstance, itemName);
    if (!data)
        return DdeGetLastError(ddeInstance);
    // However long the answer: a group with many items keeps them all.
    DWORD size = DdeGetData(data, nullptr, 0, 0);
    answer->resize(size);
    if (size)
        DdeGetData(data, reinterpret_cast<BYTE*>(&(*answer)[0]), size, 0);
    DdeFreeDataHandle(data);
    answer->resize(strnlen(answer->c_str(), answer->size()));
    return 0;
}

unsigned long ddeExecute(const char* command)
{
    if (!conversation)
        return ERROR_NOT_CONNECTED;
    HDDEDATA data = DdeCreateDataHandle(ddeInstance, reinterpret_cast<BYTE*>(const_cast<char*>(command)),
                                        static_cast<DWORD>(strlen(command) + 1), 0, nullptr, 0, 0);
    if (!data)
        return DdeGetLastError(ddeInstance);
    // The data is a handle, which DdeClientTransaction takes over.
    HDDEDATA result = DdeClientTransaction(reinterpret_cast<BYTE*>(data), 0xFFFFFFFF, conversation, nullptr, 0,
                                           XTYP_EXECUTE, 1000, nullptr);
    return result ? 0 : DdeGetLastError(ddeInstance);
}

} // namespace

void fillSoftwareHost(EngineHost* host)
{
    host->startAndWait = startAndWait;
    host->startProgram = startProgram;
    host->removeService = removeService;
    host->queryService = queryService;
    host->windowExists = windowExists;
    host->setCurrentDirectory = setCurrentDirectory;
    host->callServerEntry = callServerEntry;
    host->ddeConnect = ddeConnect;
    host->ddeRequest = ddeRequest;
    host->ddeExecute = ddeExecute;
    host->ddeDisconnect = ddeDisconnect;
}
