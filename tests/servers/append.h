// Appends a line to a file a test reads while the double runs, so the file
// is never kept open. Copies started together each add their own line:
// appends do not overwrite one another, and a reader holding the file only
// delays the writer.
#pragma once
#include <windows.h>

#include <string>

inline void appendLine(const std::string& path, const std::string& line)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return;
        Sleep(20);
    }
}
