#include "core/program_paths.h"

#include <cstring>

#include "core/run_settings.h"
#include "platform/packaged_folders.h"

namespace {

// The first `folderLength` bytes of `folder` (a folder ending in its separator) followed by
// `fileName`; empty when that would not fit the room.
void JoinInRoom(LPCSTR folder, int folderLength, LPCSTR fileName, LPSTR out, int size)
{
    out[0] = '\0';
    if (folderLength + lstrlenA(fileName) >= size) {
        return;
    }
    std::memcpy(out, folder, static_cast<size_t>(folderLength));
    lstrcpyA(out + folderLength, fileName);
}

// `fileName` in the folder a packaged build names, else beside the program.
void BuildPathInFolderOrBeside(LPCSTR folder, LPCSTR fileName, LPSTR out, int size)
{
    if (folder[0] == '\0') {
        BuildPathBesideProgram(fileName, out, size);
    } else {
        JoinInRoom(folder, lstrlenA(folder), fileName, out, size);
    }
}

}  // namespace

bool GetProgramPath(LPSTR out)
{
    DWORD length = GetModuleFileNameA(gRunSettings.instance, out, MAX_PATH);
    out[MAX_PATH - 1] = '\0';
    if (length == 0 || length >= MAX_PATH) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void BuildPathBesideProgram(LPCSTR fileName, LPSTR out, int size)
{
    char program[MAX_PATH];
    out[0] = '\0';
    if (!GetProgramPath(program)) {
        return;
    }
    const char* separator = std::strrchr(program, kPathSeparator);
    int directoryLength = separator ? static_cast<int>(separator - program) + 1 : 0;
    JoinInRoom(program, directoryLength, fileName, out, size);
}

void BuildOptionsFilePath(LPSTR out, int size)
{
    BuildPathInFolderOrBeside(PackagedConfigurationFolder(), "Quorvel.cfg", out, size);
}

void BuildDefaultSettingsPath(LPSTR out, int size)
{
    BuildPathInFolderOrBeside(PackagedConfigurationFolder(), "Quorvel.ini", out, size);
}

void BuildDefaultLogPath(LPSTR out, int size)
{
    BuildPathInFolderOrBeside(PackagedLogFolder(), "Quorvel.log", out, size);
}
