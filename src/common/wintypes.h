// The Win32 handle types that shared records hold. Native builds of the
// portable code (unit tests, sanitizers, fuzzing) never touch the handles,
// so there they are plain pointers.
#pragma once
#ifdef _WIN32
#include <windows.h>
#else
typedef void* HINSTANCE;
typedef void* HMODULE;
typedef void* HWND;
typedef void* HBITMAP;
typedef void* HFONT;
typedef void* HPALETTE;
typedef unsigned long DWORD;
#define WINAPI
#endif
