// The system's own time zone (/etc/localtime), which the platform's clock and file times use
// whatever the TZ variable holds; TZ only names the zone in log timestamps.
#pragma once

#include <ctime>

namespace posix::system {

bool SystemLocalTime(time_t moment, struct tm* local);

}  // namespace posix::system
