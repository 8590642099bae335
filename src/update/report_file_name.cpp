#include "update/report_file_name.h"

#include "text/ascii_case.h"

namespace {

std::string SafeNamePart(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe) {
        bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
        if (!kept) {
            c = '_';
        }
    }
    return safe;
}

// Windows opens the device, not a file, for these names whatever follows the first dot.
bool IsDeviceName(const std::string& name)
{
    static const char* const kDevices[] = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    for (const char* device : kDevices) {
        if (EqualIgnoringAsciiCase(name.c_str(), device)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ReportFileName(const std::string& computer, const std::string& user)
{
    if (computer.empty() || user.empty()) {
        return "";
    }
    std::string first = SafeNamePart(computer);
    if (IsDeviceName(first)) {
        first = "_" + first;
    }
    return first + "." + SafeNamePart(user) + kReportSuffix;
}
