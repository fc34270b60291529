#include "startup/winrecord.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "common/text.h"
#include "engine/record.h"
#include "startup/runstate.h"

namespace {

HANDLE recordFile = INVALID_HANDLE_VALUE;
std::string recordFileName;

// Each line goes to the file at once, so a run that is killed leaves every
// line up to that moment. A failing write is passed over: the record never
// changes the uninstall.
void writeRecordLine(const char* line)
{
    std::string text = std::string(line) + "\r\n";
    DWORD written = 0;
    WriteFile(recordFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void errorText(unsigned long code, char* buffer, size_t capacity)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        text[--length] = '\0';
    copyText(buffer, capacity, text);
}

} // namespace

void openRecord(const char* path, EngineHost* host, bool preview)
{
    char folder[MAX_PATH];
    recordFileName = path;
    if (recordFileName.empty()) {
        DWORD length = GetTempPathA(sizeof folder, folder);
        if (length > 0 && length < sizeof folder)
            recordFileName = std::string(folder) + "UNINSTAL.TXT";
    }
    if (!recordFileName.empty())
        recordFile = CreateFileA(recordFileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (recordFile != INVALID_HANDLE_VALUE) {
        host->writeRecordLine = writeRecordLine;
        host->errorText = errorText;
    }
    if (recordFile != INVALID_HANDLE_VALUE || preview)
        gateHost(host, preview);
}

const char* recordPath()
{
    return recordFileName.c_str();
}

bool recordOpen()
{
    return recordFile != INVALID_HANDLE_VALUE;
}

void startRecordedRun(const char* logPath)
{
    const RunState& rs = runState;
    if (recordFile == INVALID_HANDLE_VALUE)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char started[64];
    snprintf(started, sizeof started, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    const char* kind = rs.uninstallMethod == kMethodCustom ? "custom" : rs.rollbackRequested ? "rollback" : "uninstall";
    std::string shown = rs.previewRun ? std::string("preview of ") + (*kind == 'u' ? "an " : "a ") + kind : kind;
    startRecord(RecordHeader{rs.programPath, logPath, rs.applicationTitle ? rs.applicationTitle : "", shown.c_str(),
                             rs.platform == kPlatformNt ? "Windows NT family" : "Windows 95 family", started});
}

void endRecordedRun(const char* logPath, const char* ending)
{
    if (recordFile == INVALID_HANDLE_VALUE)
        return;
    startRecordedRun(logPath);
    finishRecord(ending);
}

void closeRecord()
{
    if (recordFile != INVALID_HANDLE_VALUE)
        CloseHandle(recordFile);
    recordFile = INVALID_HANDLE_VALUE;
}
