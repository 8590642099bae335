// Whether this process runs as the superuser, whose starts of setup programs take nothing on
// trust that another user could have put in their way.
#pragma once

#include <unistd.h>

namespace posix::process {

inline bool RunsAsSuperuser()
{
    return geteuid() == 0;
}

}  // namespace posix::process
