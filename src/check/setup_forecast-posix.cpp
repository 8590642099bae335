// The companion's forecast of a setup program's start on POSIX: the start's own split and
// search (program_arguments, program_search), told in words.
#include <cstdlib>
#include <string>

#include "check/check_platform.h"
#include "check/mode_text-posix.h"
#include "platform/posix/process/program_arguments.h"
#include "platform/posix/process/program_search.h"

namespace {

using posix::process::ExecForecast;
using posix::process::ExecOutcome;

const char kLineEndFix[] = ": save it with LF line ends";

// Why the file cannot start, or fails once started; "" when it runs as it should.
std::string FaultWords(const std::string& name, const ExecForecast& found)
{
    const std::string& path = found.path;
    switch (found.outcome) {
    case ExecOutcome::Runs:
        return found.lineEndsInCr ? path +
                                        " ends its interpreter line in a carriage return "
                                        "(saved with Windows line ends), which " +
                                        found.interpreter + " receives as an argument" + kLineEndFix
                                  : "";
    case ExecOutcome::RunsThroughShell:
        return "";
    case ExecOutcome::FormatRefused:
        return path + " is no program of this system and has no interpreter line: exec "
                      "refuses it, and a run as root hands it to no shell: begin it with an "
                      "interpreter line (#!/bin/sh)";
    case ExecOutcome::Missing:
        if (name.find('/') == std::string::npos) {
            const char* searched = std::getenv("PATH");
            return "no folder of PATH (" + std::string(searched ? searched : "unset") + ") holds " +
                   name;
        }
        return path + " does not exist";
    case ExecOutcome::NoAccess:
        return "this user cannot reach " + path + ": a folder on its way cannot be entered";
    case ExecOutcome::Folder:
        return path + " is a folder, not a program";
    case ExecOutcome::NotRegular:
        return path + " is not a regular file";
    case ExecOutcome::NotExecutable:
        return path + " is not executable (mode " + ModeText(found.mode) +
               "): allow it with "
               "chmod +x, or name its interpreter first";
    case ExecOutcome::InterpreterMissing:
        return path + " is a script whose interpreter line names " + found.interpreter +
               ", which does not exist";
    case ExecOutcome::InterpreterCannotRun:
        return path + " is a script whose interpreter line names " + found.interpreter +
               ", which this user cannot run";
    case ExecOutcome::InterpreterEndsInCr: {
        std::string shown = found.interpreter.substr(0, found.interpreter.find('\r'));
        return path +
               " ends its interpreter line in a carriage return (saved with Windows "
               "line ends), so it names \"" +
               shown + "\\r\", which does not exist" + kLineEndFix;
    }
    }
    return "";
}

// The PATH entries a search takes from the current folder, in words; "" when there are none.
std::string RelativeSearchWords()
{
    std::string words;
    for (const std::string& folder : posix::process::RelativeSearchFolders()) {
        words += (words.empty() ? "" : ", ") +
                 (folder.empty() ? std::string("an empty entry") : "\"" + folder + "\"");
    }
    return words.empty() ? ""
                         : "PATH holds " + words +
                               ", which stand for folders relative "
                               "to the current one";
}

}  // namespace

SetupForecast ForecastSetupStart(const std::string& commandLine)
{
    SetupForecast forecast;
    forecast.arguments = posix::process::ProgramArguments(commandLine);
    forecast.plantable = posix::process::PlantableFirstWord(commandLine);
    if (forecast.arguments.empty() && !forecast.plantable.empty()) {
        forecast.why = "a run as root starts no unquoted program path with a blank, since "
                       "another user could create " +
                       forecast.plantable + ": quote the program";
        return forecast;
    }
    if (forecast.arguments.empty() || forecast.arguments[0].empty()) {
        forecast.why = "the command line names no program";
        return forecast;
    }
    const std::string& name = forecast.arguments[0];
    if (name.find('/') == std::string::npos) {
        forecast.relativeSearch = RelativeSearchWords();
    }
    ExecForecast found = posix::process::LocateProgram(name);
    forecast.starts = posix::process::Starts(found.outcome);
    forecast.program = forecast.starts ? found.path : "";
    forecast.why = FaultWords(name, found);
    if (found.outcome == ExecOutcome::RunsThroughShell) {
        forecast.how = found.binary ? "no interpreter line: run by /bin/sh, which reads it as "
                                      "commands although it holds NUL bytes"
                                    : "no interpreter line: run by /bin/sh";
    }
    return forecast;
}
