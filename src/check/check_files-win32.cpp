// Reading the files the companion summarises (the install log, the pass reports) on Windows:
// disk files only, shared with their writers, never a device or a pipe.
#include <fcntl.h>
#include <io.h>

#include <cstring>

#include "check/check_platform.h"
#include "core/handle_stream.h"
#include "platform/win32.h"
#include "text/ascii_case.h"

namespace {

std::string ErrorWords(DWORD error)
{
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 &&
           (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) {
        text[--length] = '\0';
    }
    return length > 0 ? text : "error " + std::to_string(error);
}

}  // namespace

FILE* OpenRegularFile(const std::string& path, unsigned long long* size, std::string* why)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = ErrorWords(GetLastError());
        return nullptr;
    }
    LARGE_INTEGER length{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &length)) {
        *why = "not a regular file";
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = StreamOverHandle(file, _O_RDONLY | _O_BINARY, "rb");
    if (stream == nullptr) {
        *why = "cannot be read";
        return nullptr;
    }
    *size = static_cast<unsigned long long>(length.QuadPart);
    return stream;
}

bool ListFolderFiles(const std::string& folder, const char* suffix, std::vector<std::string>* names,
                     std::string* why)
{
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') {
        pattern += '\\';
    }
    pattern += "*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return true;  // an empty folder
        }
        *why = ErrorWords(error);
        return false;
    }
    size_t suffixLength = std::strlen(suffix);
    do {
        size_t length = std::strlen(found.cFileName);
        bool file = (found.dwFileAttributes &
                     (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
        if (file && found.cFileName[0] != '.' && length > suffixLength &&
            EqualIgnoringAsciiCase(found.cFileName + length - suffixLength, suffix)) {
            names->push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}
