// The report's replacement on Windows: CREATE_NEW for the temporary file (it fails when the
// name exists in any form, a link included, and FILE_FLAG_OPEN_REPARSE_POINT keeps a link from
// being followed), then MoveFileExA, which replaces the report's directory entry itself. With
// CREATOR OWNER rights on the folder a user cannot replace another user's report.
#include "platform/report_file.h"

#include <cstdio>
#include <string>

#include "platform/win32.h"

namespace {

bool WriteWhole(HANDLE file, const char* bytes, size_t size)
{
    while (size > 0) {
        DWORD piece = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
        DWORD wrote = 0;
        if (!WriteFile(file, bytes, piece, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        bytes += wrote;
        size -= wrote;
    }
    return true;
}

// Eight hex digits from the system's random source; the process id and tick count when it
// gives none.
std::string RandomTag()
{
    ULONG value = 0;
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value,
                                        BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        value = GetCurrentProcessId() ^ GetTickCount();
    }
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08lx", static_cast<unsigned long>(value));
    return tag;
}

}  // namespace

bool ReplaceReportFile(const char* folder, const char* fileName, const char* bytes, size_t size)
{
    std::string base = folder;
    if (!base.empty() && base.back() != '\\' && base.back() != '/') {
        base += '\\';
    }
    std::string target = base + fileName;
    std::string temporary = base + "." + fileName + "." + RandomTag() + ".tmp";
    if (temporary.size() >= MAX_PATH) {
        return false;
    }
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool written = WriteWhole(file, bytes, size) && FlushFileBuffers(file);
    written = CloseHandle(file) && written;
    if (!written || !MoveFileExA(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}
