// Restarting Windows at the end of a run that left files to replace.
#pragma once

void writeRestartProgram();
void restartComputer();
