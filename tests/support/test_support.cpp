#include "support/test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <stdexcept>

namespace testing_support {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name, const char* value)
    : name_(name)
{
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    saved_ = old != nullptr ? old : "";
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
    tzset();
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    if (had_) {
        setenv(name_.c_str(), saved_.c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
    tzset();
}

ScopedOrdinaryUser::ScopedOrdinaryUser(const std::string& folder)
{
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || nobody == nullptr) {
        return;
    }
    // Every folder on the way must let nobody through.
    for (std::filesystem::path up = folder; up.has_relative_path(); up = up.parent_path()) {
        struct stat status {};
        if (stat(up.c_str(), &status) == 0 && (status.st_mode & 0001) == 0 &&
            up != std::filesystem::path(folder)) {
            chmod(up.c_str(), status.st_mode | 0011);
        }
    }
    if (chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
        throw std::runtime_error("cannot give " + folder + " to nobody");
    }
    switched_ = seteuid(nobody->pw_uid) == 0;
}

ScopedOrdinaryUser::~ScopedOrdinaryUser()
{
    if (switched_ && seteuid(0) != 0) {
        std::abort();  // the rest of the tests would run as the wrong user
    }
}

std::vector<std::string> CsvFields(const std::string& record)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < record.size(); ++i) {
        char c = record[i];
        if (quoted && c == '"' && i + 1 < record.size() && record[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (!(c == '\r' || c == '\n') || quoted) {
            fields.back() += c;
        }
    }
    return fields;
}

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment,
                         const std::string& workingDirectory,
                         const std::function<void(int)>& whileRunning)
{
    ProcessResult result;
    auto start = std::chrono::steady_clock::now();
    int pipeFds[2];
    if (argv.empty() || pipe(pipeFds) != 0) {
        return result;
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        close(pipeFds[1]);
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        for (int stop : {SIGHUP, SIGINT, SIGTERM}) {
            signal(stop, SIG_DFL);
            sigaddset(&stopSignals, stop);
        }
        sigprocmask(SIG_UNBLOCK, &stopSignals, nullptr);
        for (const auto& [name, value] : environment) {
            if (value == "\x01unset") {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
        if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) {
            _exit(127);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    if (child > 0 && whileRunning) {
        whileRunning(child);
    }
    // The output is read until the program ends, not until the pipe closes: programs it
    // started may hold the pipe long after (under Wine they inherit it).
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    char buffer[4096];
    int status = 0;
    bool ended = child < 0;
    bool reaped = false;
    for (bool drained = false; !drained;) {
        if (!ended) {
            struct pollfd readable = {pipeFds[0], POLLIN, 0};
            poll(&readable, 1, 20);
            pid_t waited = waitpid(child, &status, WNOHANG);
            reaped = waited == child;
            ended = reaped || (waited < 0 && errno != EINTR);
        }
        ssize_t got;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            result.output.append(buffer, static_cast<size_t>(got));
        }
        drained = got == 0 || (ended && got < 0 && errno != EINTR);
    }
    close(pipeFds[0]);
    if (!ended) {
        // The pipe closed first: the program is ending.
        pid_t waited;
        while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
        }
        reaped = waited == child;
    }
    if (reaped && WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    }
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return result;
}

}  // namespace testing_support
