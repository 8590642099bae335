#include "check/option_report.h"

#include <cstdio>

#include "check/text_format.h"
#include "cmdline/command_line.h"
#include "core/program_paths.h"
#include "core/run_settings.h"
#include "run/options_reader.h"
#include "run/switch_rules.h"
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

bool Refuse(OptionReport* report, const std::string& where, const std::string& item,
            const std::string& why)
{
    report->refused = true;
    report->refusedWhere = where;
    report->refusedItem = item;
    report->refusedWhy = why;
    return false;
}

const char kSplitHint[] = "; an unquoted '/' starts a new switch, so a path holding '/' must "
                          "be written in double quotes";

}  // namespace

bool ReplaySwitchLine(const std::string& line, const std::string& where, OptionReport* report)
{
    CommandLine commandLine(line.c_str());
    if (!commandLine.parsed || commandLine.first == nullptr) {
        return true;
    }
    const CmdParameter* previous = nullptr;
    for (const CmdParameter* item = commandLine.first; item != nullptr; item = item->link) {
        // A path value cut at an unquoted '/' leaves the rest as the next item.
        bool afterPath = previous != nullptr && previous->isSwitch && previous->name != nullptr &&
                         (EqualIgnoringAsciiCase(previous->name, "ini") ||
                          EqualIgnoringAsciiCase(previous->name, "log"));
        previous = item;
        SwitchKind kind = SwitchKind::Install;
        switch (CheckSwitch(*item, &kind)) {
        case SwitchFault::None:
            break;
        case SwitchFault::BareValue: {
            std::string written = AsWritten(line, ItemText(*item));
            bool quotedSwitch = written.compare(0, 2, "\"/") == 0;
            return Refuse(report, where, written,
                          std::string("a bare value, not a switch") +
                              (quotedSwitch ? ": quote only a switch's value (/ini=\"...\"), "
                                              "not the whole switch"
                                            : ""));
        }
        case SwitchFault::LogPathTooLong:
            return Refuse(report, where, ItemText(*item), "a log path over 260 characters");
        case SwitchFault::IniWithoutValue: {
            bool cut = item->link != nullptr && item->link->isSwitch;
            return Refuse(report, where, ItemText(*item),
                          std::string("/ini needs a value") + (cut ? kSplitHint : ""));
        }
        case SwitchFault::IniPathTooLong:
            return Refuse(report, where, ItemText(*item), "a settings path over 260 characters");
        case SwitchFault::UnknownSwitch:
            return Refuse(report, where, ItemText(*item),
                          "not a switch of the log-on program (it knows /log, /ini and "
                          "/install)" + std::string(afterPath ? kSplitHint : ""));
        }
        switch (kind) {
        case SwitchKind::Log:
            if (HasValue(*item)) {
                report->logPath = item->value;
                report->logOrigin = where;
            }
            report->logOn = item->isOn != 0;
            report->logSwitchOrigin = where;
            break;
        case SwitchKind::Ini:
            report->settingsPath = item->value;
            report->settingsOrigin = where;
            break;
        case SwitchKind::Install:
            report->registrations.push_back(where);
            break;
        }
    }
    return true;
}

OptionReport ReplayOptionPass(const std::string& commandTail)
{
    OptionReport report;
    char path[kBesidePathRoom];
    BuildOptionsFilePath(path, kBesidePathRoom);
    report.optionsPath = path;
    // Opened and read as the log-on program does: binary mode, its reader's text rules.
    FILE* stream = path[0] != '\0' ? _fsopen(path, "rb", _SH_DENYWR) : nullptr;
    if (stream != nullptr) {
        report.optionsFound = true;
        OptionsReader reader(stream);
        char line[kOptionsLineRoom];
        unsigned lineNumber = 1;
        bool lineEnded = false;
        while (!report.refused && reader.NextPiece(line, kOptionsLineRoom, &lineEnded)) {
            unsigned thisLine = lineNumber;
            lineNumber += lineEnded ? 1 : 0;
            if (line[0] != '\0') {
                ReplaySwitchLine(line, "options file line " + std::to_string(thisLine), &report);
            }
        }
        fclose(stream);
    }
    if (!report.refused) {
        ReplaySwitchLine(commandTail, "command tail", &report);
    }
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
