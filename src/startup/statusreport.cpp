#include "startup/statusreport.h"

// Not built yet: no status report is written.
void writeStatusReport() {}
