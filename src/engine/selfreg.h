// Servers that registered themselves.
#pragma once

// Asks the server at `path` to remove its registration, or with
// `registerServer` to register again after a rollback restored it: a local
// server (a path ending in EXE) by its command line, a Win32 library
// through its DllUnregisterServer or DllRegisterServer. Anything else is
// left alone. Answers 0 or the Windows error code.
unsigned long callSelfRegistration(const char* prefix, const char* path, bool registerServer);
