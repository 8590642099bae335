// Linked into the test writer in place of the program's own length read (src/update).
#include "length_read_seam.h"

#include <cstdio>
#include <string>

#include "core/run_settings.h"
#include "update/log_length.h"

namespace {

constexpr DWORD kSlowReadMs = 30;
constexpr DWORD kHandshakeLimitMs = 60000;
constexpr DWORD kHandshakePollMs = 10;

std::string gFolder;
bool gSlowReads = false;
int gReads = 0;

std::string InFolder(const char* name)
{
    return gFolder + kPathSeparator + name;
}

void CreateEmpty(const std::string& path)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fclose(file);
    }
}

void WaitForFile(const std::string& path)
{
    for (DWORD waited = 0; waited < kHandshakeLimitMs; waited += kHandshakePollMs) {
        if (FILE* file = std::fopen(path.c_str(), "rb")) {
            std::fclose(file);
            return;
        }
        Sleep(kHandshakePollMs);
    }
}

// Another workstation's line, longer than any of ours, so the old end's region and the new
// end's region do not overlap.
void AppendRivalBlock()
{
    std::string block = "line from another workstation " + std::string(200, '~') + "\r\n";
    if (FILE* log = std::fopen(gRunSettings.logPath, "ab")) {
        std::fwrite(block.data(), 1, block.size(), log);
        std::fclose(log);
    }
}

}  // namespace

void ArmMovedEnd(const char* folder)
{
    gFolder = folder;
}

void ArmSlowReads()
{
    gSlowReads = true;
}

int LengthReads()
{
    return gReads;
}

void AfterLastLine()
{
    if (!gFolder.empty()) {
        CreateEmpty(InFolder("written"));
        WaitForFile(InFolder("exit"));
    }
}

uint64_t ReadLogLength(HANDLE file)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (++gReads == 1 && !gFolder.empty()) {
        AppendRivalBlock();
        CreateEmpty(InFolder("grown"));
        WaitForFile(InFolder("rival"));
    }
    if (gSlowReads) {
        Sleep(kSlowReadMs);
    }
    return (static_cast<uint64_t>(high) << 32) | low;
}
