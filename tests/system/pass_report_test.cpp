// The pass report that ReportFolder asks for: written once the pass ends, its rows what the
// pass did, a refused start with the platform's error number.
#include <filesystem>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

namespace fs = std::filesystem;
using testing_support::CsvFields;
using testing_support::ReadFile;
using testing_support::WriteFile;

std::vector<std::vector<std::string>> ReportRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every row ends in CR LF";
        if (end == std::string::npos) {
            break;
        }
        rows.push_back(CsvFields(text.substr(at, end - at)));
        at = end + 2;
    }
    return rows;
}

class PassReport : public SystemTest {};

TEST_F(PassReport, ItsRowsAreWhatThePassDidAndARefusedStartHasItsError)
{
    fs::create_directories(Native("reports"));
    // A file that is no program: POSIX refuses to run a file without the execute bit, Windows
    // one that is not an executable image.
    WriteFile(Native("not-a-program.exe"), "this is text\n");
    WriteMixedEntries({{"Refused start", Visible("master-a.exe"), Visible("installed-f.exe"),
                        Visible("not-a-program.exe")}},
                      "ReportFolder=" + Visible("reports") + "\r\n");
    EXPECT_EQ(Run({}).exitStatus, 0);
    EXPECT_EQ(WaitForMarkers({"a", "d"}), (std::vector<std::string>{"a", "d"}));

    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Native("reports"))) {
        files.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(files.size(), 1u) << "one report, no temporary file left";
    auto rows = ReportRows(ReadFile(Native("reports/" + files[0])));
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0][0], "ReportFormat");
    EXPECT_EQ(files[0], rows[1][4] + "." + rows[1][5] + ".csv");  // computer.user.csv
    EXPECT_EQ(rows[1][6], Visible("prog/Quorvel.ini"));           // the settings file the pass read
    // Entry, verdict, step, start, error for each row after the header.
    const std::vector<std::vector<std::string>> expected = {
        {"", "complete", "", "", ""},
        {"1", "due", "destination not found", "started", ""},
        {"2", "current", "dates decide", "", ""},
        {"3", "skipped", "", "", ""},
        {"4", "due", "versions differ", "started", ""},
        {"5", "not due", "source not found", "", ""},
        {"6", "due", "destination not found", "failed", UnderWine() ? "193" : "5"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& row = rows[i + 1];
        ASSERT_EQ(row.size(), rows[0].size()) << "row " << i + 1;
        EXPECT_EQ(row[0], "1");
        EXPECT_EQ((std::vector<std::string>{row[8], row[10], row[12], row[17], row[18]}),
                  expected[i])
            << "row " << i + 1;
    }
    EXPECT_EQ(rows[5][13], "1.0.0.0");  // Destination's version, then Source's
    EXPECT_EQ(rows[5][15], "1.1.0.0");
    EXPECT_EQ(rows[2][14], rows[2][16]);  // the same moment on both sides
    // The log still has its line for the refused start, written before the start.
    EXPECT_NE(ReadFile(DefaultLog()).find(" - Refused start"), std::string::npos);
}

TEST_F(PassReport, AnUnreachableFolderIsSilentAndTheSetupsStillStart)
{
    WriteMixedEntries({}, "ReportFolder=" + Visible("no/such/folder") + "\r\n");
    auto run = Run({});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(WaitForMarkers({"a", "d"}), (std::vector<std::string>{"a", "d"}));
}

}  // namespace
}  // namespace system_tests
