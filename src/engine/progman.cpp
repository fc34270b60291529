// Program Manager keeps the icons that installations add to its groups. The
// uninstaller reads every group's description once, as Program Manager
// gives it over DDE, and marks in that copy what it deletes, so that a
// group whose last item went is deleted too.
#include "engine/progman.h"

#include "common/text.h"
#include "engine/enginehost.h"
#include "log/itemlists.h"
#include "startup/runstate.h"

namespace {

bool conversationOpen;
// Every group's description, however many groups there are and however
// long a description is: an item past a cut would keep its icon.
std::vector<std::string> groupTexts;

// The end of the line that starts at `at`, and the start of the next line
// (past CR LF, CR or LF).
size_t lineEnd(const std::string& text, size_t at)
{
    size_t end = text.find_first_of("\r\n", at);
    return end == std::string::npos ? text.size() : end;
}

size_t nextLine(const std::string& text, size_t end)
{
    if (end < text.size() && text[end] == '\r')
        ++end;
    if (end < text.size() && text[end] == '\n')
        ++end;
    return end;
}

// The text between the double quote at `at` and the next one on the line.
bool quoted(const std::string& text, size_t at, size_t end, std::string* value, size_t* after)
{
    if (at >= end || text[at] != '"')
        return false;
    size_t close = text.find('"', at + 1);
    if (close == std::string::npos || close >= end)
        return false;
    *value = text.substr(at + 1, close - at - 1);
    *after = close + 1;
    return true;
}

// True, and the group marked deleted, when no line after the first
// describes an item any more.
bool groupIsEmpty(std::string* text)
{
    for (size_t at = nextLine(*text, lineEnd(*text, 0)); at < text->size();
         at = nextLine(*text, lineEnd(*text, at)))
        if ((*text)[at] == '"')
            return false;
    (*text)[0] = '*';
    return true;
}

bool sameText(const std::string& a, const char* b)
{
    return compareNoCase(a.c_str(), b) == 0;
}

} // namespace

void removeIconFromGroup(std::string* groupText, const char* group, const char* name, const char* command,
                         std::vector<std::string>* commands)
{
    std::string& text = *groupText;
    std::string groupName, itemName, itemCommand;
    size_t after = 0;
    if (!quoted(text, 0, lineEnd(text, 0), &groupName, &after))
        return;   // a group already deleted, or no description at all
    for (size_t at = nextLine(text, lineEnd(text, 0)); at < text.size(); at = nextLine(text, lineEnd(text, at))) {
        size_t end = lineEnd(text, at);
        if (!quoted(text, at, end, &itemName, &after) || after + 1 >= end || text[after] != ',' ||
            !quoted(text, after + 1, end, &itemCommand, &after))
            continue;
        // An icon without a command line matches by its names only: an
        // empty command would name every item that has none.
        bool matches = (command[0] != '\0' && sameText(itemCommand, command)) ||
                       (sameText(groupName, group) && sameText(itemName, name));
        if (!matches)
            continue;
        text[at] = '*';
        commands->push_back("[ShowGroup(" + groupName + ",2)]");
        commands->push_back("[ShowGroup(" + groupName + ",1)]");
        commands->push_back("[DeleteItem(" + itemName + ")]");
        if (groupIsEmpty(&text) && !sameText(groupName, "STARTUP"))
            commands->push_back("[DeleteGroup(" + groupName + ")]");
    }
}

bool progmanConnect()
{
    const EngineHost* host = runState.host;
    groupTexts.clear();
    conversationOpen = host->ddeConnect("PROGMAN", "PROGMAN");
    std::string groups, text;
    if (!conversationOpen || host->ddeRequest("GROUPS", &groups) != 0)
        return conversationOpen;
    for (size_t at = 0; at < groups.size(); at = nextLine(groups, lineEnd(groups, at))) {
        size_t end = lineEnd(groups, at);
        if (end == at)
            continue;   // runs of line breaks between names
        // A group that does not answer is left out.
        if (host->ddeRequest(groups.substr(at, end - at).c_str(), &text) == 0 && !text.empty())
            groupTexts.push_back(text);
    }
    return true;
}

void removeIcon(int index)
{
    const auto* icon = itemAt<IconItem>(IconList, index);
    std::vector<std::string> commands;
    for (std::string& text : groupTexts)
        removeIconFromGroup(&text, icon->group, icon->name, icon->command, &commands);
    for (const std::string& command : commands)
        runState.host->ddeExecute(command.c_str());
}

void progmanDisconnect()
{
    if (conversationOpen)
        runState.host->ddeDisconnect();
    conversationOpen = false;
    groupTexts.clear();
    runState.host->showProgress(nullptr, false);
}
