// The profile calls: private profile reading and the user's WIN.INI.
#include <cstring>
#include <optional>
#include <string>

#include "platform/posix/profile/atomic_replace.h"
#include "platform/posix/files/capped_read.h"
#include "platform/posix/profile/log_on_start.h"
#include "platform/posix/profile/profile_lookup.h"
#include "platform/posix/profile/profile_text.h"
#include "platform/posix/profile/win_ini_edit.h"
#include "platform/posix/profile/win_ini_location.h"
#include "platform/win32.h"

namespace {

using profile::ReadOutcome;

// A default is given back with its trailing blanks removed and one pair of quotes taken off.
std::string PreparedDefault(LPCSTR defaultValue)
{
    std::string_view text = defaultValue != nullptr ? defaultValue : "";
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(profile::StripMatchingQuotes(text));
}

// Copies as much as fits, always terminated; the return is the number of bytes copied.
DWORD CopyOut(const std::string& text, LPSTR out, DWORD size)
{
    if (out == nullptr || size == 0) {
        return 0;
    }
    size_t length = std::strlen(text.c_str());  // a NUL inside ends the text
    size_t copied = length < size - 1 ? length : size - 1;
    std::memcpy(out, text.data(), copied);
    out[copied] = '\0';
    return static_cast<DWORD>(copied);
}

// The value in a file; nothing when the file cannot be read or lacks the section or key.
// A file larger than the read limit is taken as its first part. The file is read afresh on
// every call, so a change made between two calls is always seen.
std::optional<std::string> ReadProfileValue(const char* fileName, LPCSTR section, LPCSTR key)
{
    if (fileName == nullptr || section == nullptr || key == nullptr) {
        return std::nullopt;  // enumerating sections or keys is not supported
    }
    std::string bytes;
    ReadOutcome outcome = profile::ReadFileCapped(fileName, profile::kProfileReadLimit, bytes);
    if (outcome != ReadOutcome::Read && outcome != ReadOutcome::TooLarge) {
        return std::nullopt;
    }
    return profile::LookupProfileValue(profile::DecodeProfileBytes(bytes), section, key);
}

DWORD GetValueOrDefault(const char* fileName, LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                        LPSTR out, DWORD size)
{
    std::optional<std::string> value = ReadProfileValue(fileName, section, key);
    return CopyOut(value ? *value : PreparedDefault(defaultValue), out, size);
}

bool IsRunLine(LPCSTR section, LPCSTR key)
{
    return profile::EqualsIgnoringCase(profile::TrimBlanks(section), "windows") &&
           profile::EqualsIgnoringCase(profile::TrimBlanks(key), "run");
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                      LPSTR out, DWORD size, LPCSTR fileName)
{
    return GetValueOrDefault(fileName, section, key, defaultValue, out, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName)
{
    std::optional<std::string> value = ReadProfileValue(fileName, section, key);
    if (!value || value->empty()) {
        return static_cast<UINT>(defaultValue);
    }
    return profile::ParseProfileUnsigned(*value);
}

DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out,
                               DWORD size)
{
    std::string path = profile::WinIniPath();
    return GetValueOrDefault(path.empty() ? nullptr : path.c_str(), section, key, defaultValue,
                             out, size);
}

// A null value removes the key. Failures come back as FALSE and are never reported. The run
// line is also made to work: the programs it names are started at log-on from now on.
BOOL WINAPI WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value)
{
    std::string path = profile::WinIniPath();
    if (path.empty() || section == nullptr || key == nullptr) {
        return FALSE;
    }
    std::string bytes;
    ReadOutcome outcome = profile::ReadFileCapped(path.c_str(), profile::kProfileReadLimit, bytes);
    if (outcome != ReadOutcome::Read && outcome != ReadOutcome::Missing) {
        return FALSE;  // a file we cannot read whole is never rewritten: its tail would be lost
    }
    std::optional<std::string> edited = profile::SetProfileEntry(bytes, section, key, value);
    if (!edited) {
        return FALSE;
    }
    if (!profile::ReplaceFileAtomically(path, *edited)) {
        return FALSE;
    }
    if (value != nullptr && IsRunLine(section, key) &&
        !profile::StartRunLineProgramsAtLogOn(value)) {
        return FALSE;
    }
    return TRUE;
}
