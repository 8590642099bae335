#include "platform/posix/process/program_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/posix/process/superuser.h"

namespace posix::process {

namespace {

// The kernel reads this much of a file for its format and interpreter line.
constexpr size_t kHeadRoom = 256;
// Interpreters may themselves be scripts, to a small depth.
constexpr int kInterpreterDepth = 4;
const char kShell[] = "/bin/sh";

// The forecast for a file whose first bytes are `head`.
void ForecastFromHead(const std::string& head, int depth, ExecForecast* forecast);

ExecForecast Forecast(const std::string& path, int depth)
{
    ExecForecast forecast;
    forecast.path = path;
    struct stat info {};
    if (path.empty()) {
        return forecast;  // missing
    }
    if (stat(path.c_str(), &info) != 0) {
        forecast.outcome = errno == EACCES ? ExecOutcome::NoAccess : ExecOutcome::Missing;
        return forecast;
    }
    forecast.mode = info.st_mode & 07777;
    if (S_ISDIR(info.st_mode)) {
        forecast.outcome = ExecOutcome::Folder;
    } else if (!S_ISREG(info.st_mode)) {
        forecast.outcome = ExecOutcome::NotRegular;
    } else if (access(path.c_str(), X_OK) != 0) {
        forecast.outcome = ExecOutcome::NotExecutable;
    } else {
        forecast.outcome = ExecOutcome::Runs;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0) {  // unreadable but executable: exec reads it all the same
            char head[kHeadRoom];
            ssize_t got = read(fd, head, sizeof head);
            close(fd);
            ForecastFromHead(std::string(head, got > 0 ? static_cast<size_t>(got) : 0), depth,
                             &forecast);
        }
    }
    return forecast;
}

void ForecastFromHead(const std::string& head, int depth, ExecForecast* forecast)
{
    if (head.compare(0, 4,
                     "\x7F"
                     "ELF") == 0) {
        return;  // a program of this system
    }
    if (head.compare(0, 2, "#!") != 0) {
        forecast->outcome = RunsAsSuperuser() ? ExecOutcome::FormatRefused
                                              : ExecOutcome::RunsThroughShell;
        forecast->binary = head.find('\0') != std::string::npos;
        return;
    }
    // "#!", blanks, the interpreter up to a blank or the line's end; blanks and tabs at the
    // line's end are dropped, a carriage return is not.
    std::string line = head.substr(2, head.find('\n') - 2);
    forecast->lineEndsInCr = !line.empty() && line.back() == '\r';
    size_t start = line.find_first_not_of(" \t");
    size_t end = start == std::string::npos ? start : line.find_first_of(" \t", start);
    forecast->interpreter = start == std::string::npos ? "" : line.substr(start, end - start);
    if (forecast->interpreter.find('\r') != std::string::npos) {
        forecast->outcome = ExecOutcome::InterpreterEndsInCr;
        return;
    }
    ExecForecast interpreter = depth < kInterpreterDepth
                                   ? Forecast(forecast->interpreter, depth + 1)
                                   : ExecForecast{};
    if (interpreter.outcome == ExecOutcome::RunsThroughShell ||
        interpreter.outcome == ExecOutcome::FormatRefused) {
        forecast->outcome = interpreter.outcome;  // the script's format is refused
    } else if (interpreter.outcome == ExecOutcome::Missing) {
        forecast->outcome = ExecOutcome::InterpreterMissing;
    } else if (!Starts(interpreter.outcome)) {
        forecast->outcome = ExecOutcome::InterpreterCannotRun;
    }
}

// Exec's refusals that the PATH walk goes past, remembering them, as against missing files.
bool IsRefusal(ExecOutcome outcome)
{
    return outcome == ExecOutcome::NoAccess || outcome == ExecOutcome::Folder ||
           outcome == ExecOutcome::NotRegular || outcome == ExecOutcome::NotExecutable ||
           outcome == ExecOutcome::InterpreterCannotRun || outcome == ExecOutcome::FormatRefused;
}

// How much a forecast tells of why no program starts: a refusal, then a broken script.
int Telling(ExecOutcome outcome)
{
    return IsRefusal(outcome) ? 2 : outcome == ExecOutcome::Missing ? 0 : 1;
}

std::string SearchPath()
{
    if (const char* path = std::getenv("PATH")) {
        return path;
    }
    char fallback[256];
    size_t length = confstr(_CS_PATH, fallback, sizeof fallback);
    return length > 0 && length <= sizeof fallback ? fallback : "/bin:/usr/bin";
}

// The entries of PATH in order, an empty one as "".
std::vector<std::string> SearchPathEntries()
{
    const std::string folders = SearchPath();
    std::vector<std::string> entries;
    for (size_t at = 0; at <= folders.size();) {
        size_t end = folders.find(':', at);
        end = end == std::string::npos ? folders.size() : end;
        entries.push_back(folders.substr(at, end - at));
        at = end + 1;
    }
    return entries;
}

bool IsAbsoluteFolder(const std::string& folder)
{
    return !folder.empty() && folder[0] == '/';
}

}  // namespace

bool Starts(ExecOutcome outcome)
{
    return outcome == ExecOutcome::Runs || outcome == ExecOutcome::RunsThroughShell;
}

ExecForecast ForecastExec(const std::string& path)
{
    return Forecast(path, 0);
}

ExecForecast LocateProgram(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos) {
        return ForecastExec(name);
    }
    ExecForecast telling;
    for (const std::string& entry : SearchPathEntries()) {
        if (!IsAbsoluteFolder(entry) && RunsAsSuperuser()) {
            continue;
        }
        ExecForecast forecast = ForecastExec((entry.empty() ? "." : entry) + "/" + name);
        if (Starts(forecast.outcome)) {
            return forecast;
        }
        if (telling.path.empty() || Telling(forecast.outcome) > Telling(telling.outcome)) {
            telling = forecast;
        }
    }
    return telling;
}

std::vector<std::string> RelativeSearchFolders()
{
    std::vector<std::string> relative;
    for (const std::string& entry : SearchPathEntries()) {
        if (!IsAbsoluteFolder(entry)) {
            relative.push_back(entry);
        }
    }
    return relative;
}

void ExecLocatedProgram(char* const argv[])
{
    ExecForecast program = LocateProgram(argv[0]);
    if (!Starts(program.outcome)) {
        errno = IsRefusal(program.outcome) ? EACCES : ENOENT;
        return;
    }
    execv(program.path.c_str(), argv);
    if (errno != ENOEXEC || RunsAsSuperuser()) {
        return;
    }
    std::vector<char*> shellArgv{const_cast<char*>(kShell), &program.path[0]};
    for (char* const* argument = argv + 1; *argument != nullptr; ++argument) {
        shellArgv.push_back(*argument);
    }
    shellArgv.push_back(nullptr);
    execv(kShell, shellArgv.data());
}

}  // namespace posix::process
