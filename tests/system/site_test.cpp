// The site at a glance from the simulated ten-computer site (support/site_scenario.h): the
// companion's CSV, text and page give the scenario's true numbers.
#include <algorithm>
#include <filesystem>
#include <map>

#include "support/site_scenario.h"
#include "system/system_fixture.h"

namespace system_tests {
namespace {

using testing_support::CsvFields;
using testing_support::ReadFile;

class Site : public SystemTest {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(Native("reports"));
        testing_support::WriteSiteScenario(Native("reports"), Native("Quorvel.log"));
    }
    testing_support::ProcessResult RunSite(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"/site=" + Visible("reports"),
                                         "/log=" + Visible("Quorvel.log")};
        args.insert(args.end(), more.begin(), more.end());
        return RunCheck(args);
    }
};

TEST_F(Site, TenComputersGiveTheScenariosNumbers)
{
    testing_support::ProcessResult csv = RunSite({"/csv"});
    EXPECT_EQ(csv.exitStatus, 2) << csv.output;  // failures found
    // Application: state of each computer, "computer=state" in computer order.
    std::map<std::string, std::string> states;
    size_t at = csv.output.find("\r\n") + 2;
    ASSERT_EQ(csv.output.substr(0, at),
              "Application,Computer,State,Installed,Reason,StartError,StartsForOneMaster,"
              "Reported\r\n");
    std::map<std::string, int> errors;
    for (size_t end; (end = csv.output.find("\r\n", at)) != std::string::npos; at = end + 2) {
        auto fields = CsvFields(csv.output.substr(at, end - at));
        ASSERT_EQ(fields.size(), 8u) << csv.output.substr(at, end - at);
        if (fields[2] != "current") {
            states[fields[0]] += fields[1] + "=" + fields[2] +
                                 (fields[5].empty() ? "" : "/" + fields[5]) +
                                 (fields[6].empty() ? "" : "*" + fields[6]) + " ";
        }
    }
    EXPECT_EQ(states, (std::map<std::string, std::string>{
                          {"Phone Book", "PC03=not due "},
                          {"Team Notes", "PC07=due PC08=failing/740 PC09=failing*3 "},
                          {"Timesheets", "PC02=in progress "},
                          {"Viewer", "PC05=failing/2 "}}));

    testing_support::ProcessResult text = RunSite({"/html=" + Visible("site.html"),
                                                   "/stale-days=5"});
    // The Windows console's line ends are CR LF.
    text.output.erase(std::remove(text.output.begin(), text.output.end(), '\r'), text.output.end());
    for (const char* expected :
         {"Site: 10 pass reports in ", "install log ", ": 42 launches\n",
          "  Team Notes: 7 current, 1 due, 2 failing, 0 in progress, 0 not due, 0 skipped;",
          "    installed: 0.9.0.0 (3) 1.0.0.0 (1) 3.0.0.0 (6)\n",
          "  Viewer: 9 current, 0 due, 1 failing, 0 in progress, 0 not due, 0 skipped;",
          "  error 740 on 1 computer: needs administrator rights: use the machine pass\n",
          "  re-install loop on 1 computer: ", "  Source not found on 1 computer: ",
          "Computers not seen for more than 5 days\n  PC10: last seen "}) {
        EXPECT_NE(text.output.find(expected), std::string::npos) << expected << "\n" << text.output;
    }
    std::string page = ReadFile(Native("site.html"));
    for (const char* expected :
         {"<!DOCTYPE html>", "<caption>Computers by state, per application</caption>",
          "aria-label=\"Team Notes: computers by state, 10 in all\"", "<title>7 current</title>",
          "<title>2 failing</title>", "master written ", "<td>PC10</td>",
          "needs administrator rights: use the machine pass",
          "Reports are what the workstations claim"}) {
        EXPECT_NE(page.find(expected), std::string::npos) << expected;
    }
    // Nothing to run and nothing to fetch: the only address is the SVG namespace's name.
    for (const char* absent : {"<script", "https://", " src=", "url(", "@import"}) {
        EXPECT_EQ(page.find(absent), std::string::npos) << absent;
    }
    auto count = [&page](const std::string& needle) {
        size_t found = 0;
        for (size_t from = page.find(needle); from != std::string::npos;
             from = page.find(needle, from + 1)) {
            ++found;
        }
        return found;
    };
    EXPECT_EQ(count("http://"), count("http://www.w3.org/2000/svg"));
}

TEST_F(Site, AForgedOrBrokenReportIsLeftOutAndNamed)
{
    // A report under another computer's name, and a file that is no report.
    std::filesystem::copy_file(Native("reports/PC01.user01.csv"),
                               Native("reports/PC99.mallory.csv"));
    testing_support::WriteFile(Native("reports/notes.csv"), "a,b\r\n1,2\r\n");
    testing_support::ProcessResult text = RunSite({});
    EXPECT_NE(text.output.find("Site: 10 pass reports"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("not read: PC99.mallory.csv: its name is not that of the computer "
                               "and user it names"),
              std::string::npos)
        << text.output;
    EXPECT_NE(text.output.find("not read: notes.csv: not a pass report"), std::string::npos);
}

}  // namespace
}  // namespace system_tests
