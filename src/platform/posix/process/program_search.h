// What exec makes of a file, and which file it runs for a program name: the one search that
// the start of a setup program and the companion program's forecast of that start both use.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace posix::process {

enum class ExecOutcome {
    Runs,                  // a program of this system, or a script whose interpreter runs
    RunsThroughShell,      // executable, but exec refuses its format, so /bin/sh reads it
    FormatRefused,         // the same for the superuser, who hands no such file to /bin/sh
    Missing,               // no such file, or a folder on its way is missing
    NoAccess,              // a folder on its way cannot be searched by this user
    Folder,                // a folder, not a file
    NotRegular,            // a device, a pipe or a socket
    NotExecutable,         // a file without execute permission for this user
    InterpreterMissing,    // its interpreter line names a program that does not exist
    InterpreterCannotRun,  // its interpreter line names a file exec refuses
    InterpreterEndsInCr,   // its interpreter line ends in a carriage return (Windows line ends)
};

struct ExecForecast {
    ExecOutcome outcome = ExecOutcome::Missing;
    std::string path;           // the file this is about
    mode_t mode = 0;            // its permission bits, when it exists
    std::string interpreter;    // a script's interpreter, as its first line names it
    bool binary = false;        // RunsThroughShell: NUL bytes in its start, so it is no script
    bool lineEndsInCr = false;  // a script's interpreter line ends in a carriage return
};

// True for the outcomes with which exec starts the file.
bool Starts(ExecOutcome outcome);

// What exec would do with the file at `path`; reads at most the interpreter line's room.
ExecForecast ForecastExec(const std::string& path);

// The file exec runs for `name`, as execvp finds it: the name itself when it holds a '/', else
// the first folder of PATH (the C library's default when PATH is unset; an empty entry is the
// current folder) whose file of that name exec starts, walking past missing files and files
// exec refuses. When none starts: the first file met that exec refused, else a missing one.
// The superuser searches only the folders of PATH that are absolute: an empty or relative
// entry names a folder that depends on where the run happens to be.
ExecForecast LocateProgram(const std::string& name);

// The entries of PATH that the superuser's search passes over (empty ones shown as ""), in
// order; the same search of anyone else takes them from the current folder.
std::vector<std::string> RelativeSearchFolders();

// Runs argv[0] as LocateProgram finds it; a file whose format exec refuses is handed to
// /bin/sh, as execvp does, except by the superuser. Returns only when that failed, with errno
// set.
void ExecLocatedProgram(char* const argv[]);

}  // namespace posix::process
