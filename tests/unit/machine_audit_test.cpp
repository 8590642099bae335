// What the machine pass trusts, on POSIX: each row gives one file (and its folder) an owner,
// group and mode, and names the problem the audit must find, or none.
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "check/machine_audit.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;

std::string Problems(const Findings& findings)
{
    std::string text;
    for (const Finding& problem : findings.problems) {
        text += problem.where + ": " + problem.text + "\n";
    }
    return text;
}

TEST(MachineAudit, OneOwnerGroupAndModePerRow)
{
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "needs root (to give files away) and a user named nobody";
    }
    const group* nobodysGroup = getgrgid(nobody->pw_gid);
    const std::string groupName = nobodysGroup != nullptr ? nobodysGroup->gr_name : "";
    const struct {
        bool ownedByNobody;
        bool nobodysGroup;
        mode_t fileMode, folderMode;
        std::string expected;  // "@" for the folder; "" for no problem at all
    } rows[] = {
        {false, false, 0644, 0755, ""},
        {false, false, 0664, 0755, ""},  // group root, with no member but root
        {false, false, 0646, 0755,
         "@/s.ini: the settings file, which the machine pass trusts: everyone can write it "
         "(mode 0646): chmod o-w @/s.ini"},
        {true, false, 0644, 0755,
         "@/s.ini: the settings file, which the machine pass trusts: its owner nobody can "
         "change it and its mode: chown root @/s.ini"},
        {false, true, 0664, 0755,
         "@/s.ini: the settings file, which the machine pass trusts: group " + groupName +
             " (members: *) can write it (mode 0664): chmod g-w @/s.ini"},
        {false, false, 0644, 0757,
         "@: a folder on the way to the settings file, which the machine pass trusts: everyone "
         "can write it (mode 0757): chmod o-w @"},
        {false, false, 0644, 01777, ""},  // sticky: others cannot replace root's file
    };
    for (const auto& row : rows) {
        TempDir dir;
        std::string folder = dir / "share";
        mkdir(folder.c_str(), 0755);
        std::string file = folder + "/s.ini";
        testing_support::WriteFile(file, "[Quorvel]\n");
        ASSERT_EQ(chown(file.c_str(), row.ownedByNobody ? nobody->pw_uid : 0,
                        row.nobodysGroup ? nobody->pw_gid : 0),
                  0);
        chmod(file.c_str(), row.fileMode);
        chmod(folder.c_str(), row.folderMode);
        std::string found = Problems(AuditMachinePass({{"the settings file", file}}));
        // Only this row's own folder and file: the temporary folders above are the machine's.
        std::string own;
        for (size_t at = 0, end; (end = found.find('\n', at)) != std::string::npos; at = end + 1) {
            std::string line = found.substr(at, end - at + 1);
            own += line.compare(0, folder.size(), folder) == 0 ? line : "";
        }
        // The group's members are the machine's; nobody must be among them.
        size_t members = own.find("(members: ");
        if (members != std::string::npos) {
            size_t close = own.find(')', members);
            EXPECT_NE(own.substr(members, close - members).find("nobody"), std::string::npos);
            own.replace(members + 10, close - members - 10, "*");
        }
        std::string expected = row.expected;
        for (size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@')) {
            expected.replace(at, 1, folder);
        }
        EXPECT_EQ(own, expected.empty() ? "" : expected + "\n") << row.expected;
    }
}

TEST(MachineAudit, TheLogsFolderMayNotBeOpenToAnyoneEvenSticky)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, so that the folder is root's";
    }
    TempDir dir;
    std::string logs = dir / "logs";
    mkdir(logs.c_str(), 0755);
    chmod(logs.c_str(), 01777);
    std::string found = Problems(AuditMachinePass({{"the log's folder", logs}}));
    EXPECT_NE(found.find(logs +
                         ": the log's folder, which the machine pass trusts: everyone can "
                         "write it (mode 1777), sticky, but anyone can create names in it: "
                         "chmod o-w " +
                         logs + "\n"),
              std::string::npos)
        << found;
}

}  // namespace
