// Services and external programs the log names, and the per-user uninstaller.
#pragma once

// Starts a program the log asks to run at uninstall time and waits for its end.
void runLoggedProgram(const char* command);
void removeService(const char* name);
void runPerUserUninstall();
