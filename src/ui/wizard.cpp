#include "ui/wizard.h"

// Not built yet: no wizard is created, so a run that would wait for the
// user ends as a cancelled run.
HWND createWizard(HWND)
{
    return nullptr;
}

extern "C" INT_PTR CALLBACK ItemDlg(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
