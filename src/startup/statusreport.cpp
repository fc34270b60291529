#include "startup/statusreport.h"

#include <cstdio>
#include <cstring>

namespace {

const char kBuiltInTemplate[] =
    "START COMPONENT\r\n"
    "  NAME = \"WORKSTATION\"\r\n"
    "  START GROUP\r\n"
    "    NAME = \"ComponentID\"\r\n"
    "    ID = 1\r\n"
    "    CLASS = \"DMTF|ComponentID|1.0\"\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Manufacturer\"\r\n"
    "      ID = 1\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%1%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Product\"\r\n"
    "      ID = 2\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%2%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Version\"\r\n"
    "      ID = 3\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%3%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Serial Number\"\r\n"
    "      ID = 4\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%4%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"%5%\"\r\n"
    "      ID = 5\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%6%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "  END GROUP\r\n"
    "  START GROUP\r\n"
    "    NAME = \"%5%Status\"\r\n"
    "    ID = 2\r\n"
    "    CLASS = \"MICROSOFT|JOBSTATUS|1.0\"\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Status\"\r\n"
    "      ID = 1\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%7%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Description\"\r\n"
    "      ID = 2\r\n"
    "      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n"
    "      TYPE = STRING(255)\r\n"
    "      VALUE = \"%8%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "  END GROUP\r\n"
    "END COMPONENT\r\n";

std::string dateText(const ReportValues& values)
{
    char text[64];
    snprintf(text, sizeof text, "%02d/%02d/%02d %d:%02d", values.month, values.day, values.year % 100, values.hour,
             values.minute);
    return text;
}

} // namespace

std::string statusReportText(const char* configured, const ReportValues& values)
{
    std::string model;
    if (strcmp(configured, "\x7F") == 0) {
        model = kBuiltInTemplate;
    } else {
        for (const char* c = configured; *c; ++c)
            model += *c == '^' ? std::string("\r\n") : std::string(1, *c);
    }
    const std::string kind = values.rollback ? "Rollback" : "Uninstall";
    const std::string replacements[8] = {values.manufacturer, values.product, values.version, values.serialNumber,
                                         kind, dateText(values), values.cancelled ? "Failed" : "Success",
                                         values.cancelled ? "Canceled by user" : ""};
    std::string text;
    text.reserve(model.size() + 256);
    for (size_t at = 0; at < model.size(); ++at) {
        if (model[at] == '%' && at + 2 < model.size() && model[at + 1] >= '1' && model[at + 1] <= '8' &&
            model[at + 2] == '%') {
            text += replacements[model[at + 1] - '1'];
            at += 2;
        } else {
            text += model[at];
        }
    }
    return text;
}
