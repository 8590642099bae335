// The companion's forecast of a setup program's start on POSIX: the start's own split and
// search (program_arguments, program_search), told in words.
#include <cstdlib>
#include <string>

#include "check/check_platform.h"
#include "platform/posix/process/program_arguments.h"
#include "platform/posix/process/program_search.h"
#include "platform/posix/system/mode_text.h"

namespace {

using process::ExecForecast;
using process::ExecOutcome;

const char kLineEndFix[] = ": save it with LF line ends";

// Why the file cannot start, or fails once started; "" when it runs as it should.
std::string FaultWords(const std::string& name, const ExecForecast& found)
{
    const std::string& path = found.path;
    switch (found.outcome) {
    case ExecOutcome::Runs:
        return found.lineEndsInCr ? path + " ends its interpreter line in a carriage return "
                                           "(saved with Windows line ends), which " +
                                        found.interpreter + " receives as an argument" +
                                        kLineEndFix
                                  : "";
    case ExecOutcome::RunsThroughShell:
        return found.binary ? path + " is neither a program of this system nor a script: "
                                     "exec refuses it, and /bin/sh, which is given it then, "
                                     "cannot run it"
                            : "";
    case ExecOutcome::Missing:
        if (name.find('/') == std::string::npos) {
            const char* searched = std::getenv("PATH");
            return "no folder of PATH (" + std::string(searched ? searched : "unset") +
                   ") holds " + name;
        }
        return path + " does not exist";
    case ExecOutcome::NoAccess:
        return "this user cannot reach " + path + ": a folder on its way cannot be entered";
    case ExecOutcome::Folder:
        return path + " is a folder, not a program";
    case ExecOutcome::NotRegular:
        return path + " is not a regular file";
    case ExecOutcome::NotExecutable:
        return path + " is not executable (mode " + ModeText(found.mode) + "): allow it with "
               "chmod +x, or name its interpreter first";
    case ExecOutcome::InterpreterMissing:
        return path + " is a script whose interpreter line names " + found.interpreter +
               ", which does not exist";
    case ExecOutcome::InterpreterCannotRun:
        return path + " is a script whose interpreter line names " + found.interpreter +
               ", which this user cannot run";
    case ExecOutcome::InterpreterEndsInCr: {
        std::string shown = found.interpreter.substr(0, found.interpreter.find('\r'));
        return path + " ends its interpreter line in a carriage return (saved with Windows "
                      "line ends), so it names \"" + shown + "\\r\", which does not exist" +
               kLineEndFix;
    }
    }
    return "";
}

}  // namespace

SetupForecast ForecastSetupStart(const std::string& commandLine)
{
    SetupForecast forecast;
    forecast.arguments = ProgramArguments(commandLine);
    if (forecast.arguments.empty() || forecast.arguments[0].empty()) {
        forecast.why = "the command line names no program";
        return forecast;
    }
    const std::string& name = forecast.arguments[0];
    ExecForecast found = process::LocateProgram(name);
    forecast.starts = process::Starts(found.outcome);
    forecast.program = forecast.starts ? found.path : "";
    forecast.why = FaultWords(name, found);
    if (found.outcome == ExecOutcome::RunsThroughShell && !found.binary) {
        forecast.how = "no interpreter line: run by /bin/sh";
    }
    return forecast;
}


