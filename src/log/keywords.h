// The keywords of INSTALL.LOG and the small text rules of its lines.
#pragma once
#include <cstddef>

enum Keyword {
    KwNone,
    KwHeader,            // "*** "
    KwNonSystemFile,     // whole line
    KwSharedIgnored,     // whole line
    KwFileCopy,
    KwShellLink,
    KwFileOverwrite,
    KwBackupCopy,
    KwFileEdit,
    KwMadeDir,
    KwFileTree,
    KwIniNew,
    KwIniFile,
    KwIniSect,
    KwIniItem,
    KwIniVal,
    KwIniOld,
    KwIniAny,            // "INI ": the lines of a created INI file
    KwRegKey,
    KwRegVal,
    KwRegName,
    KwRegType,
    KwRegRoot,
    KwRegOld,
    KwRegTree,
    KwIconGroup,
    KwIconName,
    KwIconCmd,
    KwExecutePath,
    KwExecuteProgram,
    KwExecuteName,
    KwCreateService,
    KwAddDevice,
    KwSelfRegister,
    KwSubSystem,         // "SubSystem: B"; the argument starts at the "B"
    KwUninstallMif,
    KwManufacturer,
    KwProduct,
    KwVersionNumber,
    KwSerialNumber,
    KwUserRightsAdmin,   // whole line
    KwPerUserId,
    KwCount
};

// True when `line` begins with `keyword` (ASCII letters compared without
// case; whole-line keywords must be the whole line).
bool lineIs(const char* line, Keyword keyword);

// The argument: the text right after the keyword's compared characters.
const char* argumentOf(const char* line, Keyword keyword);

// The keyword an entry line begins with, tried in the loader's order; KwNone
// for an unrecognised line.
Keyword entryKeyword(const char* line);

// True for the title line of the first section: "Title:" with case.
bool isTitleLine(const char* line);

// Cuts a title to 255 characters, then a trailing " INSTALLATION" and a
// trailing " INSTALL" (case-insensitive) when the title is longer than them.
void trimTitle(char* title);

// Ends a file line's path at its first "|", dropping one blank before it.
void cutAtBar(char* path);

// Reads a decimal number: leading white space, an optional sign, digits;
// no digits give 0.
int decimalNumber(const char* text);
