// The running program's path and the computer and user names.
#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

constexpr size_t kComputerNameLimit = 15;  // NetBIOS names are at most 15 characters

// Copies a name into a caller's buffer as the real calls do: *size is the room on entry and,
// on success, the length without the terminator (computer name) or with it (user name); too
// small a buffer fails.
BOOL CopyName(const std::string& name, LPSTR out, LPDWORD size, bool countTerminator)
{
    if (out == nullptr || size == nullptr || name.empty() || name.size() + 1 > *size) {
        return FALSE;
    }
    std::memcpy(out, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size() + (countTerminator ? 1 : 0));
    return TRUE;
}

}  // namespace

DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR out, DWORD size)
{
    if (out == nullptr || size == 0) {
        return 0;
    }
    char path[4096];
    // A link that fills the whole buffer may have been cut: it counts as not read.
    ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) {
        out[0] = '\0';
        return 0;
    }
    // As on Windows: a path that does not fit is cut and terminated, and the room is returned.
    DWORD copied = static_cast<DWORD>(length) < size ? static_cast<DWORD>(length) : size - 1;
    std::memcpy(out, path, copied);
    out[copied] = '\0';
    return static_cast<DWORD>(length) < size ? copied : size;
}

BOOL WINAPI GetComputerNameA(LPSTR out, LPDWORD size)
{
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) != 0) {
        return FALSE;
    }
    std::string name(host, std::strcspn(host, "."));
    if (name.size() > kComputerNameLimit) {
        name.resize(kComputerNameLimit);
    }
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return CopyName(name, out, size, false);
}

BOOL WINAPI GetUserNameA(LPSTR out, LPDWORD size)
{
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
        return FALSE;
    }
    return CopyName(found->pw_name, out, size, true);
}
