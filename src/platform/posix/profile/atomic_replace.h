// Replacing a file's content so that readers see either the old or the new file, never a
// half-written one.
#pragma once

#include <string>

namespace profile {

// Writes `content` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, keeping the old file's permissions (0600 for a new file). Missing folders on the
// way are created (0700). A symbolic link is followed, so the file it names is replaced. False
// on any failure, with the old file untouched and no temporary file left behind.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

}  // namespace profile
