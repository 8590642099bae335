// Who besides root can change a file or folder on POSIX: its owner, the members of a group
// that may write it, and everyone when its mode lets anyone write.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "check/mode_text-posix.h"

namespace {

std::string UserName(uid_t uid)
{
    const passwd* entry = getpwuid(uid);
    return entry != nullptr ? entry->pw_name : std::to_string(uid);
}

// The group's members other than root: those it lists and those for whom it is the first group.
// Kept per group for the run: the audit asks about the same few groups for every folder, and
// the user database may be a directory server.
const std::set<std::string>& MembersBesideRoot(gid_t gid)
{
    static std::map<gid_t, std::set<std::string>> known;
    auto found = known.find(gid);
    if (found != known.end()) {
        return found->second;
    }
    std::set<std::string>& members = known[gid];
    if (const group* entry = getgrgid(gid)) {
        for (char** member = entry->gr_mem; member != nullptr && *member != nullptr; ++member) {
            members.insert(*member);
        }
    }
    setpwent();
    while (const passwd* user = getpwent()) {
        if (user->pw_gid == gid) {
            members.insert(user->pw_name);
        }
    }
    endpwent();
    members.erase("root");
    return members;
}

std::string GroupName(gid_t gid)
{
    const group* entry = getgrgid(gid);
    return entry != nullptr ? entry->gr_name : std::to_string(gid);
}

std::string Listed(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

}  // namespace

std::vector<std::string> WritersBesideAdministrators(const std::string& path, bool lastOnTheWay)
{
    std::vector<std::string> writers;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return writers;
    }
    const std::string mode = " (mode " + ModeText(info.st_mode) + ")";
    if (info.st_uid != 0) {
        writers.push_back("its owner " + UserName(info.st_uid) +
                          " can change it and its mode: "
                          "chown root " +
                          path);
    }
    const std::set<std::string>& members = MembersBesideRoot(info.st_gid);
    if ((info.st_mode & S_IWGRP) != 0 && !members.empty()) {
        writers.push_back("group " + GroupName(info.st_gid) + " (members: " + Listed(members) +
                          ") can write it" + mode + ": chmod g-w " + path);
    }
    // In a sticky folder others may add names but not replace or remove the root's entries,
    // which is enough for a folder on the way; where the pass creates or names new entries,
    // it is not.
    bool sticky = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0;
    if ((info.st_mode & S_IWOTH) != 0 && (lastOnTheWay || !sticky)) {
        writers.push_back(std::string("everyone can write it") + mode +
                          (sticky ? ", sticky, but anyone can create names in it" : "") +
                          ": chmod o-w " + path);
    }
    return writers;
}
