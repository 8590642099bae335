// The folders a packaged build uses in place of "beside the program": named when the program
// is built (the Debian package names /etc/quorvel and /var/log/quorvel), empty in a portable
// build, which keeps every file beside itself. A Windows build is always portable: its MSI
// writes the options file beside the program.
#pragma once

#ifdef _WIN32
inline const char* PackagedConfigurationFolder()
{
    return "";
}
inline const char* PackagedLogFolder()
{
    return "";
}
#else
// The folder of the options file and the default settings file, ending in its separator;
// "" when portable.
const char* PackagedConfigurationFolder();
// The folder of the default install log, ending in its separator; "" when portable.
const char* PackagedLogFolder();
#endif
