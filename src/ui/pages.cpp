#include "ui/pages.h"

#include <cstdio>

#include "common/text.h"
#include "log/itemlists.h"
#include "startup/runstate.h"

namespace {

struct PageInfo {
    int title, top, second;
    ItemListId list;   // for pages 1 to 9
};

const PageInfo kPages[kPageCount] = {
    {16, 7, 10, kItemListCount},
    {5, 6, 0, PrivateFileList},
    {8, 9, 0, SystemFileList},
    {11, 12, 0, DirectoryList},
    {14, 15, 0, IniFileList},
    {17, 18, 0, IniItemList},
    {20, 21, 0, RegistryKeyList},
    {54, 55, 0, RegistryTreeList},
    {23, 24, 0, RegistryEditList},
    {26, 27, 0, IconList},
    {42, 41, 0, kItemListCount},
    {19, 13, 22, kItemListCount},
    {64, 65, 66, kItemListCount},
};

bool validPage(int page)
{
    return page >= 0 && page < kPageCount;
}

bool pageHasLines(int page)
{
    return pageLineCount(page) > 0;
}

} // namespace

bool isListPage(int page)
{
    return page >= PrivateFilesPage && page <= SubSystemsPage;
}

int pageTitleMessage(int page)
{
    return validPage(page) ? kPages[page].title : 0;
}

int pageTopMessage(int page)
{
    return validPage(page) ? kPages[page].top : 0;
}

int pageSecondMessage(int page)
{
    return validPage(page) ? kPages[page].second : 0;
}

int advancePage(int page, int direction)
{
    if (runState.uninstallMethod != kMethodCustom) {
        bool rollbackPage = runState.rollbackAvailable != 0;
        if (direction > 0) {
            if (page == MethodPage)
                return rollbackPage ? RollbackPage : PerformPage;
            if (page == RollbackPage)
                return PerformPage;
            return page;
        }
        if (page == PerformPage)
            return rollbackPage ? RollbackPage : MethodPage;
        if (page == RollbackPage)
            return MethodPage;
        return page;
    }
    if ((page == MethodPage && direction < 0) || (page == PerformPage && direction > 0))
        return page;
    for (int next = page + direction;; next += direction) {
        if (next == MethodPage)
            return MethodPage;
        if (!isListPage(next))
            return PerformPage;
        if (pageHasLines(next))
            return next;
    }
}

int pageLineCount(int page)
{
    if (page == SubSystemsPage)
        return itemCount(ProgramList) + itemCount(ServiceList) + (installLog.subSystemName ? 1 : 0);
    if (isListPage(page))
        return itemCount(kPages[page].list);
    return 0;
}

// On the sub-systems page: which part a line belongs to, and its index there.
static ItemListId subSystemLine(int* line)
{
    if (installLog.subSystemName) {
        if (*line == 0)
            return kItemListCount;   // the sub-system itself
        --*line;
    }
    if (*line < itemCount(ProgramList))
        return ProgramList;
    *line -= itemCount(ProgramList);
    return ServiceList;
}

// The first string of a string list, cut to 255 characters.
static void firstString(const char* list, char* out, size_t capacity)
{
    copyTextPart(out, capacity, list, 255);
}

void listLineText(int page, int line, char* text, size_t capacity)
{
    text[0] = '\0';
    if (!isListPage(page) || line < 0 || line >= pageLineCount(page))
        return;
    char value[256];
    switch (page) {
    case PrivateFilesPage: copyText(text, capacity, itemAt<PrivateFileItem>(PrivateFileList, line)->path); break;
    case SystemFilesPage: copyText(text, capacity, itemAt<SystemFileItem>(SystemFileList, line)->path); break;
    case IniFilesPage: copyText(text, capacity, itemAt<IniFileItem>(IniFileList, line)->path); break;
    case DirectoriesPage: {
        const char* path = itemAt<DirectoryItem>(DirectoryList, line)->path;
        size_t length = 0;
        while (path[length])
            ++length;
        copyTextPart(text, capacity, path, length > 0 ? length - 1 : 0);   // without its backslash
        break;
    }
    case IniItemsPage: {
        auto* entry = itemAt<IniItem>(IniItemList, line);
        snprintf(text, capacity, "%s: [%s] %s=%s", entry->file, entry->section, entry->item, entry->preInstallValue);
        break;
    }
    case RegistryKeysPage: {
        auto* value = itemAt<RegistryKeyItem>(RegistryKeyList, line);
        if (value->valueName[0])
            snprintf(text, capacity, "%s Value Name: %s", value->key, value->valueName);
        else
            copyText(text, capacity, value->key);
        break;
    }
    case RegistryTreesPage: copyText(text, capacity, itemAt<RegistryTreeItem>(RegistryTreeList, line)->key); break;
    case RegistryEditsPage: {
        auto* edit = itemAt<RegistryEditItem>(RegistryEditList, line);
        firstString(edit->preInstallValue, value, sizeof value);
        if (edit->valueName[0])
            snprintf(text, capacity, "%s Value Name: %s=%s", edit->key, edit->valueName, value);
        else
            snprintf(text, capacity, "%s=%s", edit->key, value);
        break;
    }
    case IconsPage: copyText(text, capacity, itemAt<IconItem>(IconList, line)->name); break;
    case SubSystemsPage: {
        int index = line;
        ItemListId list = subSystemLine(&index);
        if (list == kItemListCount) {
            copyText(text, capacity, installLog.subSystemName);
        } else if (list == ProgramList) {
            auto* program = itemAt<ProgramItem>(ProgramList, index);
            copyText(text, capacity, program->programName[0] ? program->programName : program->command);
        } else {
            copyText(text, capacity, itemAt<ServiceItem>(ServiceList, index)->name);
        }
        break;
    }
    default: break;
    }
}

int32_t* lineSelection(int page, int line)
{
    if (!isListPage(page) || line < 0 || line >= pageLineCount(page))
        return nullptr;
    if (page == SubSystemsPage) {
        ItemListId list = subSystemLine(&line);
        if (list == kItemListCount)
            return &installLog.subSystemSelected;
        if (list == ProgramList)
            return &itemAt<ProgramItem>(ProgramList, line)->selected;
        return &itemAt<ServiceItem>(ServiceList, line)->selected;
    }
    switch (kPages[page].list) {
    case PrivateFileList: return &itemAt<PrivateFileItem>(PrivateFileList, line)->selected;
    case SystemFileList: return &itemAt<SystemFileItem>(SystemFileList, line)->selected;
    case DirectoryList: return &itemAt<DirectoryItem>(DirectoryList, line)->selected;
    case IniFileList: return &itemAt<IniFileItem>(IniFileList, line)->selected;
    case IniItemList: return &itemAt<IniItem>(IniItemList, line)->selected;
    case RegistryKeyList: return &itemAt<RegistryKeyItem>(RegistryKeyList, line)->selected;
    case RegistryTreeList: return &itemAt<RegistryTreeItem>(RegistryTreeList, line)->selected;
    case RegistryEditList: return &itemAt<RegistryEditItem>(RegistryEditList, line)->selected;
    case IconList: return &itemAt<IconItem>(IconList, line)->selected;
    default: return nullptr;
    }
}
