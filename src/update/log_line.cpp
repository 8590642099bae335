#include "update/log_line.h"

#include "string_table.h"
#include "update/log_timestamp.h"
#include "update/resource_string.h"

namespace {

// Copies a field with a bound, so an unterminated or overlong input cannot run past it.
template <int N>
void CopyBounded(char (&field)[N], LPCSTR text)
{
    lstrcpynA(field, text != nullptr ? text : "", N);
}

}  // namespace

int ComposeInstallLogLine(LPCSTR timestamp, LPCSTR name, const RunSettings& settings,
                          char (&out)[kLogLineSize])
{
    char stamp[kTimestampSize];
    char appName[kLogNameLimit];
    CopyBounded(stamp, timestamp);
    CopyBounded(appName, name);
    out[0] = '\0';
    if (settings.namesObtained == 1) {
        char computer[kNameFieldSize];
        char user[kNameFieldSize];
        CopyBounded(computer, settings.computerName);
        CopyBounded(user, settings.userName);
        ResourceString format(IDS_LOG_LINE_LONG);
        wsprintfA(out, format.text, stamp, appName, computer, user);
    } else {
        ResourceString format(IDS_LOG_LINE_SHORT);
        wsprintfA(out, format.text, stamp, appName);
    }
    return lstrlenA(out);
}
