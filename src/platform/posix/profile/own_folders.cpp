#include "platform/posix/profile/own_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/profile/win_ini_location.h"

namespace posix::profile {

std::string WritableHome()
{
    if (geteuid() == 0) {
        return "";
    }
    std::string home = UserHome();
    struct stat status {};
    // The home itself may be reached through a link (/home -> /data/home); what counts is who
    // owns the folder it leads to.
    if (home.empty() || stat(home.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != geteuid()) {
        return "";
    }
    return home;
}

bool PrepareOwnFolder(const std::string& folder)
{
    if (folder.empty() || (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)) {
        return false;
    }
    struct stat status {};
    return lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid();
}

bool IsMissingOrOwnFile(const std::string& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(status.st_mode) && status.st_uid == geteuid();
}

}  // namespace posix::profile
