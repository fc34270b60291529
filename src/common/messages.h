// Numbered message texts, replaceable through the companion INI.
#pragma once
#include <windows.h>

// Fills `buffer` with message `messageId`: the value of "Msg<id>" in the
// [Language] section of the companion INI when that key exists (even when
// empty), with "|" turned into line breaks, else the string-table text.
// Returns the character count the INI lookup reported.
int LoadMessageText(HINSTANCE instance, int messageId, char* buffer, int capacity);
