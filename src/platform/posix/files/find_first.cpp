// Find-first over one path: an exact name, or a pattern with '*' and '?' in its last
// component that matches names of that folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/files/file_time.h"
#include "platform/posix/files/kept_open_file.h"
#include "platform/win32.h"

namespace {

// The search handle keeps the folder and the matches not yet delivered, in delivery order.
struct FindHandle {
    std::string folder;
    std::vector<std::string> rest;
    size_t next;
};

bool HasWildcards(const std::string& text)
{
    return text.find_first_of("*?") != std::string::npos;
}

// '*' matches any run of bytes (dots included), '?' exactly one byte.
bool MatchesPattern(const char* pattern, const char* name)
{
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '?' || (*pattern != '*' && *pattern == *name)) {
            ++pattern;
            ++name;
        } else if (*pattern == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (starPattern != nullptr) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') {
        ++pattern;
    }
    return *pattern == '\0';
}

DWORD AttributesOf(const std::string& name, const struct stat& info)
{
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    } else {
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    }
    if (name.size() > 1 && name[0] == '.' && name != "..") {
        attributes |= FILE_ATTRIBUTE_HIDDEN;  // dot-files are the hidden files here
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}

void Fill(const std::string& name, const struct stat& info, LPWIN32_FIND_DATAA data)
{
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = AttributesOf(name, info);
    data->ftCreationTime = posix::files::FileTimeFromTimespec(info.st_ctim);
    data->ftLastAccessTime = posix::files::FileTimeFromTimespec(info.st_atim);
    data->ftLastWriteTime = posix::files::FileTimeFromTimespec(info.st_mtim);
    uint64_t size = S_ISDIR(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
}

bool Describe(const std::string& path, const std::string& name, LPWIN32_FIND_DATAA data)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || name.size() >= MAX_PATH) {
        return false;
    }
    Fill(name, info, data);
    return true;
}

// An exact path is opened rather than looked at, and a regular file is kept open for the
// version calls that follow, so that they read it without opening it again. What cannot be
// opened but may exist (no read permission, a socket) is looked at as before.
bool OpenAndDescribe(const std::string& path, const std::string& name, LPWIN32_FIND_DATAA data)
{
    posix::files::ForgetOpenFile(path.c_str());
    if (name.size() >= MAX_PATH) {
        return false;
    }
    // O_NONBLOCK: a named pipe in the file's place must not hold the search up.
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return errno != ENOENT && errno != ENOTDIR && Describe(path, name, data);
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0) {
        close(descriptor);
        return Describe(path, name, data);
    }
    Fill(name, info, data);
    if (S_ISREG(info.st_mode)) {
        posix::files::KeepOpenFile(path.c_str(), descriptor, info);
    } else {
        close(descriptor);
    }
    return true;
}

// The names of the folder that match: "." and ".." first, then name order.
bool FindMatches(const std::string& folder, const std::string& pattern,
                 std::vector<std::string>* found)
{
    DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) {
        return false;
    }
    std::vector<std::string> matches;
    while (struct dirent* entry = readdir(directory)) {
        if (MatchesPattern(pattern.c_str(), entry->d_name)) {
            matches.emplace_back(entry->d_name);
        }
    }
    closedir(directory);
    if (matches.empty()) {
        return false;
    }
    auto rank = [](const std::string& name) { return name == "." ? 0 : name == ".." ? 1 : 2; };
    std::sort(matches.begin(), matches.end(), [&](const std::string& a, const std::string& b) {
        return rank(a) != rank(b) ? rank(a) < rank(b) : a < b;
    });
    *found = std::move(matches);
    return true;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    if (pattern == nullptr || data == nullptr) {
        return INVALID_HANDLE_VALUE;
    }
    std::string path = pattern;
    // A trailing separator, an empty path or a double quote never names an entry.
    if (path.empty() || path.back() == '/' || path.find('"') != std::string::npos) {
        return INVALID_HANDLE_VALUE;
    }
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (HasWildcards(folder)) {
        return INVALID_HANDLE_VALUE;
    }
    FindHandle* handle = new FindHandle{folder, {}, 0};
    const bool exact = !HasWildcards(name);
    if (!exact) {
        if (!FindMatches(folder, name, &handle->rest)) {
            delete handle;
            return INVALID_HANDLE_VALUE;
        }
        name = handle->rest[0];
        path = folder + name;
        handle->next = 1;
    }
    bool described = exact ? OpenAndDescribe(path, name, data) : Describe(path, name, data);
    if (!described) {
        delete handle;
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data)
{
    if (find == nullptr || find == INVALID_HANDLE_VALUE || data == nullptr) {
        return FALSE;
    }
    FindHandle* handle = static_cast<FindHandle*>(find);
    // A match that vanished since the listing is passed over, as a later listing would.
    while (handle->next < handle->rest.size()) {
        const std::string& name = handle->rest[handle->next++];
        if (Describe(handle->folder + name, name, data)) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WINAPI FindClose(HANDLE find)
{
    if (find == nullptr || find == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    delete static_cast<FindHandle*>(find);
    return TRUE;
}
