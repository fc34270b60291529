// Program Manager icons and groups, over DDE.
#pragma once

bool progmanConnect();
void removeIcon(int index);
void progmanDisconnect();
