// Program Manager icons and groups, over a DDE conversation.
#pragma once
#include <string>
#include <vector>

// Opens the conversation with Program Manager and reads every group's
// description. False when Program Manager does not answer.
bool progmanConnect();

// Deletes from Program Manager every item that the icon at `index` of the
// icon list names: by its command line in any group, or by group and item
// name; a group left empty goes too, except STARTUP.
void removeIcon(int index);

void progmanDisconnect();

// The parsing behind removeIcon, over one group's description as Program
// Manager gives it ("\"Group\",..." then one "\"Item\",\"Command\",..." line
// per item). Marks each matching item, and the group once it is empty, with
// a "*" in place of its first character and adds the commands that delete
// them to `commands`. The text comes from another program: any text is
// taken.
void removeIconFromGroup(std::string* groupText, const char* group, const char* name, const char* command,
                         std::vector<std::string>* commands);
