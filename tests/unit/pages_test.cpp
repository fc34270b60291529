// What the wizard shows and paints: page order of both methods, list lines
// and their selection flags, the progress bar, the animation and the
// background's gradient.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "fakehost.h"
#include "log/itemlists.h"
#include "startup/gradient.h"
#include "startup/runstate.h"
#include "ui/geometry.h"
#include "ui/pages.h"

namespace {

struct PagesTest : ::testing::Test {
    void SetUp() override { resetFakeMachine(); }   // empty lists and a fresh RunState
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

TEST_F(PagesTest, PageOrderOfBothMethods)
{
    // `pages`: forward from the method page, and backward the same way back.
    struct Case { const char* what; int method, rollback; std::vector<ItemListId> logged; std::vector<int> pages; };
    const Case cases[] = {
        {"automatic: the lists do not matter", kMethodAutomatic, 0, {PrivateFileList}, {MethodPage, PerformPage}},
        {"no choice yet counts as automatic", 0, 1, {}, {MethodPage, RollbackPage, PerformPage}},
        {"custom, nothing logged", kMethodCustom, 1, {}, {MethodPage, PerformPage}},
        {"custom shows the pages with lines and never the rollback page", kMethodCustom, 1,
         {PrivateFileList, SystemFileList, DirectoryList, RegistryEditList, IconList, ServiceList},
         {MethodPage, PrivateFilesPage, SystemFilesPage, DirectoriesPage, RegistryEditsPage, IconsPage, SubSystemsPage,
          PerformPage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        allocateItemLists(&runState.arena);   // empty again
        runState.uninstallMethod = c.method;
        runState.rollbackAvailable = c.rollback;
        for (ItemListId list : c.logged)
            appendItem(&runState.arena, list, 1024);
        EXPECT_EQ(advancePage(MethodPage, -1), MethodPage);
        EXPECT_EQ(advancePage(PerformPage, 1), PerformPage);
        for (size_t i = 0; i + 1 < c.pages.size(); ++i) {
            EXPECT_EQ(advancePage(c.pages[i], 1), c.pages[i + 1]) << "forward from " << c.pages[i];
            EXPECT_EQ(advancePage(c.pages[i + 1], -1), c.pages[i]) << "back from " << c.pages[i + 1];
        }
    }
}

TEST_F(PagesTest, ListLinesInTheirFormatsAndWhatTheySelect)
{
    // A changed value shows the first of its old strings, cut to its field.
    auto* edit = add<RegistryEditItem>(RegistryEditList);
    copyText(edit->key, "Software\\App");
    memcpy(edit->preInstallValue, "first\0second\0", 14);
    EXPECT_EQ(line(RegistryEditsPage, 0), "Software\\App=first");
    copyText(edit->valueName, "Path");
    copyText(edit->preInstallValue, sizeof edit->preInstallValue, std::string(300, 'v').c_str());
    EXPECT_EQ(line(RegistryEditsPage, 0), "Software\\App Value Name: Path=" + std::string(255, 'v'));
    EXPECT_EQ(lineSelection(RegistryEditsPage, 0), &edit->selected);

    // The sub-systems page: the sub-system, then programs, then services.
    char name[] = "BDE";
    installLog.subSystemName = name;
    auto* program = add<ProgramItem>(ProgramList);
    copyText(program->command, "C:\\APP\\CLEAN.EXE /q");
    auto* service = add<ServiceItem>(ServiceList);
    copyText(service->name, "RuvoService");
    EXPECT_EQ(line(SubSystemsPage, 1), "C:\\APP\\CLEAN.EXE /q");   // no name: the command
    copyText(program->programName, "Clean up");
    int32_t* selections[] = {&installLog.subSystemSelected, &program->selected, &service->selected, nullptr};
    const char* lines[] = {"BDE", "Clean up", "RuvoService", ""};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(line(SubSystemsPage, i), lines[i]) << i;
        EXPECT_EQ(lineSelection(SubSystemsPage, i), selections[i]) << i;
    }
    installLog.subSystemName = nullptr;
    EXPECT_EQ(lineSelection(SubSystemsPage, 0), &program->selected);
}

TEST(Geometry, ProgressBarBlocksAndTheAnimationPath)
{
    Box bar = {10, 20, 110, 32}, blocks[64];   // 100 wide, 12 high: blocks of 8 with a 3-pixel gap
    struct Case { int count, total, capacity, blocks; } cases[] = {
        {0, 10, 64, 0}, {1, 0, 64, 0}, {5, 10, 64, 7},   // 50 pixels: 7 blocks of 8 reach 56
        {10, 10, 3, 3},                                  // never more than there is room for
    };
    for (const Case& c : cases)
        EXPECT_EQ(progressBlocks(bar, c.count, c.total, blocks, c.capacity), c.blocks) << c.count << "/" << c.total;

    // The counter wraps to 1, and frames without an icon are never drawn.
    EXPECT_EQ(nextAnimationFrame(25), 1);
    int x = -1, y = -1;
    EXPECT_TRUE(animationOffset(23, 8, 16, &x, &y));
    for (int frame : {0, 24, 25})
        EXPECT_FALSE(animationOffset(frame, 8, 16, &x, &y)) << frame;
}

TEST(Gradient, BandsAreInterpolatedLimitedAndCoverTheArea)
{
    struct Case { int start[3], delta[3], band, expected[3]; } cases[] = {
        {{0, 0, 255}, {0, 0, -255}, 48, {0, 0, 127}},   // the defaults: pure blue to black
        {{300, -40, 0}, {-300, 80, 0}, 14, {255, 0, 0}},   // limited per band: 256 and -29
        {{100, 0, 0}, {-1, 0, 0}, 50, {100, 0, 0}},   // -50 / 95 truncates toward zero
        {{INT_MAX, INT_MIN, 0}, {INT_MIN, INT_MAX, INT_MAX}, 95, {0, 0, 255}},   // UBSan flags any overflow
    };
    for (const Case& c : cases) {
        BandColour colour = bandColour(c.start, c.delta, c.band);
        EXPECT_EQ((std::vector<int>{colour.red, colour.green, colour.blue}),
                  (std::vector<int>{c.expected[0], c.expected[1], c.expected[2]}))
            << "band " << c.band << " from " << c.start[0] << "," << c.start[1] << "," << c.start[2];
    }
    // 100 pixels: bands of 1 or 2, the first starting one pixel above the
    // client area, the last ending exactly at its bottom edge.
    for (int i = 0, top = -1; i < kBandCount; top = bandBottom(100, i++))
        EXPECT_TRUE(bandBottom(100, i) - top == 2 || (i > 0 && bandBottom(100, i) - top == 1)) << "band " << i;
    EXPECT_EQ(bandBottom(100, kBandCount - 1), 100);
}

} // namespace
