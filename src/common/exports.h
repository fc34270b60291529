// Procedures the program exports by name. The 32-bit build names them in
// exports32.def with their decorated stdcall names (_MainWndProc@16) only;
// the 64-bit build has no decoration to keep.
#pragma once
#ifdef _WIN64
#define RUVO_EXPORT __declspec(dllexport)
#else
#define RUVO_EXPORT
#endif
