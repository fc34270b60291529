#include "engine/shareddlls.h"

// Not built yet: counts are not lowered and nobody is asked. Until then a
// file that SharedDLLs still counts is kept, so that no other product
// loses a library it shares; every other file goes as a private one.
int releaseSharedFile(const char* path, int)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return 0;
    LONG result = RegQueryValueExA(key, path, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

// Not built yet: the prompt is never shown.
extern "C" INT_PTR CALLBACK SharedDlg(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
