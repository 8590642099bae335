// Whether a path names a program this user may start: what exec would accept.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <string>

// A regular file with the execute permission for this user.
inline bool IsExecutableFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}
