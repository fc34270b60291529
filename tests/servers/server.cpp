// A self-registering server for the tests. Built as a library it exports
// DllRegisterServer and DllUnregisterServer; built as a program it takes
// /REGSERVER and /UNREGSERVER. Either way it writes, or removes, a real
// CLSID registration that names its own file in long form. The program
// takes its time before it unregisters, so a caller that does not wait
// for its end is caught.
#include <windows.h>

#ifdef RUVO_SERVER_LIBRARY
#define CLASS_KEY "CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A01}"
static const char kServerKey[] = CLASS_KEY "\\InprocServer32";
#else
#define CLASS_KEY "CLSID\\{6D1F3A52-8E4B-4C7A-9F20-3B5E7C1D9A02}"
static const char kServerKey[] = CLASS_KEY "\\LocalServer32";
#endif

static HMODULE self;

static HRESULT registerServer()
{
    char path[MAX_PATH], longPath[MAX_PATH];
    GetModuleFileNameA(self, path, sizeof path);
    if (!GetLongPathNameA(path, longPath, sizeof longPath))
        lstrcpynA(longPath, path, sizeof longPath);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return E_FAIL;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(longPath),
                   static_cast<DWORD>(lstrlenA(longPath) + 1));
    RegCloseKey(key);
    return S_OK;
}

static HRESULT unregisterServer()
{
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kServerKey);
    return RegDeleteKeyA(HKEY_CLASSES_ROOT, CLASS_KEY) == ERROR_SUCCESS ? S_OK : S_FALSE;
}

#ifdef RUVO_SERVER_LIBRARY
extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer()
{
    return registerServer();
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer()
{
    return unregisterServer();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (lstrcmpiA(commandLine, "/REGSERVER") == 0)
        return registerServer() == S_OK ? 0 : 1;
    if (lstrcmpiA(commandLine, "/UNREGSERVER") == 0) {
        Sleep(1500);
        return unregisterServer() == S_OK ? 0 : 1;
    }
    return 2;
}
#endif
