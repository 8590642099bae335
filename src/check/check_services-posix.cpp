// What the companion program asks of the POSIX platform beyond the Win32 subset: files and
// folders, and the log's permissions. Setup programs and autostart entries have files of
// their own.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "check/check_platform.h"
#include "check/mode_text-posix.h"
#include "platform/posix/files/folder_of.h"
#include "platform/posix/process/superuser.h"

namespace {

std::string OwnerName(uid_t uid)
{
    struct passwd* entry = getpwuid(uid);
    return entry != nullptr ? entry->pw_name : std::to_string(uid);
}

// The longest leading part of `path` that exists, for "... exists, nothing below it".
std::string DeepestExistingFolder(std::string path)
{
    struct stat info {};
    while (!path.empty()) {
        size_t slash = path.rfind('/');
        path = slash == std::string::npos ? "" : path.substr(0, slash == 0 ? 1 : slash);
        if (!path.empty() && stat(path.c_str(), &info) == 0) {
            return path;
        }
        if (path == "/") {
            break;
        }
    }
    return "";
}

std::string MissingFolderWords(const std::string& folder)
{
    std::string deepest = DeepestExistingFolder(folder);
    return "its folder " + folder + " does not exist: is a share not mounted or not reachable?" +
           (deepest.empty() || deepest == "/" ? std::string()
                                              : " (" + deepest + " exists, nothing below it)");
}

}  // namespace

bool CheckOutputIsUtf8()
{
    return true;
}

const char* LogonProgramFileName()
{
    return "quorvel";
}

const char* LogonCurrentFolder()
{
    return "at log-on on a desktop, the home folder";
}

std::string WhyNotFound(const std::string& path)
{
    if (path.empty() || path.back() == '/') {
        return "a path that ends in '/' names nothing";
    }
    if (path.find('"') != std::string::npos) {
        return "a double quote in a path names nothing";
    }
    std::string folder = posix::files::FolderOf(path.c_str());
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (folder.find_first_of("*?") != std::string::npos) {
        return "'*' and '?' are a pattern only in the last part of a path";
    }
    if (name.size() >= 260) {
        return "the file's name is longer than 259 characters";
    }
    struct stat info {};
    bool pattern = name.find_first_of("*?") != std::string::npos;
    std::string probe = pattern ? folder : path;
    if (stat(probe.c_str(), &info) == 0) {
        return pattern ? "no name in " + folder + " matches the pattern"
                       : "found by its name but not by the search";
    }
    switch (errno) {
    case ENOENT:
        if (!pattern && stat(folder.c_str(), &info) == 0) {
            return "no such file";
        }
        return MissingFolderWords(folder);
    case EACCES:
        return "access denied: this user cannot enter a folder on its way";
    case ENOTDIR:
        return "a part of the path is a file, not a folder";
    default:
        return std::strerror(errno);
    }
}

bool FolderExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CanAppendTo(const std::string& path)
{
    return access(path.c_str(), W_OK) == 0;
}

bool CanCreateIn(const std::string& folder)
{
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string LogFileProblem(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return "";
    }
    const char* refused = S_ISLNK(info.st_mode)                            ? "a symbolic link"
                          : S_ISFIFO(info.st_mode)                         ? "a FIFO"
                          : S_ISSOCK(info.st_mode)                         ? "a socket"
                          : S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "a device"
                                                                           : nullptr;
    if (refused != nullptr) {
        return std::string("the log is ") + refused +
               ", which no run writes to: every line "
               "is dropped. Remove it; a run creates the log afresh";
    }
    if (S_ISREG(info.st_mode) && info.st_nlink > 1) {
        return "the log has " + std::to_string(info.st_nlink) +
               " names (hard links), so it may "
               "be another file linked in: no run writes to it, and every line is dropped. "
               "Remove this name; a run creates the log afresh";
    }
    if (S_ISREG(info.st_mode) && info.st_uid != geteuid() && (info.st_mode & 0022) == 0) {
        return "the log belongs to " + OwnerName(info.st_uid) + " with mode " +
               ModeText(info.st_mode & 07777) +
               ", which shuts every other user out: their "
               "runs drop their lines. Remove it, or give it the folder's group and mode 0664";
    }
    return "";
}

std::string LogSharing(const std::string& path, bool exists)
{
    // A new log takes its folder's read and write bits, whatever the umask.
    struct stat info {};
    std::string folder = posix::files::FolderOf(path.c_str());
    if (stat((exists ? path : folder).c_str(), &info) != 0) {
        return "";
    }
    mode_t logMode = exists ? info.st_mode & 07777 : info.st_mode & 0666;
    if ((logMode & 0022) != 0) {
        return "";
    }
    if (exists) {
        return "only its owner " + OwnerName(info.st_uid) + " can add lines (mode " +
               ModeText(logMode) + "): other users' runs drop theirs";
    }
    return "a log this user's run creates takes mode " + ModeText(logMode) +
           " from its folder (mode " + ModeText(info.st_mode) +
           "): only this user's runs "
           "could add lines to it; for a shared log give the folder mode 2775 and a group of "
           "every user, or 1777";
}
