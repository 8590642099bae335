// The running setup's mark on Windows: a named mutex in the machine-wide namespace, one per
// account, settings file and SetupApp. The pass creates it and puts a handle to it into the
// started setup process; the object lives as long as any handle to it, so it goes when the setup
// process ends (however it ends) and a re-used process id cannot keep it. The handle is not
// inheritable, so the programs the setup starts do not hold it. Another account cannot take
// the name over: an object that exists but is not owned as this account's are is not counted
// as a running setup.
#include <string>

#include "platform/running_setup.h"
#include "text/setup_mark_key.h"

namespace {

// The token's user (whose SID names the account) or its default owner (which the account's
// new objects get), copied into `sid`.
bool ReadTokenSid(TOKEN_INFORMATION_CLASS kind, std::string* sid)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    alignas(8) BYTE buffer[256];
    DWORD size = 0;
    BOOL read = GetTokenInformation(token, kind, buffer, sizeof buffer, &size);
    CloseHandle(token);
    if (!read) {
        return false;
    }
    PSID found = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid
                                   : reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner;
    if (!IsValidSid(found)) {
        return false;
    }
    sid->assign(static_cast<const char*>(found), GetLengthSid(found));
    return true;
}

bool MarkName(LPCSTR settingsPath, LPCSTR setupApp, std::string* name)
{
    std::string account;
    if (!ReadTokenSid(TokenUser, &account)) {
        return false;
    }
    *name = "Global\\Quorvel.RunningSetup." + SetupMarkKey(account, settingsPath, setupApp);
    return true;
}

// True when the object's owner is the one this account gives its new objects. Windows gives
// every kernel object an owner; Wine records none, and there an object of the name counts as
// this account's (its objects are not shared between accounts anyway).
bool OwnedByThisAccount(HANDLE object)
{
    std::string owner;
    if (!ReadTokenSid(TokenOwner, &owner)) {
        return false;
    }
    alignas(8) BYTE buffer[1024];
    DWORD needed = 0;
    PSID objectOwner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetKernelObjectSecurity(object, OWNER_SECURITY_INFORMATION, buffer, sizeof buffer,
                                 &needed) ||
        !GetSecurityDescriptorOwner(buffer, &objectOwner, &defaulted)) {
        return false;
    }
    if (objectOwner == nullptr) {
        return true;
    }
    return IsValidSid(objectOwner) &&
           EqualSid(objectOwner, const_cast<char*>(owner.data())) != FALSE;
}

}  // namespace

EarlierSetup FindEarlierSetup(LPCSTR settingsPath, LPCSTR setupApp)
{
    std::string name;
    if (!MarkName(settingsPath, setupApp, &name)) {
        return EarlierSetup::Unknown;
    }
    HANDLE object = OpenMutexA(READ_CONTROL | SYNCHRONIZE, FALSE, name.c_str());
    if (object == nullptr) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? EarlierSetup::NotRunning
                                                      : EarlierSetup::Unknown;
    }
    bool ours = OwnedByThisAccount(object);
    CloseHandle(object);
    return ours ? EarlierSetup::StillRunning : EarlierSetup::Unknown;
}

MarkClaim ClaimSetupMark(LPCSTR settingsPath, LPCSTR setupApp, SetupMark* mark)
{
    mark->handle = nullptr;
    std::string name;
    if (!MarkName(settingsPath, setupApp, &name)) {
        return MarkClaim::Unavailable;
    }
    HANDLE object = CreateMutexA(nullptr, FALSE, name.c_str());
    if (object == nullptr) {
        return MarkClaim::Unavailable;  // another account's object of that name, most likely
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        bool ours = OwnedByThisAccount(object);
        CloseHandle(object);
        return ours ? MarkClaim::HeldByEarlierSetup : MarkClaim::Unavailable;
    }
    mark->handle = object;
    return MarkClaim::Claimed;
}

BOOL InheritsSetupMark(const SetupMark&)
{
    // Inheriting would pass on every inheritable handle of the pass, the log's among them.
    return FALSE;
}

void HandSetupMarkTo(const SetupMark& mark, const PROCESS_INFORMATION& started)
{
    if (mark.handle == nullptr) {
        return;
    }
    // The copy belongs to the setup process, which never learns of it; it is closed when the
    // process ends.
    HANDLE inSetup = nullptr;
    DuplicateHandle(GetCurrentProcess(), mark.handle, started.hProcess, &inSetup, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
}

void ReleaseSetupMark(SetupMark* mark)
{
    if (mark->handle != nullptr) {
        CloseHandle(mark->handle);
        mark->handle = nullptr;
    }
}
