// Parsed profiles kept between calls. Each call costs one stat of the file; the file is read
// and parsed again only when it has changed since it was parsed, or when it had changed so
// shortly before being parsed that a later change could leave its stat unchanged.
#pragma once

#include <memory>
#include <string>

#include "platform/posix/profile/parsed_profile.h"

namespace posix::profile {

// The parsed profile at `path`, or null when the file is missing or cannot be read (a folder,
// no permission). A file past the read limit is taken as its first part.
std::shared_ptr<const ParsedProfile> CachedProfile(const char* path);

// Drops the kept copy of `path`, after the program itself has written the file.
void ForgetCachedProfile(const std::string& path);

}  // namespace posix::profile
