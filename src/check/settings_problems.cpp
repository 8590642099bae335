#include "check/settings_problems.h"

#include <algorithm>
#include <iterator>

#include "check/check_platform.h"
#include "check/entry_report.h"
#include "check/log_probe.h"
#include "check/text_format.h"
#include "core/settings_names.h"
#include "core/skip_running_setting.h"
#include "text/ascii_case.h"
#include "text/windows_command_line.h"
#include "update/expand_variables.h"

namespace {

const std::vector<std::string> kProgramKeyNames(std::begin(kQuorvelKeys), std::end(kQuorvelKeys));
const std::vector<std::string> kEntryKeyNames(std::begin(kEntryKeys), std::end(kEntryKeys));
constexpr UINT kDayOfMinutes = 24 * 60;
constexpr size_t kMissingListed = 20;  // missing sections named one by one, then a count

size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

class FindingList {
public:
    explicit FindingList(const std::string& file) : file_(file) {}
    void Add(unsigned line, const std::string& text)
    {
        findings_.problems.push_back(At(line, text));
    }
    void Note(unsigned line, const std::string& text) { findings_.notes.push_back(At(line, text)); }
    Findings Take() { return std::move(findings_); }

private:
    Finding At(unsigned line, const std::string& text) const
    {
        return {line ? file_ + ":" + std::to_string(line) : file_, text};
    }

    std::string file_;
    Findings findings_;
};

// The entry a section name was meant for when the pass does not read it as one: "App05",
// "App 5", "App_5" mean entry 5 (and "App0" entry 0, which is never examined).
bool MeantEntryNumber(const std::string& name, unsigned long long* n)
{
    const size_t prefix = sizeof kEntrySectionPrefix - 1;
    if (name.size() <= prefix ||
        !EqualIgnoringAsciiCase(name.substr(0, prefix), kEntrySectionPrefix)) {
        return false;
    }
    std::string digits;
    for (char c : name.substr(prefix)) {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (!digits.empty() || (c != ' ' && c != '\t' && c != '_' && c != '+' && c != '#')) {
            return false;
        }
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.empty() || digits.size() > 10) {
        return false;
    }
    *n = std::stoull(digits);
    return *n <= 0xFFFFFFFFull;
}

void CheckSectionName(const IniSection& section, FindingList* findings)
{
    unsigned long long n = 0;
    if (AppSectionNumber(section.name, nullptr) || !MeantEntryNumber(section.name, &n)) {
        return;
    }
    std::string number = std::to_string(n);
    findings->Add(section.line, n == 0 ? "[" + section.name +
                                             "] is never read: entries are "
                                             "numbered from 1"
                                       : "[" + section.name + "] is not read as entry " + number +
                                             ": the pass reads entry " + number +
                                             " from a section named [App" + number + "]");
}

// Count, Delay, SpreadSeconds and SkipRunningSetups: written negative, beyond 32 bits or not as a
// plain number.
void CheckNumber(const IniKey& key, UINT readAs, FindingList* problems)
{
    const std::string& text = key.value;
    std::string reads = "; it reads as " + std::to_string(readAs);
    bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (!text.empty() && text[0] == '-') {
        problems->Add(key.line, key.name + "=" + text + " is negative" + reads);
    } else if (digits && (text.size() > 10 || std::stoull(text) > 0xFFFFFFFFull)) {
        problems->Add(key.line, key.name + "=" + text + " is beyond 32 bits" + reads);
    } else if (!digits) {
        problems->Add(key.line, key.name + "=" + text + " is not a plain number" + reads);
    }
}

void CheckKeys(const IniSection& section, const std::vector<std::string>& known,
               FindingList* problems)
{
    for (size_t i = 0; i < section.keys.size(); ++i) {
        const IniKey& key = section.keys[i];
        const IniKey* first = FindKey(section, key.name);
        if (first != &key) {
            problems->Add(key.line, key.name + " again in [" + section.name +
                                        "]: the first, at "
                                        "line " +
                                        std::to_string(first->line) + ", wins");
            continue;
        }
        bool isKnown = std::any_of(known.begin(), known.end(), [&](const std::string& name) {
            return EqualIgnoringAsciiCase(name, key.name);
        });
        if (!isKnown) {
            std::string nearest = NearestKey(key.name, known);
            problems->Add(key.line, key.name + " in [" + section.name + "] is never read" +
                                        (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
        }
    }
}

// ReportFolder: a folder this user's pass can write its report into, or the report is dropped.
void CheckReportFolder(const IniKey& key, FindingList* problems)
{
    const std::string& folder = key.value;
    std::string dropped = ": the pass writes no report";
    if (folder.empty()) {
        return;
    }
    if (folder.size() >= MAX_PATH - 1) {
        problems->Add(key.line, "ReportFolder is " + std::to_string(folder.size()) +
                                    " characters long, which the pass may read cut" + dropped);
    } else if (!FolderExists(folder)) {
        problems->Add(key.line, "ReportFolder " + folder + " does not exist here" + dropped);
    } else if (!CanCreateIn(folder)) {
        problems->Add(key.line, "ReportFolder " + folder +
                                    ": this user cannot create a file "
                                    "in it" +
                                    dropped);
    }
}

// A path value: a Windows path on this platform is a problem, a relative one a note.
void CheckPath(const IniSection& section, const IniKey& key, const std::string& path,
               const char* relative, FindingList* findings)
{
    std::string named = key.name + " in [" + section.name + "]";
    if (IsForeignWindowsPath(path)) {
        findings->Add(key.line, named + " is a Windows path: here " + path +
                                    " names a file of "
                                    "that name in the current folder (" +
                                    LogonCurrentFolder() + ")");
    } else if (!IsAbsolutePath(path)) {
        std::string text = named + " " + relative + ": it is taken from the current folder (" +
                           LogonCurrentFolder() + ")";
        if (LowerAsciiText(key.name) == "setupapp" && CheckRunsAsSystemAccount()) {
            findings->Add(key.line, text + ", and whoever can write there runs a program as "
                                           "root or SYSTEM: give the program's full path");
        } else {
            findings->Note(key.line, text);
        }
    }
}

// A key's value as the pass uses it: expanded when ExpandVariables is on ("" when it cannot be).
std::string ValueUsed(const IniKey& key, bool expand)
{
    char expanded[MAX_PATH];
    return !expand ? key.value : ExpandEntryValue(key.value.c_str(), expanded) ? expanded : "";
}

void CheckEntryPaths(const IniSection& section, bool expand, FindingList* findings)
{
    for (const char* name : {kSourceKey, kDestinationKey}) {
        const IniKey* key = FindKey(section, name);
        std::string path = key != nullptr ? ValueUsed(*key, expand) : "";
        if (!path.empty()) {
            CheckPath(section, *key, path, "is a relative path", findings);
        }
    }
    // A program named without a folder is searched for, not taken from the current folder.
    const IniKey* setup = FindKey(section, kSetupAppKey);
    std::vector<std::string> args = setup != nullptr
                                        ? SplitWindowsCommandLine(ValueUsed(*setup, expand))
                                        : std::vector<std::string>{};
    if (!args.empty() && args[0].find_first_of("/\\") != std::string::npos) {
        CheckPath(section, *setup, args[0], "starts its program by a relative path", findings);
    }
}

void CheckEntry(const IniSection& section, bool expand, FindingList* problems)
{
    std::string empty;
    for (const std::string& name : kEntryKeyNames) {
        const IniKey* key = FindKey(section, name);
        if (key == nullptr || key->value.empty()) {
            empty += (empty.empty() ? "" : ", ") + name;
        }
    }
    if (!empty.empty()) {
        problems->Add(section.line,
                      "[" + section.name + "] has no " + empty + ": the entry is skipped");
    }
    CheckEntryPaths(section, expand, problems);
}

void CheckSectionsAgainstCount(const IniScan& scan, UINT count, unsigned countLine,
                               FindingList* problems)
{
    UINT highest = 0;
    for (const IniSection& section : scan.sections) {
        UINT n = 0;
        if (!AppSectionNumber(section.name, &n)) {
            continue;
        }
        highest = std::max(highest, n);
        if (n > count) {
            problems->Add(section.line, "[" + section.name + "] is beyond Count=" +
                                            std::to_string(count) + ": it is never examined");
        }
    }
    std::vector<UINT> present = EntriesWithSection(count, scan);
    // The gaps below the highest section, walked without visiting every number.
    size_t missing = present.empty() ? 0 : present.back() - present.size();
    size_t listed = 0;
    UINT expected = 1;
    for (UINT n : present) {
        for (; expected < n && listed < kMissingListed; ++expected, ++listed) {
            problems->Add(countLine, "[App" + std::to_string(expected) +
                                         "] is missing below "
                                         "Count=" +
                                         std::to_string(count) + ": the entry is skipped");
        }
        expected = n + 1;
    }
    if (missing > listed) {
        problems->Add(countLine, std::to_string(missing - listed) +
                                     " further [AppN] sections are missing below Count");
    }
    if (count > highest) {
        problems->Add(countLine, "Count=" + std::to_string(count) +
                                     " but the highest [AppN] "
                                     "section is " +
                                     std::to_string(highest) + ": entries " +
                                     std::to_string(highest + 1ull) + " to " +
                                     std::to_string(count) + " have no section");
    }
}

}  // namespace

std::string NearestKey(const std::string& key, const std::vector<std::string>& known)
{
    std::string best;
    size_t bestDistance = 3;  // at most two edits away
    for (const std::string& name : known) {
        size_t distance = EditDistance(LowerAsciiText(key), LowerAsciiText(name));
        if (distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    return best;
}

void Findings::Append(const Findings& other)
{
    problems.insert(problems.end(), other.problems.begin(), other.problems.end());
    notes.insert(notes.end(), other.notes.begin(), other.notes.end());
}

Findings FindSettingsProblems(const std::string& settingsPath, const IniScan& scan, UINT count,
                              UINT delay, const SpreadSetting& spread, bool expand)
{
    FindingList problems(settingsPath);
    if (scan.utf8Mark) {
        problems.Add(1, "the file begins with a UTF-8 byte-order mark");
    }
    for (unsigned line : scan.nulLines) {
        problems.Add(line, "a NUL byte: a value ends at it");
    }
    for (unsigned line : scan.unreadLines) {
        problems.Add(line, "neither a section, a key=value line nor a comment: never read");
    }
    unsigned countLine = 0;
    std::vector<const IniSection*> seen;
    for (const IniSection& section : scan.sections) {
        auto first = std::find_if(seen.begin(), seen.end(), [&](const IniSection* other) {
            return EqualIgnoringAsciiCase(other->name, section.name);
        });
        if (first != seen.end()) {
            problems.Add(section.line, "[" + section.name + "] again: the first, at line " +
                                           std::to_string((*first)->line) +
                                           ", wins and this one is "
                                           "never read");
            continue;
        }
        seen.push_back(&section);
        UINT n = 0;
        if (EqualIgnoringAsciiCase(section.name, kQuorvelSection)) {
            CheckKeys(section, kProgramKeyNames, &problems);
            const IniKey* countKey = FindKey(section, kCountKey);
            const IniKey* delayKey = FindKey(section, kDelayKey);
            if (countKey != nullptr) {
                countLine = countKey->line;
                CheckNumber(*countKey, count, &problems);
            }
            if (delayKey != nullptr) {
                CheckNumber(*delayKey, delay, &problems);
                if (delay > kDayOfMinutes) {
                    problems.Add(delayKey->line,
                                 "Delay=" + std::to_string(delay) + " minutes is more than a day");
                }
            }
            if (const IniKey* spreadKey = FindKey(section, kSpreadSecondsKey)) {
                CheckNumber(*spreadKey, spread.written, &problems);
                bool negative = !spreadKey->value.empty() && spreadKey->value[0] == '-';
                if (!negative && spread.written > spread.seconds) {
                    problems.Add(spreadKey->line,
                                 "SpreadSeconds=" + std::to_string(spread.written) +
                                     " is more than " + std::to_string(kLongestSpreadSeconds) +
                                     ": the run takes it as " + std::to_string(spread.seconds));
                }
            }
            if (const IniKey* skipKey = FindKey(section, kSkipRunningSetupsKey)) {
                CheckNumber(*skipKey, ReadSkipRunningSetups(settingsPath.c_str()), &problems);
            }
            if (const IniKey* reportKey = FindKey(section, kReportFolderKey)) {
                CheckReportFolder(*reportKey, &problems);
            }
        } else if (AppSectionNumber(section.name, &n) && n <= count) {
            CheckKeys(section, kEntryKeyNames, &problems);
            CheckEntry(section, expand, &problems);
        } else {
            CheckSectionName(section, &problems);
        }
    }
    CheckSectionsAgainstCount(scan, count, countLine, &problems);
    return problems.Take();
}

namespace {

// A log that is out of the ordinary in size, or whose end another process keeps locked.
void FindLogProbeProblems(const std::string& log, std::vector<Finding>* problems)
{
    LogProbe probe = ProbeLog(log);
    if (!probe.opened) {
        return;
    }
    if (probe.size > kSaneLogBytes) {
        problems->push_back({log, "the log holds " + std::to_string(probe.size >> 20) +
                                      " MiB, more than a log of one line per setup ever "
                                      "should: a sparse or padded file, or years of lines. "
                                      "Move it aside; a run creates the log afresh"});
    }
    std::string waited = std::to_string(probe.waitedMs / 1000) + "." +
                         std::to_string(probe.waitedMs % 1000 / 100) + " s";
    if (probe.locked) {
        problems->push_back({log, "another process keeps the log's end locked: the check "
                                  "waited " +
                                      waited +
                                      ", as long as a run waits in all, and "
                                      "a run now drops its lines. Find the holder (fuser, lsof, "
                                      "or the share's open files)"});
    } else if (probe.waited) {
        problems->push_back({log, "the log's end was locked by another process: the check "
                                  "waited " +
                                      waited + " before it was free"});
    }
}

}  // namespace

Findings FindFileProblems(const OptionReport& options, bool settingsReadable, bool settingsCut)
{
    Findings findings;
    std::vector<Finding>& problems = findings.problems;
    WIN32_FIND_DATAA found;
    auto exists = [&](const std::string& path) { return FindsEntry(path, &found); };
    if (!options.optionsFound && !options.optionsPath.empty() && exists(options.optionsPath)) {
        problems.push_back({options.optionsPath, "the options file cannot be read"});
    }
    if (!settingsReadable) {
        problems.push_back({options.settingsPath, exists(options.settingsPath)
                                                      ? "the settings file cannot be read"
                                                      : "the settings file is missing: no "
                                                        "entry is examined"});
    } else if (settingsCut) {
        problems.push_back({options.settingsPath, "the settings file is very large: only its "
                                                  "beginning was looked at"});
    }
    if (!IsAbsolutePath(options.settingsPath)) {
        problems.push_back({options.settingsPath, "the settings path is relative: it depends "
                                                  "on the working folder"});
    }
    if (!options.logOn) {
        return findings;
    }
    const std::string& log = options.logPath;
    size_t cut = log.find_last_of(std::string("/") + kPathSeparator);
    std::string folder = cut == std::string::npos ? "." : log.substr(0, cut == 0 ? 1 : cut);
    if (!IsAbsolutePath(log)) {
        problems.push_back({log, "the log path is relative: it depends on the working folder"});
    }
    bool logExists = exists(log);
    std::string sharing;
    if (!FolderExists(folder)) {
        problems.push_back({log, "the log's folder is missing: no line can be written"});
    } else if (logExists && !LogFileProblem(log).empty()) {
        problems.push_back({log, LogFileProblem(log)});
    } else if (logExists) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !CanAppendTo(log)) {
            problems.push_back({log, "this user cannot append to the log"});
        } else {
            sharing = LogSharing(log, true);
            FindLogProbeProblems(log, &problems);
        }
    } else if (!CanCreateIn(folder)) {
        problems.push_back({log, "the log does not exist yet, and this user cannot create a file "
                                 "in its folder " +
                                     folder +
                                     ": no line is written. Name a log "
                                     "in a folder every user may write (/log= in the options "
                                     "file)"});
    } else {
        sharing = LogSharing(log, false);
    }
    if (!sharing.empty()) {
        findings.notes.push_back({log, sharing});
    }
    return findings;
}
