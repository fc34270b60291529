// The status report for management software, when the log names one.
#pragma once

void writeStatusReport();
