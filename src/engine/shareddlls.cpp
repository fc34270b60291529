#include "engine/shareddlls.h"

// Not built yet: the prompt is never shown.
extern "C" INT_PTR CALLBACK SharedDlg(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
