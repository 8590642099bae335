#include "check/registration_report.h"

#include <algorithm>
#include <vector>

#include "check/check_platform.h"
#include "check/entry_report.h"
#include "check/text_format.h"
#include "run/run_line.h"
#include "run/run_line_edit.h"
#include "text/run_line_entries.h"

namespace {

const char kRunLine[] = "run line";

bool NamesFile(const std::string& path)
{
    WIN32_FIND_DATAA found;
    return FindsEntry(path, &found) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool HoldsFolder(const std::string& path)
{
    return path.find_first_of(std::string("/") + kPathSeparator) != std::string::npos;
}

class RunLineReport {
public:
    RunLineReport(const std::string& line, const std::string& program)
        : line_(line), program_(program), entries_(RunLineEntries(line)),
          key_(RunLineKey(program, kPathSeparator))
    {
    }

    // Fills the text and findings; true when an entry that holds the program starts it.
    bool Report(std::string* text, Findings* findings)
    {
        std::vector<size_t> holding;
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (FindRunLineKey(UpperCased(entries_[i].text), key_) != std::string::npos) {
                holding.push_back(i);
            }
        }
        std::string name = LogonProgramFileName();
        if (holding.empty()) {
            *text += "  run line       does not hold " + name + "\n";
        } else {
            *text += "  run line       holds " + name + " in " +
                     CountedText(holding.size(), "entry", "entries") + "\n";
        }
        if (holding.size() > 1) {
            findings->problems.push_back(
                {kRunLine, "it holds " + name + " " + CountedText(holding.size(), "time", "times") +
                               (RunLineStartsAtLogOn() ? ": each entry is started at log-on"
                                                       : ": /install replaces only the first") +
                               "; keep one"});
        }
        bool starts = false;
        for (size_t i : holding) {
            starts = ReportHolding(i, text, findings) || starts;
        }
        ReportFragments(text, findings);
        return starts;
    }

    // True when the line holds pieces or fragments of the program's path.
    bool HoldsPieces() const { return !pieces_.empty() || fragments_; }

private:
    // An entry that holds the program's file name; true when it names an existing file.
    bool ReportHolding(size_t i, std::string* text, Findings* findings)
    {
        const std::string& entry = entries_[i].text;
        if (!HoldsFolder(entry)) {
            *text += "      " + entry + ": named without a folder, so searched for\n";
            return true;
        }
        if (NamesFile(entry)) {
            *text += "      " + entry + ": present\n";
            return true;
        }
        std::string whole = WholePathEndingAt(i);
        *text += "      " + entry + ": " +
                 (whole.empty() ? "no such file" : "the end of " + whole) + "\n";
        findings->problems.push_back({kRunLine,
                                      whole.empty()
                                          ? "its entry " + entry +
                                                " names no existing file: it "
                                                "starts nothing"
                                          : "its entries from " + entries_[pieceStart_].text +
                                                " to " + entry + " are the pieces of " + whole +
                                                ", a path with a blank or a comma, which the run "
                                                "line cannot hold: " +
                                                StartWithoutRunLine()});
        return false;
    }

    // The existing file that the entries before entry i and entry i itself spell when joined
    // as they stand in the line ("" when none); notes where it begins.
    std::string WholePathEndingAt(size_t i)
    {
        for (size_t first = i; first-- > 0;) {
            std::string joined = line_.substr(entries_[first].begin,
                                              entries_[i].end - entries_[first].begin);
            if (NamesFile(joined)) {
                pieceStart_ = first;
                for (size_t piece = first; piece < i; ++piece) {
                    pieces_.push_back(piece);
                }
                return joined;
            }
        }
        return "";
    }

    // Entries that begin the program's own path up to one of its blanks or commas: what an
    // earlier registration of it left behind.
    void ReportFragments(std::string* text, Findings* findings)
    {
        std::string upperProgram = UpperCased(program_);
        for (size_t i = 0; i < entries_.size(); ++i) {
            std::string upper = UpperCased(entries_[i].text);
            bool piece = std::find(pieces_.begin(), pieces_.end(), i) != pieces_.end();
            bool prefix = upperProgram.size() > upper.size() &&
                          upperProgram.compare(0, upper.size(), upper) == 0 &&
                          IsRunLineSeparator(program_[upper.size()]);
            if (prefix && !piece) {
                fragments_ = true;
                *text += "      " + entries_[i].text + ": a fragment of " + program_ + "\n";
                findings->problems.push_back(
                    {kRunLine, "its entry " + entries_[i].text + " is a fragment left of " +
                                   program_ +
                                   ", whose blank or comma the run line cannot hold: "
                                   "remove it"});
            }
        }
    }

    std::string line_;
    std::string program_;
    std::vector<RunLineEntry> entries_;
    std::string key_;
    size_t pieceStart_ = 0;
    std::vector<size_t> pieces_;
    bool fragments_ = false;
};

}  // namespace

RegistrationReport ReportRegistration(const OptionReport& options, const std::string& program)
{
    RegistrationReport report;
    report.text = "Registration (read only)\n";
    std::string name = LogonProgramFileName();
    std::string runLine;
    bool started = false;
    bool holdsPieces = false;
    if (program.empty()) {
        report.text += "  run line       not looked at: the program's path is not known whole\n";
    } else if (!ReadRunValue(runLine)) {
        report.text += "  run line       too long to read\n";
    } else {
        RunLineReport runLineReport(runLine, program);
        bool holdsProgram = runLineReport.Report(&report.text, &report.findings);
        started = holdsProgram && RunLineStartsAtLogOn();
        holdsPieces = runLineReport.HoldsPieces();
    }
    for (const LogonStart& start : LogonStartsBesideRunLine()) {
        std::string label = "  " + start.label;
        label.resize(std::max<size_t>(label.size() + 1, 17), ' ');
        report.text += label + start.where + ": " + start.state + "\n";
        if (!start.problem.empty()) {
            report.findings.problems.push_back({start.where, start.problem});
        }
        started = started || start.starts;
    }
    // Why /install cannot have the program started at log-on, with the way out. Where the
    // program is started another way (the machine's Run value), a path with a blank matters
    // only to an /install asked for, or to a run line that already holds its pieces.
    bool asked = !options.registrations.empty();
    std::string unstartable;
    if (std::any_of(program.begin(), program.end(), IsRunLineSeparator)) {
        if (asked || holdsPieces) {
            unstartable = "the program's path holds a blank or a comma, which the run line "
                          "cannot hold: /install would register it in pieces; ";
        }
    } else if (!program.empty() && !WhyNoLogOnEntry(program).empty()) {
        unstartable = "the program's path cannot stand in an autostart entry exactly (" +
                      WhyNoLogOnEntry(program) +
                      "): /install writes none, so nothing starts "
                      "it at log-on; ";
    }
    if (!unstartable.empty()) {
        Finding finding{program, unstartable + StartWithoutRunLine()};
        (asked ? report.findings.problems : report.findings.notes).push_back(finding);
    }
    if (!started) {
        report.findings.notes.push_back({"registration", "nothing starts " + name +
                                                             " at log-on for this user: run " +
                                                             name + " /install as the user"});
    }
    report.text += std::string("  at log-on      ") +
                   (started ? "started for this user\n" : "nothing starts it for this user\n");
    return report;
}
