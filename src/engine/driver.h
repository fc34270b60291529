// The uninstall driver: walks the item lists in their fixed order.
#pragma once

void performUninstall(const char* logPath);
