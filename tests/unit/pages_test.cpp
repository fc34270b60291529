// Page order of both methods, list lines and their selection flags, and the
// painting arithmetic of the progress bar and the animation.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "log/itemlists.h"
#include "startup/runstate.h"
#include "ui/geometry.h"
#include "ui/pages.h"

namespace {

struct PagesTest : ::testing::Test {
    void SetUp() override
    {
        release(&runState.arena);
        runState = RunState{};
        allocateRunBuffers();
    }
    void TearDown() override { release(&runState.arena); }

    template <class Item>
    Item* add(ItemListId list)
    {
        return static_cast<Item*>(appendItem(&runState.arena, list, sizeof(Item)));
    }
    std::string line(int page, int index)
    {
        char text[1024];
        listLineText(page, index, text, sizeof text);
        return text;
    }
};

TEST_F(PagesTest, AutomaticGoesThroughTheRollbackPageOnlyWithBackups)
{
    runState.uninstallMethod = kMethodAutomatic;
    EXPECT_EQ(advancePage(MethodPage, 1), PerformPage);
    EXPECT_EQ(advancePage(PerformPage, -1), MethodPage);
    EXPECT_EQ(advancePage(PerformPage, 1), PerformPage);
    EXPECT_EQ(advancePage(MethodPage, -1), MethodPage);
    runState.rollbackAvailable = 1;
    EXPECT_EQ(advancePage(MethodPage, 1), RollbackPage);
    EXPECT_EQ(advancePage(RollbackPage, 1), PerformPage);
    EXPECT_EQ(advancePage(PerformPage, -1), RollbackPage);
    EXPECT_EQ(advancePage(RollbackPage, -1), MethodPage);
    runState.uninstallMethod = 0;   // no choice yet counts as Automatic
    EXPECT_EQ(advancePage(MethodPage, 1), RollbackPage);
}

TEST_F(PagesTest, CustomSkipsEmptyListPagesAndNeverShowsRollback)
{
    runState.uninstallMethod = kMethodCustom;
    runState.rollbackAvailable = 1;
    EXPECT_EQ(advancePage(MethodPage, 1), PerformPage);   // nothing logged
    add<RegistryEditItem>(RegistryEditList);
    EXPECT_EQ(advancePage(MethodPage, 1), RegistryEditsPage);
    EXPECT_EQ(advancePage(RegistryEditsPage, -1), MethodPage);
    EXPECT_EQ(advancePage(RegistryEditsPage, 1), PerformPage);
    add<ServiceItem>(ServiceList);
    EXPECT_EQ(advancePage(RegistryEditsPage, 1), SubSystemsPage);
    EXPECT_EQ(advancePage(PerformPage, -1), SubSystemsPage);
    add<PrivateFileItem>(PrivateFileList);
    EXPECT_EQ(advancePage(MethodPage, 1), PrivateFilesPage);
    EXPECT_EQ(advancePage(PrivateFilesPage, 1), RegistryEditsPage);
}

TEST_F(PagesTest, ListLinesInTheirFormats)
{
    auto* dir = add<DirectoryItem>(DirectoryList);
    copyText(dir->path, "C:\\APP\\");
    EXPECT_EQ(line(DirectoriesPage, 0), "C:\\APP");
    auto* ini = add<IniItem>(IniItemList);
    copyText(ini->file, "C:\\WIN.INI");
    copyText(ini->section, "Ext");
    copyText(ini->item, "txt");
    copyText(ini->preInstallValue, "notepad.exe");
    EXPECT_EQ(line(IniItemsPage, 0), "C:\\WIN.INI: [Ext] txt=notepad.exe");
    auto* key = add<RegistryKeyItem>(RegistryKeyList);
    copyText(key->key, "Software\\App");
    EXPECT_EQ(line(RegistryKeysPage, 0), "Software\\App");
    copyText(key->valueName, "Version");
    EXPECT_EQ(line(RegistryKeysPage, 0), "Software\\App Value Name: Version");
    auto* edit = add<RegistryEditItem>(RegistryEditList);
    copyText(edit->key, "Software\\App");
    memcpy(edit->preInstallValue, "first\0second\0", 14);
    EXPECT_EQ(line(RegistryEditsPage, 0), "Software\\App=first");
    copyText(edit->valueName, "Path");
    std::string longValue(300, 'v');
    copyText(edit->preInstallValue, sizeof edit->preInstallValue, longValue.c_str());
    EXPECT_EQ(line(RegistryEditsPage, 0), "Software\\App Value Name: Path=" + std::string(255, 'v'));
}

TEST_F(PagesTest, SubSystemsPageListsTheSubSystemProgramsThenServices)
{
    char name[] = "BDE";
    installLog.subSystemName = name;
    auto* program = add<ProgramItem>(ProgramList);
    copyText(program->command, "C:\\APP\\CLEAN.EXE /q");
    auto* service = add<ServiceItem>(ServiceList);
    copyText(service->name, "RuvoService");
    ASSERT_EQ(pageLineCount(SubSystemsPage), 3);
    EXPECT_EQ(line(SubSystemsPage, 0), "BDE");
    EXPECT_EQ(line(SubSystemsPage, 1), "C:\\APP\\CLEAN.EXE /q");   // no name: the command
    copyText(program->programName, "Clean up");
    EXPECT_EQ(line(SubSystemsPage, 1), "Clean up");
    EXPECT_EQ(line(SubSystemsPage, 2), "RuvoService");
    EXPECT_EQ(lineSelection(SubSystemsPage, 0), &installLog.subSystemSelected);
    EXPECT_EQ(lineSelection(SubSystemsPage, 1), &program->selected);
    EXPECT_EQ(lineSelection(SubSystemsPage, 2), &service->selected);
    EXPECT_EQ(lineSelection(SubSystemsPage, 3), nullptr);
    installLog.subSystemName = nullptr;
    EXPECT_EQ(pageLineCount(SubSystemsPage), 2);
    EXPECT_EQ(lineSelection(SubSystemsPage, 0), &program->selected);
}

TEST(Geometry, ProgressBarBlocks)
{
    Box bar = {10, 20, 110, 32};   // 100 wide, 12 high: blocks of 8 with a 3-pixel gap
    Box blocks[64];
    EXPECT_EQ(progressBlocks(bar, 0, 10, blocks, 64), 0);
    ASSERT_EQ(progressBlocks(bar, 5, 10, blocks, 64), 7);   // 50 pixels: 7 blocks of 8 reach 56
    EXPECT_EQ(blocks[0].left, 10);
    EXPECT_EQ(blocks[0].right, 15);
    EXPECT_EQ(blocks[0].top, 21);
    EXPECT_EQ(blocks[0].bottom, 31);
    EXPECT_EQ(blocks[1].left, 18);
    int full = progressBlocks(bar, 10, 10, blocks, 64);
    EXPECT_EQ(full, 13);   // the last block reaches past the width
    EXPECT_GE(blocks[full - 1].left + 8, 110);
    EXPECT_EQ(progressBlocks(bar, 1, 0, blocks, 64), 0);
    EXPECT_EQ(progressBlocks(bar, 10, 10, blocks, 3), 3);   // never more than there is room for
}

TEST(Geometry, AnimationFramesAndPath)
{
    EXPECT_EQ(nextAnimationFrame(1), 2);
    EXPECT_EQ(nextAnimationFrame(24), 25);
    EXPECT_EQ(nextAnimationFrame(25), 1);
    int x = -1, y = -1;
    ASSERT_TRUE(animationOffset(1, 8, 16, &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 20);
    ASSERT_TRUE(animationOffset(23, 8, 16, &x, &y));
    EXPECT_EQ(x, 8 * 126 / 4);
    EXPECT_EQ(y, 16 * 17 / 8);
    EXPECT_FALSE(animationOffset(24, 8, 16, &x, &y));
    EXPECT_FALSE(animationOffset(25, 8, 16, &x, &y));
    EXPECT_FALSE(animationOffset(0, 8, 16, &x, &y));
    EXPECT_EQ(widenedBySixth(225), 262);
    EXPECT_EQ(widenedBySixth(5), 5);
}

} // namespace
