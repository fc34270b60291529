// The status report that software-distribution tools collect: which
// product went, by an uninstall or a rollback, when, and whether the run
// completed.
#pragma once
#include <string>

struct ReportValues {
    const char* manufacturer;
    const char* product;
    const char* version;
    const char* serialNumber;
    bool rollback;
    bool cancelled;
    int month, day, year, hour, minute;
};

// The report's text from the companion INI's template `configured` (as read
// with the one-character default 0x7F, which stands for none: the built-in
// template then), "^" in it standing for a line break. Each of the eight
// placeholders %1% to %8% is replaced in one pass, so that no inserted value
// is read again. The text grows as the values need: nothing is cut.
std::string statusReportText(const char* configured, const ReportValues& values);

// Writes the report named by the log, if it names one, into the Windows
// directory; silent when it cannot.
void writeStatusReport();
