// Reading a whole small file with a bound on how much is taken: a settings file on a share
// may be huge or still growing.
#pragma once

#include <cstddef>
#include <string>

struct stat;

namespace posix::files {

constexpr size_t kProfileReadLimit = size_t{16} * 1024 * 1024;

enum class ReadOutcome {
    Read,      // the whole file is in `out`
    TooLarge,  // `out` holds the first `limit` bytes; the rest was not read
    Missing,   // no such file (or a folder on the path is missing)
    Failed,    // anything else: a folder, a device, no permission, a read error
};

// `opened`, when given, receives the stat of the file that was opened (for Read and TooLarge).
ReadOutcome ReadFileCapped(const char* path, size_t limit, std::string& out,
                           struct stat* opened = nullptr);

}  // namespace posix::files
