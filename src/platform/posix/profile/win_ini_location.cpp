#include "platform/posix/profile/win_ini_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace posix::profile {

namespace {

std::string HomeFromPasswordDatabase()
{
    long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr) {
        return "";
    }
    return found->pw_dir;
}

}  // namespace

std::string UserHome()
{
    const char* fromEnvironment = std::getenv("HOME");
    std::string home = (fromEnvironment != nullptr && *fromEnvironment != '\0')
                           ? std::string(fromEnvironment)
                           : HomeFromPasswordDatabase();
    if (!home.empty() && home.back() != '/') {
        home += '/';
    }
    return home;
}

std::string WinIniPath()
{
    std::string home = UserHome();
    return home.empty() ? "" : home + ".config/win.ini";
}

}  // namespace posix::profile
