#include "core/program_paths.h"

#include <cstring>

#include "core/run_settings.h"

void BuildPathBesideProgram(LPCSTR fileName, LPSTR out, int size)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(gRunSettings.instance, program, MAX_PATH);
    program[MAX_PATH - 1] = '\0';
    const char* separator = std::strrchr(program, kPathSeparator);
    int directoryLength = separator ? static_cast<int>(separator - program) + 1 : 0;
    out[0] = '\0';
    if (directoryLength + lstrlenA(fileName) >= size) {
        return;
    }
    std::memcpy(out, program, static_cast<size_t>(directoryLength));
    lstrcpyA(out + directoryLength, fileName);
}
