// Writes the status report on Win32: the template from the companion INI,
// the local time, the file in the Windows directory, in one write.
#include "startup/statusreport.h"

#include <windows.h>

#include <string>

#include "startup/runstate.h"

void writeStatusReport()
{
    const RunState& rs = runState;
    if (rs.mifName[0] == '\0')
        return;
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return;
    std::string path = windows;
    if (path.back() != '\\')
        path += '\\';
    path += rs.mifName;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    GetPrivateProfileStringA("Language", "Msg1000", "\x7F", rs.messageBuffer, kMessageBufferSize, rs.companionIniPath);
    SYSTEMTIME now;
    GetLocalTime(&now);
    ReportValues values = {rs.manufacturer, rs.product, rs.versionNumber, rs.serialNumber, rs.rollbackRequested != 0,
                           rs.cancelRequested != 0, now.wMonth, now.wDay, now.wYear, now.wHour, now.wMinute};
    std::string text = statusReportText(rs.messageBuffer, values);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}
