// Replacing a file's content so that readers see either the old or the new file, never a
// half-written one.
#pragma once

#include <string>

namespace posix::profile {

// What becomes of a symbolic link at `path`: the file it names is replaced (a user's own
// WIN.INI may live elsewhere), or the link itself is (a file the program owns outright).
enum class Link { Follow, Replace };

// Writes `content` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, keeping the old file's permissions (0600 for a new file or a replaced link). Missing
// folders on the way are created (0700). False on any failure, with the old file untouched
// and no temporary file left behind.
bool ReplaceFileAtomically(const std::string& path, const std::string& content,
                           Link link = Link::Follow);

}  // namespace posix::profile
