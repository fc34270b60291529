// Services and external programs the log names, and the per-user uninstaller.
#pragma once

// Starts a program the log asks to run at uninstall time and waits for its end.
unsigned long runLoggedProgram(const char* command);
unsigned long removeService(const char* name);
unsigned long runPerUserUninstall();
