// Loading INSTALL.LOG into the item lists and header values.
#pragma once

// 0 when the log was loaded; 1 when it was not (the user has been told).
// `topDirectory` (256 bytes) receives the top created directory.
int loadInstallLog(const char* logPath, char* topDirectory);
