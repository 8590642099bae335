// The companion's forecast of the rights a setup program needs: its manifest as the PE reader
// finds it (programs built with the MinGW resource compiler), installer detection by name, and
// msiexec installs, for a user's log-on pass and for the machine pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/manifest_text.h"
#include "check/rights_forecast.h"
#include "support/pe_fixture.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;

std::string Joined(const RightsFindings& found)
{
    std::string text;
    for (const std::string& problem : found.problems) {
        text += "problem: " + problem + "\n";
    }
    for (const std::string& note : found.notes) {
        text += "note: " + note + "\n";
    }
    return text;
}

TEST(RightsForecast, OneProgramPerRow)
{
    const char kRequire[] = " needs administrator rights (requireAdministrator): a standard "
                            "user's run cannot start it (error 740); put this entry in the "
                            "machine pass";
    const struct {
        std::string fixture;            // "" for a text file
        std::string name;               // what the copy is called
        std::vector<std::string> more;  // arguments after the program
        bool machinePass;
        std::string expected;  // a line of Joined with "@" for the program; "" for none
    } rows[] = {
        {"manifest_requireAdministrator.exe",
         "tool.exe",
         {},
         false,
         "problem: @" + std::string(kRequire)},
        {"manifest_requireAdministrator.exe", "tool.exe", {}, true, ""},
        {"manifest_highestAvailable.exe",
         "tool.exe",
         {},
         false,
         "note: @ asks for the highest rights available (highestAvailable): a standard user's "
         "run starts it with standard rights, and an administrator's log-on run would ask to "
         "elevate"},
        {"manifest_asInvoker.exe", "setup.exe", {}, false, ""},  // a manifest turns detection off
        {"plain_pe32.exe", "tool.exe", {}, false, ""},
        {"plain_pe32.exe", "Notes-Setup.exe", {}, true, ""},
        {"plain_pe32.exe",
         "Notes-Setup.exe",
         {},
         false,
         "note: @ is a 32-bit program whose manifest does not say which rights it needs, and its "
         "name holds \"setup\": where installer detection is on (the Windows default outside a "
         "domain), Windows takes it for an installer and asks for administrator rights, so a "
         "standard user's run cannot start it (error 740); put this entry in the machine pass, "
         "or give it a manifest that asks asInvoker"},
        {"plain_pe64.exe", "update.exe", {}, false, ""},  // detection looks at 32-bit programs
        {"manifest_malformed.exe",
         "tool.exe",
         {},
         true,
         "problem: @: its manifest is malformed (not well-formed XML): Windows refuses to start "
         "it (error 14001, side-by-side configuration)"},
        {"manifest_oversized.exe",
         "tool.exe",
         {},
         false,
         "note: @: its manifest is larger than 64 KiB and was not read: the rights it asks for "
         "are not known"},
        {"", "install.sh", {}, false, ""},  // not a PE image
        {"",
         "msiexec.exe",
         {"/i", "\\\\srv\\apps\\notes.msi", "/qn"},
         false,
         "note: msiexec installs a package: a per-machine package (ALLUSERS=1, the usual case) "
         "needs administrator rights, and with /qn it cannot ask for them, so it fails in a "
         "standard user's run; put this entry in the machine pass unless the package installs "
         "per user (the package's own ALLUSERS property was not read)"},
        {"",
         "MsiExec",
         {"/Package", "n.msi", "ALLUSERS=2"},
         false,
         "note: msiexec installs a package: a per-machine package (ALLUSERS=1, the usual case) "
         "needs administrator rights; put this entry in the machine pass unless the package "
         "installs per user (the command line sets ALLUSERS=2)"},
        {"", "msiexec.exe", {"/x", "n.msi", "/qn"}, false, ""},
        {"", "msiexec.exe", {"/i", "n.msi"}, true, ""},
    };
    for (const auto& row : rows) {
        TempDir dir;
        std::string program = dir / row.name;
        if (row.fixture.empty()) {
            testing_support::WriteFile(program, "#!/bin/sh\n");
        } else {
            testing_support::CopyPeFixture(row.fixture, program);
        }
        std::vector<std::string> arguments = {program};
        arguments.insert(arguments.end(), row.more.begin(), row.more.end());
        std::string found = Joined(ForecastSetupRights(program, arguments, row.machinePass));
        std::string expected = row.expected;
        if (expected.find('@') != std::string::npos) {
            expected.replace(expected.find('@'), 1, program);
        }
        EXPECT_EQ(found, expected.empty() ? "" : expected + "\n")
            << row.fixture << " as " << row.name;
    }
}

TEST(RightsForecast, ManifestTexts)
{
    const std::string head = "<?xml version=\"1.0\"?><!-- c --><assembly><trustInfo><security>"
                             "<requestedPrivileges>";
    const std::string tail = "</requestedPrivileges></security></trustInfo></assembly>";
    const struct {
        std::string text;
        bool wellFormed;
        ExecutionLevel level;
    } rows[] = {
        {head + "<requestedExecutionLevel level='requireAdministrator'/>" + tail, true,
         ExecutionLevel::RequireAdministrator},
        {"\xEF\xBB\xBF" + head + "<v3:requestedExecutionLevel level=\"highestAvailable\" />" + tail,
         true, ExecutionLevel::HighestAvailable},
        {head + "<requestedExecutionLevel level=\"requireAdmin\"/>" + tail, true,
         ExecutionLevel::Unknown},
        {"<assembly><dependency/></assembly>", true, ExecutionLevel::Unstated},
        {head + "<requestedExecutionLevel level=\"asInvoker\">" + tail, false,
         ExecutionLevel::AsInvoker},
        {"<assembly>", false, ExecutionLevel::Unstated},
        {"<assembly/><assembly/>", false, ExecutionLevel::Unstated},
        {"<assembly a=b/>", false, ExecutionLevel::Unstated},
        {"text<assembly/>", false, ExecutionLevel::Unstated},
        {"", false, ExecutionLevel::Unstated},
        {std::string("\xFF\xFE<\0a\0/\0>\0", 10), true, ExecutionLevel::Unstated},
    };
    for (const auto& row : rows) {
        ManifestReading reading = ReadManifestText(row.text);
        EXPECT_EQ(reading.wellFormed, row.wellFormed) << row.text;
        EXPECT_EQ(reading.level, row.level) << row.text;
    }
}

}  // namespace
