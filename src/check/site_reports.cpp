#include "check/site_reports.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "check/check_platform.h"
#include "check/csv_records.h"
#include "update/pass_report.h"
#include "update/report_file_name.h"

namespace {

enum Column {
    kFormat,
    kProgram,
    kPassStart,
    kPassEnd,
    kComputer,
    kUser,
    kSettings,
    kRow,
    kEntry,
    kName,
    kVerdict,
    kReason,
    kStep,
    kDestinationVersion,
    kDestinationWritten,
    kSourceVersion,
    kSourceWritten,
    kStart,
    kStartError,
    kColumns
};

bool ReadBounded(const std::string& path, std::string* text, std::string* why)
{
    unsigned long long size = 0;
    FILE* file = OpenRegularFile(path, &size, why);
    if (file == nullptr) {
        return false;
    }
    if (size > kReportReadCap) {
        std::fclose(file);
        *why = "larger than a report can be";
        return false;
    }
    text->resize(static_cast<size_t>(size) + 1);
    size_t got = std::fread(&(*text)[0], 1, text->size(), file);
    std::fclose(file);
    text->resize(got);
    if (got > size) {
        *why = "grew while it was read";
        return false;
    }
    return true;
}

std::string Folder(const std::string& folder)
{
    return folder.empty() || folder.back() == '/' || folder.back() == '\\'
               ? folder
               : folder + kPathSeparator;
}

}  // namespace

bool ParseReport(const std::string& file, const std::string& text, ReportedPass* pass,
                 std::string* why)
{
    size_t at = 0;
    std::vector<std::string> fields;
    std::vector<std::string> header;
    std::string expected = kReportHeader;
    NextCsvRecord(expected, &at, &header);
    at = 0;
    if (!NextCsvRecord(text, &at, &fields) || fields != header) {
        *why = "not a pass report (its header differs)";
        return false;
    }
    bool sawPass = false;
    while (NextCsvRecord(text, &at, &fields)) {
        if (fields.size() != kColumns || fields[kFormat] != kReportFormat) {
            *why = "a row is not of report format " + std::string(kReportFormat);
            return false;
        }
        if (fields[kRow] == "pass" && !sawPass) {
            sawPass = true;
            pass->program = fields[kProgram];
            pass->start = MomentFromText(fields[kPassStart]);
            pass->end = MomentFromText(fields[kPassEnd]);
            pass->computer = fields[kComputer];
            pass->user = fields[kUser];
            pass->settings = fields[kSettings];
            pass->outcome = fields[kVerdict];
            pass->note = fields[kReason];
        } else if (fields[kRow] == "entry" && sawPass) {
            ReportedEntry entry;
            entry.n = static_cast<unsigned>(std::strtoul(fields[kEntry].c_str(), nullptr, 10));
            entry.name = fields[kName];
            entry.verdict = fields[kVerdict];
            entry.reason = fields[kReason];
            entry.step = fields[kStep];
            entry.destinationVersion = fields[kDestinationVersion];
            entry.destinationWritten = fields[kDestinationWritten];
            entry.sourceVersion = fields[kSourceVersion];
            entry.sourceWritten = fields[kSourceWritten];
            entry.start = fields[kStart];
            entry.startError = fields[kStartError];
            pass->entries.push_back(std::move(entry));
        } else {
            *why = "its rows are not a pass row and entry rows";
            return false;
        }
    }
    if (!sawPass || pass->end == 0) {
        *why = "it has no pass row with an end time";
        return false;
    }
    if (file != ReportFileName(pass->computer, pass->user)) {
        *why = "its name is not that of the computer and user it names";
        return false;
    }
    pass->file = file;
    return true;
}

SiteReports ReadSiteReports(const std::string& folder)
{
    SiteReports reports;
    std::vector<std::string> names;
    if (!ListFolderFiles(folder, kReportSuffix, &names, &reports.folderError)) {
        return reports;
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) {
        std::string why;
        ReportedPass pass;
        if (ReadBounded(Folder(folder) + name, &text, &why) &&
            ParseReport(name, text, &pass, &why)) {
            reports.passes.push_back(std::move(pass));
        } else {
            reports.refused.push_back(std::string(name).append(": ").append(why));
        }
    }
    return reports;
}
