// Where registration may write: only inside the files of the user it runs as. A root run, a
// home folder that belongs to someone else (HOME of another user, kept by sudo -E), and any
// symbolic link on the way below the home refuse the write.
#pragma once

#include <string>

namespace posix::profile {

// The user's home (with its trailing '/') when this process may write the user's files in
// it: not the superuser, and the effective user owns the folder. "" otherwise.
std::string WritableHome();

// Makes sure `folder` is a folder of this user's own that no link leads into: created (0700)
// when missing, then accepted only when it is a real folder (not a symbolic link) that the
// effective user owns.
bool PrepareOwnFolder(const std::string& folder);

// True when `path` is missing, or is a regular file (not a link) of the effective user's.
bool IsMissingOrOwnFile(const std::string& path);

}  // namespace posix::profile
