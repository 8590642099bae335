// Starting a program: split by the Windows rules, executed directly without a shell,
// in a session of its own, with none of our open files (but the registered inheritable ones,
// when asked to inherit), and not waited for.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>
#include <vector>

#include "platform/posix/process/inheritable_descriptors.h"
#include "platform/posix/process/program_arguments.h"
#include "platform/posix/process/program_search.h"
#include "platform/posix/process/start_tokens.h"
#include "platform/posix/system/errno_error.h"
#include "platform/win32.h"

namespace {

void ResetChildState()
{
    setsid();
    int nullFd = open("/dev/null", O_RDWR);
    if (nullFd >= 0) {
        dup2(nullFd, 0);
        dup2(nullFd, 1);
        dup2(nullFd, 2);
    }
    // Every descriptor but the standard three closes on exec, so the setup program holds none
    // of our files; the exec-failure pipe stays open until the exec. The kernel marks them all
    // in one call; where it cannot, each descriptor up to the limit is closed in turn.
    if (close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) == 0) {
        return;
    }
    long limit = sysconf(_SC_OPEN_MAX);
    for (long fd = 3; fd < (limit > 0 && limit <= INT_MAX ? limit : 65536); ++fd) {
        int flags = fcntl(static_cast<int>(fd), F_GETFD);
        if (flags >= 0 && (flags & FD_CLOEXEC) == 0) {
            close(static_cast<int>(fd));
        }
    }
}

// The handles handed back: tokens that own nothing, since the program is never waited for.
int gProcessToken;
int gThreadToken;

}  // namespace

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                           LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                           DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation)
{
    if (applicationName != nullptr || commandLine == nullptr || processAttributes != nullptr ||
        threadAttributes != nullptr || creationFlags != 0 || environment != nullptr ||
        currentDirectory != nullptr || startupInfo == nullptr || processInformation == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::string> arguments = posix::process::ProgramArguments(commandLine);
    if (arguments.empty() || arguments[0].empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);  // as Windows refuses an empty command
        return FALSE;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);

    // The grandchild runs the program and reports a failed exec through the pipe; the child
    // exits at once, so no zombie is left and nothing is waited for beyond that.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        SetLastError(posix::system::Win32ErrorFromErrno(errno));
        return FALSE;
    }
    pid_t child = fork();
    int forkError = child < 0 ? errno : 0;
    if (child == 0) {
        pid_t grandchild = fork();
        if (grandchild == 0) {
            ResetChildState();
            // Inheriting handles, as on Windows, passes on the descriptors registered
            // inheritable.
            if (inheritHandles) {
                posix::process::KeepInheritableDescriptorsOpen();
            }
            posix::process::ExecLocatedProgram(argv.data());
            int error = errno;
            ssize_t ignored = write(report[1], &error, sizeof error);
            (void)ignored;
            _exit(127);
        }
        _exit(grandchild > 0 ? 0 : 1);
    }
    close(report[1]);
    int status = 1;
    if (child > 0) {
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    bool forked = child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (!forked || got != 0) {
        // The exec's own error when the program could not run; otherwise the fork's.
        SetLastError(got == static_cast<ssize_t>(sizeof error)
                         ? posix::system::Win32ErrorFromErrno(error)
                     : child < 0 ? posix::system::Win32ErrorFromErrno(forkError)
                                 : ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    // No identifiers: the program runs in a session of its own and is never waited for.
    *processInformation = PROCESS_INFORMATION{&gProcessToken, &gThreadToken, 0, 0};
    return TRUE;
}

namespace posix::process {

bool IsStartToken(HANDLE handle)
{
    return handle == &gProcessToken || handle == &gThreadToken;
}

}  // namespace posix::process
