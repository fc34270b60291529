// Program Manager icons and groups, over DDE.
#pragma once

bool progmanConnect();
unsigned long removeIcon(int index);
void progmanDisconnect();
