// Fuzzes the status report's text: the template comes from the companion
// INI and the values from the log, so both are anyone's. The input's first
// byte chooses rollback, cancel and the built-in template, the next twenty
// the date's five numbers; then four lines give manufacturer, product,
// version and serial number, and the rest is the template. A custom
// template is read back against the text: every "%n%" (n 1 to 8) stands
// whole for its value, which is never read again, "^" for CR LF, and any
// other byte for itself, with nothing cut. The date reads back as the
// numbers it was made from. The built-in template carries each value in its
// place.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "startup/statusreport.h"

namespace {

void require(bool condition)
{
    if (!condition)
        abort();
}

// The date the report gives as %6%, read back whole.
void checkDate(const std::string& date, const ReportValues& values)
{
    int month, day, year, hour, minute, length = -1;
    require(sscanf(date.c_str(), "%d/%d/%d %d:%d%n", &month, &day, &year, &hour, &minute, &length) == 5);
    require(static_cast<size_t>(length) == date.size());
    require(month == values.month && day == values.day && year == values.year % 100 && hour == values.hour &&
            minute == values.minute);
}

// Walks the template and the text side by side.
void checkCustom(const std::string& configured, const std::string (&replacements)[8], const std::string& text)
{
    size_t at = 0;
    for (size_t t = 0; t < configured.size();) {
        std::string piece;
        if (configured[t] == '%' && t + 2 < configured.size() && configured[t + 1] >= '1' &&
            configured[t + 1] <= '8' && configured[t + 2] == '%') {
            piece = replacements[configured[t + 1] - '1'];
            t += 3;
        } else {
            piece = configured[t] == '^' ? "\r\n" : std::string(1, configured[t]);
            ++t;
        }
        require(text.compare(at, piece.size(), piece) == 0);
        at += piece.size();
    }
    require(at == text.size());
}

void checkBuiltIn(const std::string (&replacements)[8], const std::string& text)
{
    for (int i : {0, 1, 2, 3, 5, 6, 7})
        require(text.find("VALUE = \"" + replacements[i] + "\"\r\n") != std::string::npos);
    require(text.find("NAME = \"" + replacements[4] + "\"\r\n") != std::string::npos);
    require(text.find("NAME = \"" + replacements[4] + "Status\"\r\n") != std::string::npos);
    require(text.compare(0, 17, "START COMPONENT\r\n") == 0);
    require(text.size() >= 15 && text.compare(text.size() - 15, 15, "END COMPONENT\r\n") == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 21)
        return 0;
    int numbers[5];
    memcpy(numbers, data + 1, sizeof numbers);
    // Values and template reach the parser as C strings: a NUL ends them.
    std::string fields[5];
    std::string rest(reinterpret_cast<const char*>(data + 21), size - 21);
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        size_t end = rest.find('\n', at);
        if (end == std::string::npos)
            return 0;
        fields[i] = rest.substr(at, end - at).c_str();
        at = end + 1;
    }
    fields[4] = rest.substr(at).c_str();
    bool builtIn = (data[0] & 4) != 0 || fields[4] == "\x7F";
    const std::string configured = builtIn ? "\x7F" : fields[4];
    ReportValues values = {fields[0].c_str(), fields[1].c_str(), fields[2].c_str(), fields[3].c_str(),
                           (data[0] & 1) != 0, (data[0] & 2) != 0,
                           numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};

    std::string replacements[8] = {fields[0], fields[1], fields[2], fields[3]};
    for (int i = 4; i < 8; ++i)
        replacements[i] = statusReportText(("%" + std::to_string(i + 1) + "%").c_str(), values);
    require(replacements[4] == (values.rollback ? "Rollback" : "Uninstall"));
    checkDate(replacements[5], values);
    require(replacements[6] == (values.cancelled ? "Failed" : "Success"));
    require(replacements[7] == (values.cancelled ? "Canceled by user" : ""));

    std::string text = statusReportText(configured.c_str(), values);
    if (builtIn)
        checkBuiltIn(replacements, text);
    else
        checkCustom(configured, replacements, text);
    return 0;
}
