// The wizard's pages: which comes next, what each list page lists, and the
// text of each list line. Pure logic over RunState and the item lists.
#pragma once
#include <cstddef>
#include <cstdint>

enum WizardPage {
    MethodPage = 0,
    PrivateFilesPage,
    SystemFilesPage,
    DirectoriesPage,
    IniFilesPage,
    IniItemsPage,
    RegistryKeysPage,
    RegistryTreesPage,
    RegistryEditsPage,
    IconsPage,
    SubSystemsPage,
    PerformPage,
    RollbackPage,
    kPageCount
};

bool isListPage(int page);

// Message ids of a page's caption, top text and second text (0: none).
int pageTitleMessage(int page);
int pageTopMessage(int page);
int pageSecondMessage(int page);

// The page after (`direction` 1) or before (-1) `page` for the chosen method;
// `page` itself when there is none that way.
int advancePage(int page, int direction);

// Lines of a list page: the list's count; on the sub-systems page the
// sub-system (when named), then programs, then services.
int pageLineCount(int page);

// The text of line `line` of a list page (cut to the buffer).
void listLineText(int page, int line, char* text, size_t capacity);

// The selection flag that line `line` of a list page stands for.
int32_t* lineSelection(int page, int line);
