// `log_writer LOG LABEL COUNT`: appends COUNT lines named LABEL-line<i> to LOG through the
// program's own install-log code, as concurrent workstations do; the stress tests start
// several at once. Built for both platforms, so the Windows build's writer runs under Wine.
#include <cstdlib>
#include <string>

#include "platform/win32.h"
#include "core/run_settings.h"
#include "update/install_log.h"

#ifdef _WIN32
static HINSTANCE ThisModule()
{
    return GetModuleHandleA(nullptr);  // the string table is linked into this program
}
#else
static HINSTANCE ThisModule()
{
    return nullptr;  // the POSIX string table is part of the platform layer
}
#endif

int main(int argc, char** argv)
{
    if (argc != 4) {
        return 2;
    }
    ResetRunSettings(ThisModule());
    lstrcpynA(gRunSettings.logPath, argv[1], kPathFieldSize);
    lstrcpyA(gRunSettings.computerName, "STRESS");
    lstrcpyA(gRunSettings.userName, "writer");
    gRunSettings.namesObtained = 1;
    OpenInstallLog();
    if (gRunSettings.logStream == nullptr) {
        return 1;
    }
    int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        std::string name = std::string(argv[2]) + "-line" + std::to_string(i);
        WriteInstallLogLine(name.c_str());
    }
    CloseInstallLog();
    return 0;
}
