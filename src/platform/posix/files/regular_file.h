// Whether a path names a regular file (after links): what an autostart entry can start.
#pragma once

#include <sys/stat.h>

#include <string>

namespace posix::files {

inline bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace posix::files
