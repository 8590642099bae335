// The folder part of a path, as the file operations need it: for a file's permissions and for
// the folder a replacement is written into.
#pragma once

#include <string>

namespace posix::files {

// Everything before the last '/': "/" for a file in the root, "." for a bare name.
inline std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace posix::files
