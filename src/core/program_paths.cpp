#include "core/program_paths.h"

#include <cstring>

#include "core/run_settings.h"

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
    if (directoryLength + lstrlenA(fileName) >= size) {
        return;
    }
    std::memcpy(out, program, static_cast<size_t>(directoryLength));
    lstrcpyA(out + directoryLength, fileName);
}
