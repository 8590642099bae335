#include "platform/posix/system/system_zone.h"

#include <cstdlib>
#include <string>

namespace posix::system {

bool SystemLocalTime(time_t moment, struct tm* local)
{
    // The program has one thread, so TZ can be set aside for the conversion and put back.
    const char* zone = std::getenv("TZ");
    bool hadZone = zone != nullptr;
    std::string saved = hadZone ? zone : "";
    if (hadZone) {
        unsetenv("TZ");
    }
    tzset();
    bool converted = localtime_r(&moment, local) != nullptr;
    if (hadZone) {
        setenv("TZ", saved.c_str(), 1);
    }
    tzset();
    return converted;
}

}  // namespace posix::system
