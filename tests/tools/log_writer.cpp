// `log_writer LOG LABEL COUNT [moved-end FOLDER | slow-reads]`: appends COUNT lines named
// LABEL-line<i> to LOG through the program's own install-log code, as concurrent workstations
// do; the stress tests start several at once. The optional mode arms the length-read seam
// (length_read_seam.h); slow-reads prints "length reads: N" at the end. Built for both
// platforms, so the Windows build's writer runs under Wine.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/run_settings.h"
#include "length_read_seam.h"
#include "platform/win32.h"
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

static bool ArmSeam(int argc, char** argv)
{
    if (argc == 4) {
        return true;
    }
    if (argc == 6 && std::strcmp(argv[4], "moved-end") == 0) {
        ArmMovedEnd(argv[5]);
        return true;
    }
    if (argc == 5 && std::strcmp(argv[4], "slow-reads") == 0) {
        ArmSlowReads();
        return true;
    }
    return false;
}

int main(int argc, char** argv)
{
    if (argc < 4 || !ArmSeam(argc, argv)) {
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
    AfterLastLine();
    CloseInstallLog();
    std::printf("length reads: %d\n", LengthReads());
    return 0;
}
