#include "update/log_open.h"

#include "core/handle_stream.h"

bool IsPlainSingleNameFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information)) {
        return false;
    }
    const DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return (information.dwFileAttributes & refused) == 0 && information.nNumberOfLinks == 1;
}

FILE* OpenLogForAppending(LPCSTR path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    if (!IsPlainSingleNameFile(file)) {
        CloseHandle(file);
        return nullptr;
    }
    return StreamOverHandle(file, _O_APPEND | _O_BINARY, "ab");
}
