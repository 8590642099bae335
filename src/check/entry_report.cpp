#include "check/entry_report.h"

#include <cstring>
#include <new>

#include "check/check_platform.h"
#include "check/text_format.h"
#include "core/settings_names.h"
#include "core/skip_running_setting.h"
#include "update/expand_variables.h"

namespace {

// The folder part of a searched path, with its separator: the search gives only the entry's
// own name.
std::string FolderOf(const std::string& path)
{
    size_t cut = path.find_last_of(std::string("/") + kPathSeparator);
    return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

// The version line of one side: a pattern's match is read as a file of its own as well.
std::string VersionText(const SideDetail& detail)
{
    if (!detail.pattern || detail.hasVersion) {
        return DescribeVersion(detail.hasVersion, detail.version);
    }
    return "version resource not read: the decision reads it from the path as written, and a "
           "pattern names no file (the match itself has " +
           (detail.matchHasVersion ? DescribeVersion(true, detail.matchVersion)
                                   : std::string("none")) +
           ")";
}

unsigned CountMatches(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    unsigned matches = 1;
    while (FindNextFileA(search, &found)) {
        ++matches;
    }
    FindClose(search);
    return matches;
}

void FillDetail(const std::string& path, const SideEvidence& seen, SideDetail* detail)
{
    detail->pattern = path.find_first_of("*?") != std::string::npos;
    if (!seen.found) {
        if (seen.searched) {
            detail->whyNotFound = WhyNotFound(path);
            std::string folder = FolderOf(path);
            detail->folderMissing = !folder.empty() && !FolderExists(folder);
        }
        return;
    }
    detail->resolved = detail->pattern ? FolderOf(path) + seen.stamp.name : path;
    detail->matches = CountMatches(path);
    if (seen.versionRead) {
        detail->hasVersion = true;
        std::memcpy(detail->version, seen.version, sizeof detail->version);
    } else {
        detail->hasVersion = ReadFileVersion(path, detail->version);
    }
    if (detail->pattern) {
        detail->matchHasVersion = ReadFileVersion(detail->resolved, detail->matchVersion);
    }
}

std::string MomentText(const SideEvidence& seen)
{
    return FormatDosMoment(seen.stamp.date, seen.stamp.time) + " (date " +
           FormatWord(seen.stamp.date) + ", time " + FormatWord(seen.stamp.time) + ")";
}

std::string JoinArguments(const std::vector<std::string>& args, const char* separator)
{
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
        text += (i ? separator : "") + ("[" + args[i] + "]");
    }
    return text;
}

// The value as the settings file gives it, when expansion changed it.
std::string WrittenText(const char* written, const char* used)
{
    return std::string(written) == used ? "" : std::string("      as written ") + written + "\n";
}

std::string SideText(const char* label, const char* path, const char* written,
                     const SideEvidence& seen, const SideDetail& detail)
{
    std::string text = std::string("  ") + label + path + "\n" + WrittenText(written, path);
    if (!seen.searched) {
        return text + "      not looked at: the decision stopped before it\n";
    }
    if (!seen.found) {
        return text + "      not found: " + detail.whyNotFound + "\n";
    }
    text += "      file " + detail.resolved + " (" +
            CountedText(detail.matches, "match", "matches") +
            (detail.matches == 1 ? ")\n" : ", the first is taken)\n");
    text += "      " + VersionText(detail) + "\n";
    return text + "      last write " + MomentText(seen) + "\n";
}

std::string SetupText(const EntryResult& result)
{
    const SetupForecast& setup = result.setup;
    const char* label = result.verdict != UpdateVerdict::LaunchSetup || result.inProgress
                            ? "  setup       "
                        : setup.starts ? "  would start "
                                       : "  would try   ";
    std::string text = label + std::string(result.entry.setupApp) + "\n" +
                       WrittenText(result.written.setupApp, result.entry.setupApp);
    if (result.inProgress) {
        text += "      still running: an earlier pass started it; SkipRunningSetups leaves it "
                "to finish, with no second copy and no line\n";
    }
    if (!setup.program.empty()) {
        text += "      program " + setup.program + (setup.how.empty() ? "" : ": " + setup.how) +
                "\n";
    }
    if (setup.starts) {
        text += "      arguments " + JoinArguments(setup.arguments, " ") + "\n";
    }
    if (!setup.why.empty()) {
        text += std::string(setup.starts ? "      fails: " : "      cannot start: ") + setup.why +
                "\n";
    }
    return text;
}

std::string SideCsv(const SideEvidence& seen, const SideDetail& detail)
{
    if (!seen.found) {
        return CsvCell(seen.searched ? "not found: " + detail.whyNotFound : "not looked at") +
               ",,,,,";
    }
    return CsvCell(detail.resolved) + "," + std::to_string(detail.matches) + "," +
           CsvCell(VersionText(detail)) + "," + FormatWord(seen.stamp.date) + "," +
           FormatWord(seen.stamp.time) + "," + FormatDosMoment(seen.stamp.date, seen.stamp.time);
}

}  // namespace

bool FindsEntry(const std::string& path, WIN32_FIND_DATAA* found)
{
    HANDLE search = FindFirstFileA(path.c_str(), found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

bool ReadFileVersion(const std::string& path, DWORD version[4])
{
    DWORD unusedHandle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unusedHandle);
    if (size == 0) {
        return false;
    }
    char* block = new (std::nothrow) char[size];
    if (block == nullptr) {
        return false;
    }
    bool read = GetFileVersionInfoA(path.c_str(), 0, size, block) &&
                ReadVersionWords(block, version);
    delete[] block;
    return read;
}

std::string DescribeVersion(bool hasVersion, const DWORD version[4])
{
    if (!hasVersion) {
        return "no version resource";
    }
    return "file version " + FormatVersion(version[0], version[1]) + ", product version " +
           FormatVersion(version[2], version[3]);
}

EntryResult ExamineEntry(UINT n, const std::string& settingsPath, bool expand)
{
    EntryResult result;
    result.n = n;
    result.expand = expand;
    result.takesPart = ReadAppEntry(n, settingsPath.c_str(), &result.entry);
    result.written = result.entry;
    if (result.takesPart && expand) {
        result.takesPart = ExpandEntryFields(&result.entry);
    }
    if (!result.takesPart) {
        return result;
    }
    result.verdict = DecideUpdateWithEvidence(result.entry.destination, result.entry.source,
                                              &result.evidence);
    FillDetail(result.entry.destination, result.evidence.destination, &result.destination);
    FillDetail(result.entry.source, result.evidence.source, &result.source);
    result.setup = ForecastSetupStart(result.entry.setupApp);
    result.inProgress = result.verdict == UpdateVerdict::LaunchSetup &&
                        ReadSkipRunningSetups(settingsPath.c_str()) != 0 &&
                        FindEarlierSetup(settingsPath.c_str(), result.entry.setupApp) ==
                            EarlierSetup::StillRunning;
    return result;
}

std::string DescribeStep(const EntryResult& result)
{
    const UpdateEvidence& seen = result.evidence;
    std::string text;
    switch (seen.step) {
    case DecidingStep::DestinationNotFound:
        return "step 1: Destination not found";
    case DecidingStep::SourceNotFound:
        return "step 2: Source not found";
    case DecidingStep::NoVersionResource: {
        auto side = [](const char* name, const SideDetail& detail) {
            return name +
                   std::string(detail.pattern ? " (a pattern, through which none is read)" : "");
        };
        bool destinationNone = seen.destination.versionSize == 0;
        bool sourceNone = seen.source.versionSize == 0;
        bool pattern = result.destination.pattern || result.source.pattern;
        text = "step 3: no version resource on ";
        if (destinationNone && sourceNone) {
            text += pattern ? side(kDestinationKey, result.destination) + " nor " +
                                  side(kSourceKey, result.source)
                            : "either file";
        } else {
            text += destinationNone ? side(kDestinationKey, result.destination)
                                    : side(kSourceKey, result.source);
        }
        break;
    }
    case DecidingStep::BlockNotAllocated:
        return "steps 4-5: a version block could not be allocated";
    case DecidingStep::BlockNotRead:
        text = "steps 6-7: a version block could not be read";
        break;
    case DecidingStep::NoFixedFileInfo:
        text = "step 8: a version block holds no fixed file information";
        break;
    case DecidingStep::VersionsDiffer: {
        int word = 0;
        while (word < 3 && seen.source.version[word] == seen.destination.version[word]) {
            ++word;
        }
        return std::string("step 8: the ") + (word < 2 ? "file" : "product") +
               " versions differ; Source's is " +
               (result.verdict == UpdateVerdict::LaunchSetup ? "higher" : "lower");
    }
    case DecidingStep::DatesDecide:
        text = "step 8: the version quadruples are equal";
        break;
    }
    const FileStamp& source = seen.source.stamp;
    const FileStamp& destination = seen.destination.stamp;
    const char* comparison = source.date != destination.date
                                 ? (source.date > destination.date ? "a later date"
                                                                   : "an earlier date")
                             : source.time > destination.time ? "the same date, a later time"
                             : source.time < destination.time ? "the same date, an earlier time"
                                                              : "the same date and time";
    return text + "; by date and time, Source has " + comparison;
}

std::string VerdictText(const EntryResult& result)
{
    if (!result.takesPart) {
        return "skipped";
    }
    if (result.inProgress) {
        return "in progress: started by an earlier pass, still running";
    }
    if (result.verdict == UpdateVerdict::LaunchSetup) {
        return "due";
    }
    return result.evidence.step == DecidingStep::SourceNotFound ? "not due: Source not found"
                                                                : "current";
}

std::string EntryText(const EntryResult& result)
{
    const AppEntry& entry = result.entry;
    std::string text = "[" + std::string(entry.section) + "] " + entry.name + ": " +
                       VerdictText(result) + "\n";
    if (!result.takesPart) {
        return text + "  empty: " + EmptyEntryKeys(entry, ", ") + ", so the entry is skipped\n";
    }
    text += SideText("Destination ", entry.destination, result.written.destination,
                     result.evidence.destination, result.destination);
    if (result.destination.folderMissing) {
        text += "      its folder does not exist either: the setup program may not be able to "
                "create it\n";
    }
    text += SideText("Source      ", entry.source, result.written.source, result.evidence.source,
                     result.source);
    text += "  decided by  " + DescribeStep(result) + "\n";
    return text + SetupText(result);
}

std::string EntryCsvHeader()
{
    return "Entry,Name,Verdict,EmptyKeys,Destination,DestinationFile,DestinationMatches,"
           "DestinationVersion,DestinationDosDate,DestinationDosTime,DestinationLastWrite,"
           "Source,SourceFile,SourceMatches,SourceVersion,SourceDosDate,SourceDosTime,"
           "SourceLastWrite,Step,SetupApp,SetupArguments,SetupProgram,SetupStarts,"
           "SetupFault,LongestWaitSeconds\r\n";
}

std::string EntryCsvRow(const EntryResult& result, unsigned long long longestWaitSeconds)
{
    std::string wait = "," + std::to_string(longestWaitSeconds) + "\r\n";
    const AppEntry& entry = result.entry;
    std::string row = std::to_string(result.n) + "," + CsvCell(entry.name) + "," +
                      CsvCell(VerdictText(result)) + "," + CsvCell(EmptyEntryKeys(entry, ", ")) +
                      "," + CsvCell(entry.destination) + ",";
    if (!result.takesPart) {
        return row + ",,,,,," + CsvCell(entry.source) + ",,,,,,,," + CsvCell(entry.setupApp) +
               ",,,," + wait;
    }
    const SetupForecast& setup = result.setup;
    row += SideCsv(result.evidence.destination, result.destination) + "," + CsvCell(entry.source) +
           "," + SideCsv(result.evidence.source, result.source) + ",";
    return row + CsvCell(DescribeStep(result)) + "," + CsvCell(entry.setupApp) + "," +
           CsvCell(JoinArguments(setup.arguments, " ")) + "," + CsvCell(setup.program) + "," +
           (setup.starts ? "yes" : "no") + "," + CsvCell(setup.why) + wait;
}
