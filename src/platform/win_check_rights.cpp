// The companion's questions about rights on Windows: which account it runs as, and a program's
// manifest, read by the system's own PE resource reader (the one the version calls use).
#include <string>

#include "check/check_platform.h"
#include "platform/win32.h"

namespace {

// True when the process token holds `sid` as an enabled group (CheckTokenMembership).
bool TokenHolds(WELL_KNOWN_SID_TYPE type)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    BOOL member = FALSE;
    return CreateWellKnownSid(type, nullptr, sid, &size) &&
           CheckTokenMembership(nullptr, sid, &member) && member;
}

// Keeps the first manifest resource of any name.
BOOL CALLBACK TakeFirstName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR first)
{
    *reinterpret_cast<HRSRC*>(first) = FindResourceA(module, name, type);
    return FALSE;
}

}  // namespace

bool CheckRunsAsSystemAccount()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    BYTE system[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof system;
    bool isSystem = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                    CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize) &&
                    EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, system);
    CloseHandle(token);
    return isSystem;
}

bool CheckRunsAsAdministrator()
{
    return TokenHolds(WinBuiltinAdministratorsSid);
}

ProgramManifest ReadProgramManifest(const std::string& path)
{
    ProgramManifest manifest;
    DWORD binaryType = 0;
    if (!GetBinaryTypeA(path.c_str(), &binaryType) ||
        (binaryType != SCS_32BIT_BINARY && binaryType != SCS_64BIT_BINARY)) {
        return manifest;
    }
    manifest.state = ManifestState::None;
    manifest.is32Bit = binaryType == SCS_32BIT_BINARY;
    // As data only: nothing of the program runs, and its imports are not resolved.
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) {
        return manifest;
    }
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (found == nullptr) {
        // Any other name, as the system takes the first when the program's own is absent.
        EnumResourceNamesA(image, MAKEINTRESOURCEA(24), TakeFirstName,
                           reinterpret_cast<LONG_PTR>(&found));
    }
    DWORD size = found != nullptr ? SizeofResource(image, found) : 0;
    HGLOBAL loaded = size != 0 && size <= kManifestCap ? LoadResource(image, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (size > kManifestCap) {
        manifest.state = ManifestState::TooLarge;
    } else if (bytes != nullptr) {
        manifest.state = ManifestState::Read;
        manifest.text.assign(static_cast<const char*>(bytes), size);
    }
    FreeLibrary(image);
    return manifest;
}
