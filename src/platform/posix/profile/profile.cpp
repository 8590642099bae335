// The profile calls: private profile reading and the user's WIN.INI.
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/files/capped_read.h"
#include "platform/posix/profile/atomic_replace.h"
#include "platform/posix/profile/log_on_start.h"
#include "platform/posix/profile/own_folders.h"
#include "platform/posix/profile/profile_cache.h"
#include "platform/posix/profile/profile_lookup.h"
#include "platform/posix/profile/win_ini_edit.h"
#include "platform/posix/profile/win_ini_location.h"
#include "platform/win32.h"
#include "text/ascii_case.h"
#include "text/profile_text.h"

namespace {

using posix::files::ReadOutcome;

// A default is given back with its trailing blanks removed and one pair of quotes taken off.
std::string PreparedDefault(LPCSTR defaultValue)
{
    std::string_view text = defaultValue != nullptr ? defaultValue : "";
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(profile_text::StripMatchingQuotes(text));
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
// A file larger than the read limit is taken as its first part. The parsed file is kept, and
// each call checks that the file has not changed since, so a change made between two calls is
// always seen.
std::optional<std::string> ReadProfileValue(const char* fileName, LPCSTR section, LPCSTR key)
{
    if (fileName == nullptr || section == nullptr || key == nullptr) {
        return std::nullopt;  // enumerating keys is not supported
    }
    std::shared_ptr<const posix::profile::ParsedProfile> parsed =
        posix::profile::CachedProfile(fileName);
    if (!parsed) {
        return std::nullopt;
    }
    return parsed->Value(section, key);
}

// The names as the list the real call gives: each name followed by a NUL, one more NUL at the
// end. When they do not fit, the name that overflows is cut, the list ends with two NULs at
// the end of the room, and the return is size - 2. The list needs one byte to spare to count
// as fitting.
DWORD CopyNameList(const std::vector<std::string_view>& names, LPSTR out, DWORD size)
{
    if (out == nullptr || size == 0) {
        return 0;
    }
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    size_t room = size - 1;
    size_t used = 0;
    for (std::string_view name : names) {
        if (name.size() + 1 >= room) {
            std::memcpy(out + used, name.data(), room - 1);
            out[used + room - 1] = '\0';
            out[used + room] = '\0';
            return size - 2;
        }
        std::memcpy(out + used, name.data(), name.size());
        out[used + name.size()] = '\0';
        used += name.size() + 1;
        room -= name.size() + 1;
    }
    out[used] = '\0';
    out[used + 1] = '\0';
    return static_cast<DWORD>(used);
}

DWORD GetValueOrDefault(const char* fileName, LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                        LPSTR out, DWORD size)
{
    std::optional<std::string> value = ReadProfileValue(fileName, section, key);
    return CopyOut(value ? *value : PreparedDefault(defaultValue), out, size);
}

// The running program's own path; "" when it is not known whole.
std::string OwnProgramPath()
{
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : "";
}

bool IsRunLine(LPCSTR section, LPCSTR key)
{
    return EqualIgnoringAsciiCase(profile_text::TrimBlanks(section), "windows") &&
           EqualIgnoringAsciiCase(profile_text::TrimBlanks(key), "run");
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out,
                                      DWORD size, LPCSTR fileName)
{
    return GetValueOrDefault(fileName, section, key, defaultValue, out, size);
}

DWORD WINAPI GetPrivateProfileSectionNamesA(LPSTR out, DWORD size, LPCSTR fileName)
{
    std::shared_ptr<const posix::profile::ParsedProfile> parsed =
        fileName != nullptr ? posix::profile::CachedProfile(fileName) : nullptr;
    static const std::vector<std::string_view> kNoNames;
    return CopyNameList(parsed ? parsed->SectionNames() : kNoNames, out, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName)
{
    std::optional<std::string> value = ReadProfileValue(fileName, section, key);
    if (!value || value->empty()) {
        return static_cast<UINT>(defaultValue);
    }
    return posix::profile::ParseProfileUnsigned(*value);
}

DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out,
                               DWORD size)
{
    std::string path = posix::profile::WinIniPath();
    return GetValueOrDefault(path.empty() ? nullptr : path.c_str(), section, key, defaultValue, out,
                             size);
}

// A null value removes the key. Failures come back as FALSE and are never reported. The run
// line is also made to work: the programs it names are started at log-on from now on.
BOOL WINAPI WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value)
{
    // Only the user's own file is written: not by the superuser, not in a home of someone
    // else's, and never through a symbolic link, for the file or its folder.
    std::string home = posix::profile::WritableHome();
    std::string path = home.empty() ? "" : posix::profile::WinIniPath();
    if (path.empty() || section == nullptr || key == nullptr ||
        !posix::profile::PrepareOwnFolder(home + ".config") ||
        !posix::profile::IsMissingOrOwnFile(path)) {
        return FALSE;
    }
    std::string bytes;
    ReadOutcome outcome = posix::files::ReadFileCapped(path.c_str(),
                                                       posix::files::kProfileReadLimit, bytes);
    if (outcome != ReadOutcome::Read && outcome != ReadOutcome::Missing) {
        return FALSE;  // a file we cannot read whole is never rewritten: its tail would be lost
    }
    std::optional<std::string> edited = posix::profile::SetProfileEntry(bytes, section, key, value);
    if (!edited) {
        return FALSE;
    }
    bool replaced = posix::profile::ReplaceFileAtomically(path, *edited,
                                                          posix::profile::Link::Replace);
    posix::profile::ForgetCachedProfile(path);
    if (!replaced) {
        return FALSE;
    }
    if (value != nullptr && IsRunLine(section, key) &&
        !posix::profile::StartProgramAtLogOn(value, OwnProgramPath())) {
        return FALSE;
    }
    return TRUE;
}
