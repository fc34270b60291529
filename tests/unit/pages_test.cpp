// What the wizard's lists show: list lines and their selection flags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text.h"
#include "fakehost.h"
#include "log/itemlists.h"
#include "startup/runstate.h"
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

} // namespace
