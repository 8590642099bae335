// The companion's questions about rights on Windows: which account it runs as, and a program's
// manifest, read by the system's own PE resource reader (the one the version calls use).
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/win32.h"

#include <aclapi.h>
#include <msi.h>
#include <msiquery.h>
#include <sddl.h>

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

namespace {

// Rights that let a holder change what the pass reads: write or append data (add files or
// folders), write attributes, delete it or its children, change its permissions or owner.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                      FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// Administrators, SYSTEM and TrustedInstaller (the service SID that owns system files).
bool IsAdministrative(PSID sid)
{
    for (WELL_KNOWN_SID_TYPE type : {WinBuiltinAdministratorsSid, WinLocalSystemSid}) {
        BYTE known[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof known;
        if (CreateWellKnownSid(type, nullptr, known, &size) && EqualSid(sid, known)) {
            return true;
        }
    }
    char* text = nullptr;
    bool trustedInstaller = false;
    if (ConvertSidToStringSidA(sid, &text)) {
        trustedInstaller = lstrcmpiA(text, "S-1-5-80-956008885-3418522649-1831038044-"
                                           "1853292631-2271478464") == 0;
        LocalFree(text);
    }
    return trustedInstaller;
}

std::string AccountName(PSID sid)
{
    char name[256];
    char domain[256];
    DWORD nameSize = sizeof name;
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    if (LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
        return domainSize > 0 && domain[0] != '\0' ? std::string(domain) + "\\" + name : name;
    }
    char* text = nullptr;
    std::string shown = "an unknown account";
    if (ConvertSidToStringSidA(sid, &text)) {
        shown = text;
        LocalFree(text);
    }
    return shown;
}

}  // namespace

std::vector<std::string> WritersBesideAdministrators(const std::string& path, bool)
{
    std::vector<std::string> writers;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return writers;
    }
    const std::string fix = ": remove that right (icacls \"" + path + "\")";
    if (owner != nullptr && !IsAdministrative(owner)) {
        writers.push_back("its owner " + AccountName(owner) +
                          " can change its permissions: make Administrators its owner "
                          "(icacls \"" +
                          path + "\" /setowner Administrators)");
    }
    if (dacl == nullptr) {
        writers.push_back("it has no access list, so everyone has every right: give it one "
                          "(icacls \"" +
                          path + "\")");
    }
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header)) ||
            header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) {
            continue;
        }
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        PSID sid = &ace->SidStart;
        if ((ace->Mask & kChangeRights) != 0 && !IsAdministrative(sid)) {
            writers.push_back(AccountName(sid) + " may change it (access mask 0x" +
                              [](DWORD mask) {
                                  char hex[16];
                                  wsprintfA(hex, "%08lX", static_cast<unsigned long>(mask));
                                  return std::string(hex);
                              }(ace->Mask) +
                              ")" + fix);
        }
    }
    LocalFree(descriptor);
    return writers;
}

namespace {

// msi.dll is loaded only when a package is to be read: it brings its own dependencies, and a
// system where they cannot be initialised must still run the rest of the check.
class InstallerLibrary {
public:
    InstallerLibrary() : module_(LoadLibraryA("msi.dll")) {}
    ~InstallerLibrary()
    {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    InstallerLibrary(const InstallerLibrary&) = delete;
    InstallerLibrary& operator=(const InstallerLibrary&) = delete;

    template <typename Function>
    Function Get(const char* name) const
    {
        FARPROC found = module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
    }

private:
    HMODULE module_;
};

}  // namespace

PackageProperty ReadPackageProperty(const std::string& package, const char* name)
{
    PackageProperty property;
    InstallerLibrary msi;
    auto openDatabase = msi.Get<UINT(WINAPI*)(LPCSTR, LPCSTR, MSIHANDLE*)>("MsiOpenDatabaseA");
    auto openView = msi.Get<UINT(WINAPI*)(MSIHANDLE, LPCSTR, MSIHANDLE*)>("MsiDatabaseOpenViewA");
    auto createRecord = msi.Get<MSIHANDLE(WINAPI*)(UINT)>("MsiCreateRecord");
    auto setString = msi.Get<UINT(WINAPI*)(MSIHANDLE, UINT, LPCSTR)>("MsiRecordSetStringA");
    auto execute = msi.Get<UINT(WINAPI*)(MSIHANDLE, MSIHANDLE)>("MsiViewExecute");
    auto fetch = msi.Get<UINT(WINAPI*)(MSIHANDLE, MSIHANDLE*)>("MsiViewFetch");
    auto getString = msi.Get<UINT(WINAPI*)(MSIHANDLE, UINT, LPSTR, LPDWORD)>("MsiRecordGetStringA");
    auto closeView = msi.Get<UINT(WINAPI*)(MSIHANDLE)>("MsiViewClose");
    auto closeHandle = msi.Get<UINT(WINAPI*)(MSIHANDLE)>("MsiCloseHandle");
    MSIHANDLE database = 0;
    if (!openDatabase || !openView || !createRecord || !setString || !execute || !fetch ||
        !getString || !closeView || !closeHandle ||
        openDatabase(package.c_str(), MSIDBOPEN_READONLY, &database) != ERROR_SUCCESS) {
        return property;
    }
    MSIHANDLE view = 0;
    MSIHANDLE query = createRecord(1);
    setString(query, 1, name);
    if (openView(database, "SELECT `Value` FROM `Property` WHERE `Property` = ?", &view) ==
            ERROR_SUCCESS &&
        execute(view, query) == ERROR_SUCCESS) {
        property.read = true;
        MSIHANDLE record = 0;
        if (fetch(view, &record) == ERROR_SUCCESS) {
            char value[256];
            DWORD size = sizeof value;
            property.set = getString(record, 1, value, &size) == ERROR_SUCCESS;
            property.value = property.set ? value : "";
            closeHandle(record);
        }
        closeView(view);
    }
    if (view != 0) {
        closeHandle(view);
    }
    closeHandle(query);
    closeHandle(database);
    return property;
}
