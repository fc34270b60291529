// Services and external programs the log names, and the per-user uninstaller.
#pragma once

void runLoggedPrograms(int undoThreshold, const char* prefix);
void removeService(const char* name);
void runPerUserUninstall();
