// A service program for the tests. It runs until the service manager stops
// it and then takes its time: the stop stays pending for a while before the
// service reports it stopped and its process ends, so a caller that does not
// wait for the stop to finish is caught. Started any other way it fails.
#include <windows.h>

namespace {

SERVICE_STATUS_HANDLE statusHandle;
SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, 0, 0, 0, 0, 0, 0};
HANDLE stopRequested;

void report(DWORD state)
{
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwCheckPoint = state == SERVICE_STOP_PENDING ? 1 : 0;
    status.dwWaitHint = state == SERVICE_STOP_PENDING ? 3000 : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI control(DWORD code, DWORD, LPVOID, LPVOID)
{
    switch (code) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        // The handler returns at once, so the caller's ControlService sees
        // the stop pending rather than done.
        if (status.dwCurrentState == SERVICE_RUNNING) {
            report(SERVICE_STOP_PENDING);
            SetEvent(stopRequested);
        }
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI serviceMain(DWORD, LPSTR*)
{
    // An own-process service is found whatever name it registers under.
    statusHandle = RegisterServiceCtrlHandlerExA("", control, nullptr);
    if (!statusHandle)
        return;
    report(SERVICE_RUNNING);
    WaitForSingleObject(stopRequested, INFINITE);
    Sleep(300);
    report(SERVICE_STOPPED);
    ExitProcess(0);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char name[] = "";
    SERVICE_TABLE_ENTRYA services[] = {{name, serviceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(services) ? 0 : 1;
}
