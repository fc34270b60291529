// The wizard: one modeless dialog whose controls serve every page.
#pragma once
#include <windows.h>

#include "common/exports.h"

// Creates the wizard dialog owned by `owner`; none when it cannot be made.
HWND createWizard(HWND owner);

// Sets the texts, controls and list of the page in runState.wizardPage.
void ShowPage(HWND dialog);
// Copies the page's choice into RunState or the records' selection flags.
void StorePageSelections(HWND dialog);
// Moves runState.wizardPage forward (1) or back (-1), skipping empty pages.
void AdvancePage(int direction);
// Enables and shows control `id` when `on`, else disables and hides it.
void ShowControl(HWND dialog, int id, int on);

extern "C" RUVO_EXPORT INT_PTR CALLBACK ItemDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
