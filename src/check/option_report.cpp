#include "check/option_report.h"

#include <string>
#include <utility>

#include "check/text_format.h"
#include "core/program_paths.h"
#include "core/run_settings.h"
#include "run/switch_pass.h"
#include "text/ascii_case.h"

namespace {

std::string ItemText(const CmdParameter& item)
{
    std::string text = item.isSwitch ? "/" + std::string(item.name ? item.name : "") : "";
    if (item.isSwitch && !item.isOn) {
        text += "-";
    }
    if (item.value != nullptr) {
        text += (item.isSwitch ? "=" : "") + std::string(item.value);
    }
    return text;
}

// The item as the line writes it: a value the reading took out of double quotes is shown in
// them, so that a quoted whole switch ("/ini=...") does not look like a right one.
std::string AsWritten(const std::string& line, const std::string& text)
{
    size_t at = line.find(text);
    bool quoted = at != std::string::npos && at > 0 && line[at - 1] == '"' &&
                  at + text.size() < line.size() && line[at + text.size()] == '"';
    return quoted ? "\"" + text + "\"" : text;
}

const char kSplitHint[] = "; an unquoted '/' starts a new switch, so a path holding '/' must "
                          "be written in double quotes";

// Records each switch the pass applies, and the refused item with why, into the report.
// `where` names the line for a single line's replay; otherwise each step's origin names it.
class ReportSink final : public SwitchSink {
public:
    ReportSink(OptionReport* report, std::string where) : report_(report), where_(std::move(where))
    {
    }

    void Take(const SwitchStep& step) override
    {
        std::string where = !where_.empty() ? where_ : WhereOf(step.origin);
        const CmdParameter& item = *step.item;
        if (step.fault != SwitchFault::None) {
            Refuse(step, where);
            return;
        }
        switch (step.kind) {
        case SwitchKind::Log:
            if (HasValue(item)) {
                report_->logPath = item.value;
                report_->logOrigin = where;
            }
            report_->logOn = item.isOn != 0;
            report_->logSwitchOrigin = where;
            break;
        case SwitchKind::Ini:
            report_->settingsPath = item.value;
            report_->settingsOrigin = where;
            break;
        case SwitchKind::Install:
            report_->registrations.push_back(where);
            break;
        }
    }

private:
    static std::string WhereOf(const SwitchOrigin& origin)
    {
        return origin.optionsFile ? "options file line " + std::to_string(origin.lineNumber)
                                  : "command tail";
    }

    void Refuse(const SwitchStep& step, const std::string& where)
    {
        const CmdParameter& item = *step.item;
        const std::string line = step.line != nullptr ? step.line : "";
        // A path value cut at an unquoted '/' leaves the rest as the next item.
        const CmdParameter* previous = step.previous;
        bool afterPath = previous != nullptr && previous->isSwitch && previous->name != nullptr &&
                         (EqualIgnoringAsciiCase(previous->name, "ini") ||
                          EqualIgnoringAsciiCase(previous->name, "log"));
        report_->refused = true;
        report_->refusedWhere = where;
        report_->refusedItem = ItemText(item);
        switch (step.fault) {
        case SwitchFault::None:
            break;
        case SwitchFault::BareValue: {
            std::string written = AsWritten(line, ItemText(item));
            bool quotedSwitch = written.compare(0, 2, "\"/") == 0;
            report_->refusedItem = written;
            report_->refusedWhy = std::string("a bare value, not a switch") +
                                  (quotedSwitch ? ": quote only a switch's value (/ini=\"...\"), "
                                                  "not the whole switch"
                                                : "");
            break;
        }
        case SwitchFault::LogPathTooLong:
            report_->refusedWhy = "a log path over 260 characters";
            break;
        case SwitchFault::IniWithoutValue: {
            bool cut = item.link != nullptr && item.link->isSwitch;
            report_->refusedWhy = std::string("/ini needs a value") + (cut ? kSplitHint : "");
            break;
        }
        case SwitchFault::IniPathTooLong:
            report_->refusedWhy = "a settings path over 260 characters";
            break;
        case SwitchFault::UnknownSwitch:
            report_->refusedWhy = "not a switch of the log-on program (it knows /log, /ini and "
                                  "/install)" +
                                  std::string(afterPath ? kSplitHint : "");
            break;
        }
    }

    OptionReport* report_;
    std::string where_;
};

}  // namespace

bool ReplaySwitchLine(const std::string& line, const std::string& where, OptionReport* report)
{
    ReportSink sink(report, where);
    SwitchPassRecord record;
    return PassSwitchLine(line.c_str(), SwitchOrigin{}, &sink, &record);
}

OptionReport ReplayOptionPass(const std::string& commandTail)
{
    OptionReport report;
    char path[kBesidePathRoom];
    BuildOptionsFilePath(path, kBesidePathRoom);
    report.optionsPath = path;
    // The pass the log-on program makes, each switch recorded instead of applied.
    ReportSink sink(&report, "");
    report.optionsFound = RunSwitchPass(path, commandTail.c_str(), &sink).optionsFileRead;
    // The paths as far as the pass got; the log-on program would stop at a refusal.
    if (report.settingsPath.empty()) {
        BuildDefaultSettingsPath(path, kBesidePathRoom);
        report.settingsPath = path;
    }
    if (report.logPath.empty()) {
        BuildDefaultLogPath(path, kBesidePathRoom);
        report.logPath = path;
    }
    return report;
}
